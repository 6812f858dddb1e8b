// The print pipe of folvek-print: a job read whole from standard input (any bytes, any size)
// into a spool file, and the lp command that hands the laid-out pages to CUPS the way the
// viewer's print jobs go: our own PDF writer makes the spool file, lp submits it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace folvek {

// Copies everything readable from `fd` to a new file at `path`; false with `error` set when
// reading or writing failed. `bytes` is what was copied.
bool copyToFile(int fd, const std::string& path, std::uint64_t* bytes, std::string* error);

// lp [-d QUEUE] -t TITLE -o media=MEDIA [-o landscape] -- FILE; no queue: the default one.
std::vector<std::string> lpPipeCommand(const std::string& queue, const std::string& title,
                                       const std::string& media, bool landscape,
                                       const std::string& file);

}  // namespace folvek
