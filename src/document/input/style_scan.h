// The pieces of the style scan that the loader also uses while it reads.
#pragma once

#include <cstddef>
#include <cstdint>

#include "log_font.h"

namespace folvek {

// The flags every document starts with: those of the base font itself.
std::uint16_t baseStyleFlags(const LogFont& font);

// Applies every tag of a line (len bytes, NUL-terminated) to flags.
void applyLineTags(const char* text, std::size_t len, std::uint16_t& flags);

}  // namespace folvek
