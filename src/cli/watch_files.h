// File handling of the watched folder, by descriptor: moves that never replace a file, the
// snapshot of a job's bytes, and what was written to a file after a given point.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>

namespace folvek {

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    void reset(int fd = -1);
    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};

// Moves `from` to the first free name that `nameFor(n)` gives, never replacing a file: the
// kernel refuses an existing target atomically, or, where the file system cannot, a hard link
// does. `alsoFreeSuffix`: NAME plus this suffix must be free too (the failure log's name).
bool moveNoReplace(int fromDir, const std::string& from, int toDir,
                   const std::function<std::string(int)>& nameFor, std::string* placed,
                   std::string* error, const char* alsoFreeSuffix = nullptr);

// Copies bytes [from, from + length) of `in` to `out` at `outOffset`; false on a read or write
// error or when `in` holds fewer bytes.
bool copyRange(int in, std::uint64_t from, std::uint64_t length, int out, std::uint64_t outOffset);

// True when the first `length` bytes of `a` and `b` are the same.
bool samePrefix(int a, int b, std::uint64_t length);

// A new file in `dir` holding bytes [from, end) of `in`, written under a hidden name and then
// given the first free name of `nameFor`; false with `error` set.
bool writeNewJob(int in, std::uint64_t from, std::uint64_t end, int dir,
                 const std::function<std::string(int)>& nameFor, std::string* placed,
                 std::string* error);

}  // namespace folvek
