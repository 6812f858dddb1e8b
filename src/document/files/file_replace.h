// The one file writer of the program: documents, Save As copies, settings files and the history
// all go through it. The new bytes go to a temporary file beside the target, which is synced
// and renamed over it, and the directory is synced, so a crash or a full disk never leaves
// half a file. Where a rename would do harm (a file with several hard links, a file owned by
// someone else, a group the temporary file cannot take) or cannot be done (a directory the
// user may not write), the file is rewritten in place instead: space reserved first, the old
// bytes kept in memory and written back when the write fails. Read-only files, files that are
// not regular and links to files the user does not own are refused before anything is written;
// devices, pipes and standard output are written to in order (output_target.h has the rules).
// The system calls go through a table that tests replace to make a disk full even for root.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

#include "output_target.h"

namespace folvek {

struct FileSystemCalls {
    int (*makeTemp)(char* path);  // creates exactly this new file, O_EXCL, mode 0600
    ssize_t (*write)(int fd, const void* data, std::size_t n);
    int (*sync)(int fd);
    int (*rename)(const char* from, const char* to);
    int (*allocate)(int fd, off_t offset, off_t length);  // posix_fallocate's contract
    int (*syncAll)(int fd);         // syncfs: every file of the file system `fd` is on, one flush
    int (*openUnnamed)(int dirFd);  // unnamed_files.h
    int (*nameUnnamed)(int fd, int dirFd, const char* name);  // unnamed_files.h
};

// The calls in use; tests swap entries and restore them with defaultFileSystemCalls().
FileSystemCalls& fileSystemCalls();
FileSystemCalls defaultFileSystemCalls();

struct SaveResult {
    SaveStatus status = SaveStatus::Ok;
    int error = 0;         // errno of the failing call
    bool inPlace = false;  // written in place rather than through a temporary file
    bool ok() const { return status == SaveStatus::Ok; }
    explicit operator bool() const { return ok(); }
};

// Replaces the contents of `path` with `bytes`. An existing file keeps its owner, group, mode
// and hard links; a new one gets 0666 less the umask. A symbolic link to a regular file the
// user owns keeps pointing at that file, whose contents are replaced.
SaveResult saveFile(const std::string& path, const std::string& bytes);

// Why a save failed, in Russian, for the second line of a message ("" for Ok). The system's
// reason inside follows the program's language (systemReason), or with `russianThroughout` is
// Russian too, for a message that has no English form.
std::string saveFailureReason(const SaveResult& result, bool russianThroughout = false);

// Every byte of the file, NULs and Ctrl-Z included. False when it cannot be opened or read,
// or is not a regular file (errno says which: ENOENT, EACCES, EISDIR, EINVAL, ...).
bool readWholeFile(const std::string& path, std::string& bytes);

// At most `limit` bytes from the start of the file; `totalSize` is the file's whole size.
bool readFilePrefix(const std::string& path, std::size_t limit, std::string& bytes,
                    std::size_t& totalSize);

}  // namespace folvek
