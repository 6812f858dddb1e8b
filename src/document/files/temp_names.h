// The temporary files the writers put beside the file they replace, and the removal of those a
// killed process left. A temporary file is hidden, sits beside its target and is named
// ".<target>.folvek-<pid>-<six random characters>": the pid of the process that made it. The
// maker registers the name with the signal clean-up before the file exists and holds a lock on
// it while it lives, so a leftover is a file of ours whose maker is gone and whose lock is free.
#pragma once

#include <sys/types.h>

#include <string>

namespace folvek {

// ".<name>.folvek-<pid>-<random>" in `dir` (".folvek-<pid>-<random>" for an empty name).
std::string tempName(const std::string& dir, const std::string& name, pid_t pid,
                     const std::string& random);
// True for a name of that form; `pid` gets the maker's pid.
bool isTempName(const std::string& name, pid_t* pid = nullptr);

// Removes what killed processes of this program left in `dir`: temporary files and job folders
// of our naming, owned by the user, whose maker is gone and whose lock is free. Returns how
// many were removed.
int removeLeftoverTemps(const std::string& dir);

// The directory part of a path ("." when it has none) and the name after the last slash.
std::string directoryOf(const std::string& path);
std::string baseNameOf(const std::string& path);

struct OwnedTemp {
    int fd = -1;
    std::string path;
    int slot = -1;  // the signal clean-up's
    bool folder = false;
};

// Creates, registers and locks a temporary file for `target` beside it (in `dir`), mode 0600.
// False with errno when none can be made.
bool createOwnedTemp(const std::string& dir, const std::string& target, OwnedTemp& temp);
// The same for a folder of a job's own files in `parent`: made with mode 0700, emptied and
// removed on a signal, locked through `fd` while it lives.
bool createOwnedTempDir(const std::string& parent, const std::string& stem, OwnedTemp& temp);
// Closes it if open, removes the file (or the folder with what it holds) and frees its slot.
void removeOwnedTemp(OwnedTemp& temp);
// The file was renamed over its target: only the slot is freed.
void releaseOwnedTemp(OwnedTemp& temp);

}  // namespace folvek
