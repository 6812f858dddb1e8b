// A document's name as a title for people: the job's name in the print queue and the title of
// its PDF. A file name is bytes; DOS programs write theirs in the same code page as the text.
#pragma once

#include <string>

#include "text_encoding.h"

namespace folvek {

// `name` in UTF-8: kept when it is valid UTF-8, else decoded from `encoding` (UTF-8 falls back
// to code page 1251); control characters become '?', so the title is one line.
std::string titleFromName(const std::string& name, TextEncoding encoding);

// The last part of a path.
std::string baseName(const std::string& path);

}  // namespace folvek
