// Making a run of texts on another core while this thread uses each in turn: the sheets of a
// workbook are made while the ones before them are packed, so the packing and the making (the
// values of every cell) overlap.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace folvek {

class TextsAhead {
  public:
    TextsAhead(std::size_t count, std::function<std::string(std::size_t)> make);
    ~TextsAhead();
    TextsAhead(const TextsAhead&) = delete;
    TextsAhead& operator=(const TextsAhead&) = delete;

    // Text k, waiting for it when it is not made yet; the first call starts the maker. Taken in
    // order (a text asked for again, as a save that starts over another way does, is made again).
    std::string take(std::size_t k);

  private:
    void run();
    std::function<std::string(std::size_t)> make_;
    std::vector<std::string> texts_;
    std::vector<bool> given_;
    std::mutex mutex_;
    std::condition_variable made_, taken_;
    std::size_t done_ = 0;  // texts [0, done_) are made
    std::size_t aheadBytes_ = 0;
    bool stop_ = false;
    std::once_flag started_;
    std::thread thread_;
};

}  // namespace folvek
