// Reading and writing descriptors so that a signal never cuts a transfer short: read(2),
// write(2) and their positioned forms are retried when they return EINTR, and writes go on
// after a short count until every byte is out. The one place such loops live.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace folvek {

// One read of up to `n` bytes: the count, 0 at the end, -1 with errno; never EINTR.
ssize_t readSome(int fd, void* into, std::size_t n);
ssize_t preadSome(int fd, void* into, std::size_t n, off_t at);

// Appends what `fd` holds until its end, or until `out` has grown by `limit` bytes; false with
// errno when a read fails (what was read stays in `out`).
bool readToEnd(int fd, std::string& out, std::size_t limit = SIZE_MAX);

// The write(2) to use: tests put one in that fails or writes a little at a time.
using WriteCall = ssize_t (*)(int fd, const void* data, std::size_t n);

// Writes all `n` bytes, going on after short writes; false with errno on failure (a write that
// takes nothing reports ENOSPC).
bool writeAll(int fd, const void* data, std::size_t n, WriteCall write = nullptr);
bool pwriteAll(int fd, const void* data, std::size_t n, off_t at);

// Copies `in` to `out` until `in` ends. `copied` counts the bytes written.
enum class CopyStatus { Ok, ReadFailed, WriteFailed };
CopyStatus copyToEnd(int in, int out, std::uint64_t* copied = nullptr);

}  // namespace folvek
