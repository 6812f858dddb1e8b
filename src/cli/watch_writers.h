// Who still writes a file: DOS emulators keep their printer port's file open for the whole job
// and pause between pages, so a quiet file is not yet a complete one while a program holds it
// open for writing. Read from /proc (the processes this user may look at).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace folvek {

struct FileWriter {
    pid_t pid = 0;
    std::string command;  // the program's name, as /proc/PID/comm gives it
};

// The processes other than this one that hold the file (device, inode) open for writing.
std::vector<FileWriter> openWriters(dev_t device, ino_t inode);

// "process 1234 (dosbox-x)", "processes 1234 (dosbox-x), 1250 (cat)".
std::string describeWriters(const std::vector<FileWriter>& writers);

// One watcher per folder: an exclusive lock on DIR/.folvek-watch.lock (or on the folder itself
// where no file can be made), held for the life of the process. Returns the descriptor to keep
// open; -2 with `holder` set to who holds it ("process 1234"); -1 with `holder` set to why it
// could not be locked.
int lockWatchedFolder(int dirFd, std::string* holder);

}  // namespace folvek
