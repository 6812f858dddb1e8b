// Save As: a copy of a DOS text file under the text-mode rules (CR dropped and Ctrl-Z ends the
// source; every LF written as CR LF), written through the program's one file writer, so that a copy
// onto the source itself (the same device and inode, or a link to it) cannot destroy it.
#pragma once

#include <string>

#include "file_replace.h"

namespace folvek {

enum class CopyResult { Ok, SourceFailed, TargetFailed };

// `why` (when given) tells why the target could not be written.
CopyResult copyTextFile(const std::string& source, const std::string& target,
                        SaveResult* why = nullptr);

}  // namespace folvek
