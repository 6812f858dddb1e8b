// The thread that cuts a file's second half.
#include "tail_cutter.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "lookalike_frames.h"
#include "retrying_io.h"

namespace folvek {

namespace {
constexpr std::size_t kBlock = 256 * 1024;
constexpr std::size_t kLookFor = 64 * 1024;  // a line feed must come this soon after the middle
constexpr int kBackgroundNice = 10;
}  // namespace

off_t halfwayLineStart(int fd, off_t size) {
    const off_t middle = size / 2;
    unsigned char buf[4096];
    for (off_t at = middle; at < size && at - middle < off_t(kLookFor);) {
        const ssize_t got = preadSome(fd, buf, sizeof buf, at);
        if (got <= 0) return -1;
        if (const void* lf = std::memchr(buf, '\n', std::size_t(got)))
            return at + (static_cast<const unsigned char*>(lf) - buf) + 1;
        at += got;
    }
    return -1;
}

off_t quietLineStart(int fd, off_t from, off_t size) {
    // A quiet line holds no bar, '+' or top corner that could start or carry a frame: a 'г'
    // inside a word is a letter, as the walk itself sees it. The last one before the place
    // must hold none of those bytes at all, since the line after it looks up at it.
    constexpr int kQuietLines = 5;  // more than a page break lets a frame span
    constexpr unsigned char kTopLeft = 0xE3, kTopRight = 0xAC;
    unsigned char buf[16384];
    int quiet = 0;
    bool lineQuiet = true, lineStrict = true;
    unsigned char prev = 0;
    for (off_t at = from; at < size && at - from < off_t(kLookFor * 16);) {
        const ssize_t got = preadSome(fd, buf, sizeof buf, at);
        if (got <= 0) return -1;
        for (ssize_t i = 0; i < got; prev = buf[i++]) {
            const unsigned char b = buf[i];
            const bool rule = b == '-' || b == '=';
            if (b == '\n') {
                quiet = lineQuiet ? quiet + 1 : 0;
                if (quiet >= kQuietLines && lineStrict) return at + i + 1;
                lineQuiet = lineStrict = true;
                continue;
            }
            if (holdsNoFrameCell(reinterpret_cast<const char*>(buf + i), 1)) {
                if (rule && prev == kTopLeft) lineQuiet = false;  // a top corner's line
                continue;
            }
            lineStrict = false;
            if (b == kTopLeft) continue;  // decided by the byte after it
            if (b == kTopRight && !(prev == '-' || prev == '=')) continue;
            lineQuiet = false;
        }
        at += got;
    }
    return -1;
}

TailCutter::TailCutter(int fd, off_t from, off_t size, TextEncoding encoding, bool scan,
                       std::uint16_t flags, std::size_t lineLimit, const LineCutter::Carry& carry,
                       bool walkFrames, std::function<void()> done)
    : fd_(fd),
      from_(from),
      cutter_(lines_, encoding, scan, flags),
      walkFrames_(walkFrames),
      done_(std::move(done)) {
    cutter_.setLineLimit(lineLimit);
    cutter_.resume(carry);
    // Room for its lines from the start: growing would copy them, and double their peak.
    if (size > from) lines_.reserveLinesFor(static_cast<std::uint64_t>(size - from), lineLimit);
    thread_ = std::thread([this] { run(); });
}

TailCutter::~TailCutter() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

bool TailCutter::finish() {
    if (thread_.joinable()) thread_.join();
    return whole_;
}

void TailCutter::run() {
    // A rest read while its head is shown gives way to the thread that shows it.
    if (done_) ::setpriority(PRIO_PROCESS, ::gettid(), kBackgroundNice);
    cut();
    ended_ = true;
    if (!done_ || stop_) return;
    try {
        done_();
    } catch (...) {
        // Whoever waits is not told; it still finds the thread ended.
    }
}

void TailCutter::cut() {
    try {
        std::unique_ptr<unsigned char[]> buf(new unsigned char[kBlock]);
        for (off_t at = from_; !stop_;) {
            const ssize_t got = preadSome(fd_, buf.get(), kBlock, at);
            if (got < 0) return;  // the loader reads it again and reports the error itself
            if (got == 0 || !cutter_.feed(buf.get(), buf.get() + got)) break;
            at += got;
        }
        if (stop_) return;
        cutter_.finish();
        if (walkFrames_) fileLookalikeFrames(lines_, 0);
        whole_ = true;
    } catch (const std::bad_alloc&) {
        // The loader cuts the tail itself, and keeps what fits.
    }
}

}  // namespace folvek
