// The names of the writer's temporary files, and the removal of those an interrupted save
// left behind. A temporary file is hidden, sits beside its target and ends in ".folvek-"
// and six random characters, so no user's file is ever taken for one.
#pragma once

#include <string>

namespace folvek {

// "dir/.name.folvek-XXXXXX" (or "dir/.folvek-XXXXXX" for an empty name), ready for mkstemp.
std::string tempPattern(const std::string& dir, const std::string& name);
bool isTempName(const std::string& name);

// The directory part of a path ("." when it has none) and the name after the last slash.
std::string directoryOf(const std::string& path);
std::string baseNameOf(const std::string& path);

}  // namespace folvek
