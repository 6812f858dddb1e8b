#include "line_store.h"

#include <algorithm>
#include <cstring>

namespace folvek {

namespace {
constexpr std::size_t kFirstChunk = 64 * 1024;
constexpr std::size_t kMaxChunk = 4 * 1024 * 1024;
}  // namespace

char* list::room(std::size_t bytes) {
    if (chunks_.empty() || chunks_.back().size - chunks_.back().used < bytes) {
        std::size_t size =
            chunks_.empty() ? kFirstChunk : std::min(chunks_.back().size * 2, kMaxChunk);
        size = std::max(size, bytes);
        Chunk c;
        c.data.reset(new char[size]);
        c.size = size;
        chunks_.push_back(std::move(c));
    }
    Chunk& c = chunks_.back();
    return c.data.get() + c.used;
}

char* list::beginAppend(std::size_t maxLen) {
    pending_ = room(maxLen + 1);
    return pending_;
}

void list::endAppend(std::size_t len) {
    // Grow both arrays before touching either, so running out of memory cannot leave a text
    // without its style word.
    if (texts_.size() == texts_.capacity() || styles_.size() == styles_.capacity()) {
        const std::size_t cap = std::max<std::size_t>(16, texts_.size() * 2);
        texts_.reserve(cap);
        styles_.reserve(cap);
    }
    pending_[len] = '\0';
    chunks_.back().used += len + 1;
    texts_.push_back(pending_);
    styles_.push_back(0);
    cur_ = static_cast<std::int64_t>(texts_.size()) - 1;
    pending_ = nullptr;
}

void list::append(const char* text, std::size_t len) {
    char* p = beginAppend(len);
    if (len) std::memcpy(p, text, len);
    endAppend(len);
}

const char* list::currentText() const {
    return cur_ < 0 ? nullptr : texts_[cur_];
}

std::uint16_t list::currentStyle() const {
    return cur_ < 0 ? 0 : styles_[cur_];
}

void list::setCurrentStyle(std::uint16_t style) {
    if (cur_ >= 0) styles_[cur_] = style;
}

bool list::first() {
    if (texts_.empty()) return false;
    cur_ = 0;
    return true;
}

bool list::last() {
    if (texts_.empty()) return false;
    cur_ = static_cast<std::int64_t>(texts_.size()) - 1;
    return true;
}

bool list::next() {
    if (cur_ < 0 || cur_ + 1 >= static_cast<std::int64_t>(texts_.size())) return false;
    ++cur_;
    return true;
}

bool list::prev() {
    if (cur_ <= 0) return false;
    --cur_;
    return true;
}

bool list::seek(std::int32_t n) {
    if (n <= 0) return false;
    if (!first()) return false;
    if (static_cast<std::size_t>(n) > texts_.size()) {
        last();
        return false;
    }
    cur_ = n - 1;
    return true;
}

void list::clear() {
    texts_.clear();
    texts_.shrink_to_fit();
    styles_.clear();
    styles_.shrink_to_fit();
    chunks_.clear();
    clearBoxCodes();
    cur_ = -1;
    pending_ = nullptr;
}

void list::reserveLines(std::size_t n) {
    texts_.reserve(n);
    styles_.reserve(n);
}

void list::shrinkToFit() {
    texts_.shrink_to_fit();
    styles_.shrink_to_fit();
    boxLines_.shrink_to_fit();
    boxPool_.shrink_to_fit();
}

const std::uint8_t* list::boxCodesAt(std::size_t i) const {
    const auto it =
        std::lower_bound(boxLines_.begin(), boxLines_.end(), std::make_pair(i, std::size_t{0}));
    return it != boxLines_.end() && it->first == i ? boxPool_.data() + it->second : nullptr;
}

void list::setBoxCodes(std::size_t i, const std::uint8_t* codes, std::size_t len) {
    // Out of order (not done by the loader) would break the search: drop what follows.
    while (!boxLines_.empty() && boxLines_.back().first >= i) {
        boxPool_.resize(boxLines_.back().second);
        boxLines_.pop_back();
    }
    boxLines_.emplace_back(i, boxPool_.size());
    boxPool_.insert(boxPool_.end(), codes, codes + len);
    boxPool_.push_back(0);  // the text's NUL
}

void list::clearBoxCodes() {
    boxLines_.clear();
    boxLines_.shrink_to_fit();
    boxPool_.clear();
    boxPool_.shrink_to_fit();
}

std::size_t list::memoryUsed() const {
    std::size_t bytes = texts_.capacity() * sizeof(const char*) + styles_.capacity() * 2 +
                        boxLines_.capacity() * sizeof(boxLines_[0]) + boxPool_.capacity();
    for (const Chunk& c : chunks_) bytes += c.size;
    return bytes;
}

}  // namespace folvek
