// A big file's second half, cut into lines on a thread of its own while the loader cuts the
// first half. The half starts just after a line feed near the middle, with the printer state
// and styles the first cutter is expected to carry there; the loader keeps what was made only
// when its own cutter reaches that line feed carrying exactly that (LineCutter::Carry), and
// otherwise cuts the rest itself.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "line_cutter.h"
#include "line_store.h"
#include "text_encoding.h"

namespace folvek {

// The offset just after the first line feed at or after the middle of a file of `size` bytes,
// or -1 when none comes soon after it.
off_t halfwayLineStart(int fd, off_t size);
// The start of a line soon after `from` that follows a few lines that can hold no cell of a
// look-alike frame (so that no frame spans it), or -1 when there is none near.
off_t quietLineStart(int fd, off_t from, off_t size);

class TailCutter {
  public:
    // Starts cutting the bytes of `fd` from `from` to the end of the file (`size` bytes long,
    // for the room its lines need) into at most `lineLimit` lines, with what the first half's
    // cutter is expected to carry there. With `walkFrames` the look-alike frames of its lines
    // are filed too (the start must then be a quiet one). `done`, when given, is called on the
    // thread as its work ends, unless it was stopped; such a thread reads a file whose head is
    // being shown, and runs at a lower priority than the thread that shows it.
    TailCutter(int fd, off_t from, off_t size, TextEncoding encoding, bool scan,
               std::uint16_t flags, std::size_t lineLimit, const LineCutter::Carry& carry,
               bool walkFrames = false, std::function<void()> done = {});
    ~TailCutter();  // stops the thread if it still runs
    TailCutter(const TailCutter&) = delete;
    TailCutter& operator=(const TailCutter&) = delete;

    off_t start() const { return from_; }
    bool walksFrames() const { return walkFrames_; }
    // Waits for the thread; true when the tail was read to its end (or to a Ctrl-Z) with no
    // read error and in the memory there was.
    bool finish();
    // The thread has ended: finish() will not wait.
    bool ended() const { return ended_; }
    LineStore& lines() { return lines_; }
    const LineCutter& cutter() const { return cutter_; }

  private:
    void run();
    void cut();

    int fd_;
    off_t from_;
    LineStore lines_;
    LineCutter cutter_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> ended_{false};
    bool whole_ = false;
    bool walkFrames_;
    std::function<void()> done_;
    std::thread thread_;
};

}  // namespace folvek
