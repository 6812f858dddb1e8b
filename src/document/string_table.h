// The program's numbered texts (menus, hints, messages, filters). Texts are UTF-8; filter
// lists hold NUL-separated pairs, so the lookup returns a std::string with embedded NULs.
#pragma once

#include <string>

namespace folvek {

// The entry with that number, or an empty text.
std::string loadString(int id);

}  // namespace folvek
