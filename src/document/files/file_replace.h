// The one file writer of the program: documents, Save As copies, settings files and the history
// all go through it. The new bytes go to a temporary file beside the target, which is synced
// and renamed over it, and the directory is synced, so a crash or a full disk never leaves
// half a file. Where a rename would do harm (a file with several hard links, a file owned by
// someone else, a group the temporary file cannot take) or cannot be done (a directory the
// user may not write), the file is rewritten in place instead: space reserved first, the old
// bytes kept in memory and written back when the write fails. Read-only files, files that are
// not regular and links to files the user does not own are refused before anything is written.
// The system calls go through a table that tests replace to make a disk full even for root.
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
    int (*allocate)(int fd, off_t offset, off_t length);  // posix_fallocate's contract
};

// The calls in use; tests swap entries and restore them with defaultFileSystemCalls().
FileSystemCalls& fileSystemCalls();
FileSystemCalls defaultFileSystemCalls();

enum class SaveStatus {
    Ok,
    ReadOnly,       // the file has no write permission for us: refused, nothing written
    NotRegular,     // a directory, device, FIFO or a dangling link: refused
    ForeignLink,    // a symbolic link to a file another user owns: refused
    CreateFailed,   // neither a temporary file nor the file itself could be opened
    WriteFailed,    // the write failed; the file holds its old bytes
    RestoreFailed,  // the in-place write failed and the old bytes could not be put back either
};

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

// Why a save failed, in Russian, for the second line of a message ("" for Ok).
std::string saveFailureReason(const SaveResult& result);

// Removes temporary files that an interrupted save of this program left in `dir`: only files
// of the writer's own naming, owned by the user and not being written by a running instance.
// Returns how many were removed.
int removeLeftoverTemps(const std::string& dir);

// Every byte of the file, NULs and Ctrl-Z included. False when it cannot be opened or read,
// or is not a regular file.
bool readWholeFile(const std::string& path, std::string& bytes);

// At most `limit` bytes from the start of the file; `totalSize` is the file's whole size.
bool readFilePrefix(const std::string& path, std::size_t limit, std::string& bytes,
                    std::size_t& totalSize);

}  // namespace folvek
