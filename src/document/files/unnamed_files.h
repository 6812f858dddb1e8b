// Files made without a name and named only once written (O_TMPFILE, then linkat): no one sees a
// half-written file, and the file system does one directory change per file instead of the
// three that a hidden name and a rename cost. Not every file system can (tmpfs and ext4 can;
// NFS and some FUSE systems cannot); callers fall back to a hidden name.
#pragma once

#include <cstddef>

namespace folvek {

// A new file without a name in the folder `dirFd`, open for writing, with the mode 0666 less
// the umask; -1 with errno when the file system cannot make one (EOPNOTSUPP, EISDIR, EINVAL),
// or when no descriptor is left (EMFILE).
int openUnnamed(int dirFd);

// Gives the unnamed file `fd` the name `name` in the folder `dirFd`; never replaces a file
// (EEXIST). 0, or -1 with errno.
int nameUnnamed(int fd, int dirFd, const char* name);
// The same through /proc, the way for kernels that allow the other only with a privilege.
int nameUnnamedThroughProc(int fd, int dirFd, const char* name);

// How many more descriptors this process may hold open, after raising its soft limit towards
// the hard one so that `wanted` more fit; a margin is kept for the rest of the program.
std::size_t descriptorsToSpare(std::size_t wanted);

}  // namespace folvek
