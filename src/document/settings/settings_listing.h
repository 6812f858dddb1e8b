// The settings files of a directory, as the tool bar lists them: regular files whose names end
// in ".ini" in any case, by name without regard to ASCII case. Names are the file system's
// bytes, so a CP1251 name is chosen and opened again exactly.
#pragma once

#include <string>
#include <vector>

namespace folvek {

std::vector<std::string> listSettingsFiles(const std::string& dir);

// True when `name` begins with `prefix`, ASCII letters compared without regard to case.
bool startsWithIgnoringCase(const std::string& name, const std::string& prefix);

}  // namespace folvek
