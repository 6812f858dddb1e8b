// When a file dropped in the watched folder is complete: a state machine fed with listings of the
// folder and the time they were taken, with no timers and no file system of its own, so that the
// decisions can be tested with a clock that a test moves.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace folvek {

// What a listing tells about one regular file; any difference counts as a change.
struct FileState {
    std::uint64_t size = 0;
    std::int64_t mtimeNs = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileState&) const = default;
};

struct SeenFile {
    std::string name;  // bytes as the file system holds them
    FileState state;
};

struct ReadyFile {
    std::string name;
    FileState state;
    bool overdue = false;          // still changing when the longest wait ran out
    bool longestWaitOver = false;  // the longest wait has run out, changing or not
};

class SettleTracker {
  public:
    SettleTracker(std::int64_t settleMs, std::int64_t maxWaitMs)
        : settleMs_(settleMs), maxWaitMs_(maxWaitMs) {}

    // Everything the folder holds at `nowMs`: a new name starts waiting, a change restarts its
    // quiet time, and a name missing from the listing is forgotten.
    void observe(const std::vector<SeenFile>& listing, std::int64_t nowMs);

    // The files that fell due: quiet for the settling time, or waited the longest time. They are
    // handed out once; the same name comes back only when the file changes (or goes and comes
    // back), so that a file that could not be moved away is not printed again and again.
    std::vector<ReadyFile> takeReady(std::int64_t nowMs);

    // A file handed out that must wait after all (a program still holds it open for writing):
    // it waits again, keeping its times, and comes back no sooner than `retryMs` from now.
    void holdBack(const ReadyFile& file, std::int64_t nowMs, std::int64_t retryMs);

    // Milliseconds until the next file could fall due, -1 when none waits.
    std::int64_t msUntilNext(std::int64_t nowMs) const;

    bool waiting() const { return !pending_.empty(); }

  private:
    struct Pending {
        FileState state;
        std::int64_t firstSeen;
        std::int64_t lastChange;
        std::int64_t notBefore = 0;  // held back until then
    };
    std::int64_t settleMs_;
    std::int64_t maxWaitMs_;
    std::map<std::string, Pending> pending_;
    std::map<std::string, Pending> handedOut_;  // with the times it had when handed out
};

}  // namespace folvek
