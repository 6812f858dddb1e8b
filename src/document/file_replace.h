// Replacing a file in one step: the new bytes go to a temporary file in the target's directory,
// which is then renamed over the target, so a crash, a full disk or a read-only directory never
// leaves half a file. The system calls go through a table that tests replace to make a
// directory read-only or a disk full even for root.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace folvek {

struct FileSystemCalls {
    int (*makeTemp)(char* pattern);
    ssize_t (*write)(int fd, const void* data, std::size_t n);
    int (*sync)(int fd);
    int (*rename)(const char* from, const char* to);
};

// The calls in use; tests swap entries and restore them with defaultFileSystemCalls().
FileSystemCalls& fileSystemCalls();
FileSystemCalls defaultFileSystemCalls();

// Writes `bytes` to a temporary file beside `path` with permissions `mode` and renames it over
// `path`. False (errno set, the temporary file removed, `path` untouched) on any failure.
bool replaceFile(const std::string& path, const std::string& bytes, mode_t mode);

}  // namespace folvek
