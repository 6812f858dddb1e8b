// Numbers typed into dialog fields: read the way the C library reads them (leading blanks
// skipped, the longest leading number taken, no number gives 0), and UTF-8 cut to a field size.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

namespace folvek {

// At most the first 50 characters count. Out-of-range values are held at the int32 limits.
std::int32_t leadingInt(const QString& text);
// A decimal point or, for Russian keyboards, a decimal comma. Non-finite values give 0.
double leadingReal(const QString& text);
// The UTF-8 form of text, cut to at most maxBytes without splitting a character.
std::string utf8Cut(const QString& text, std::size_t maxBytes);

}  // namespace folvek
