// Progress bar drawing.
#include "progress_bar.h"

#include <unistd.h>

#include <cstdio>

namespace folvek {

ProgressBar::ProgressBar(const char* what)
    : what_(what), terminal_(isatty(STDERR_FILENO) == 1), start_(Clock::now()), last_(start_) {}

ProgressBar::~ProgressBar() {
    if (shown_) std::fputs("\r\033[K", stderr);  // leave the terminal line clean
}

void ProgressBar::update(int done, int total) {
    if (!terminal_ || total <= 0) return;
    const auto now = Clock::now();
    if (now - start_ < std::chrono::seconds(1)) return;
    if (shown_ && done < total && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    shown_ = true;
    constexpr int kWidth = 30;
    const int filled = int(static_cast<long long>(done) * kWidth / total);
    char bar[kWidth + 1];
    for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
    bar[kWidth] = '\0';
    std::fprintf(stderr, "\r%s [%s] %d/%d", what_, bar, done, total);
    std::fflush(stderr);
}

}  // namespace folvek
