// Save As: a copy of a DOS text file under the text-mode rules (CR dropped and Ctrl-Z ends the
// source; every LF written as CR LF), written through a temporary file so that a copy onto the
// source itself (the same device and inode, or a link to it) cannot destroy it.
#pragma once

#include <string>

namespace folvek {

enum class CopyResult { Ok, SourceFailed, TargetFailed };

CopyResult copyTextFile(const std::string& source, const std::string& target);

}  // namespace folvek
