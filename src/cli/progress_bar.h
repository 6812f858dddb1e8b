// A progress bar on standard error for jobs that run longer than a second, only on a terminal.
#pragma once

#include <chrono>

namespace folvek {

class ProgressBar {
  public:
    explicit ProgressBar(const char* what);
    ~ProgressBar();
    void update(int done, int total);

  private:
    using Clock = std::chrono::steady_clock;
    const char* what_;
    bool terminal_;
    bool shown_ = false;
    Clock::time_point start_;
    Clock::time_point last_;
};

}  // namespace folvek
