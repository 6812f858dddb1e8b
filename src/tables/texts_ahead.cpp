// The maker thread of TextsAhead and the hand-over of its texts.
#include "texts_ahead.h"

namespace folvek {

namespace {
// How far the maker may run ahead of the writer: enough to keep it busy, not a second copy
// of every file in memory.
constexpr std::size_t kAheadBytes = 8u << 20;
}  // namespace

TextsAhead::TextsAhead(std::size_t count, std::function<std::string(std::size_t)> make)
    : make_(std::move(make)), texts_(count), given_(count, false) {}

TextsAhead::~TextsAhead() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    taken_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void TextsAhead::run() {
    for (std::size_t k = 0; k < texts_.size(); ++k) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            taken_.wait(lock, [this] { return stop_ || aheadBytes_ < kAheadBytes; });
            if (stop_) return;
        }
        std::string text = make_(k);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            aheadBytes_ += text.size();
            texts_[k] = std::move(text);
            done_ = k + 1;
        }
        made_.notify_all();
    }
}

std::string TextsAhead::take(std::size_t k) {
    if (k >= texts_.size()) return {};
    // The maker starts with the first text asked for, not before: it costs nothing until the
    // texts are wanted.
    std::call_once(started_, [this] {
        if (texts_.size() > 1) thread_ = std::thread([this] { run(); });
    });
    if (!thread_.joinable()) return make_(k);
    std::unique_lock<std::mutex> lock(mutex_);
    made_.wait(lock, [this, k] { return done_ > k; });
    if (given_[k]) {
        // Asked again (a save that starts over another way): made anew, the same text.
        lock.unlock();
        return make_(k);
    }
    given_[k] = true;
    std::string text = std::move(texts_[k]);
    texts_[k] = std::string();
    aheadBytes_ -= std::min(aheadBytes_, text.size());
    lock.unlock();
    taken_.notify_all();
    return text;
}

}  // namespace folvek
