#include "line_store.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>
#include <utility>

namespace folvek {

namespace {
constexpr std::size_t kFirstChunk = 64 * 1024;
constexpr std::size_t kMaxChunk = 4 * 1024 * 1024;
}  // namespace

char* LineStore::room(std::size_t bytes) {
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

char* LineStore::beginAppend(std::size_t maxLen) {
    pending_ = room(maxLen + 1);
    return pending_;
}

void LineStore::endAppend(std::size_t len) {
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

void LineStore::append(const char* text, std::size_t len) {
    char* p = beginAppend(len);
    if (len) std::memcpy(p, text, len);
    endAppend(len);
}

const char* LineStore::currentText() const {
    return cur_ < 0 ? nullptr : texts_[cur_];
}

std::uint16_t LineStore::currentStyle() const {
    return cur_ < 0 ? 0 : styles_[cur_];
}

void LineStore::setCurrentStyle(std::uint16_t style) {
    if (cur_ >= 0) styles_[cur_] = style;
}

bool LineStore::first() {
    if (texts_.empty()) return false;
    cur_ = 0;
    return true;
}

bool LineStore::last() {
    if (texts_.empty()) return false;
    cur_ = static_cast<std::int64_t>(texts_.size()) - 1;
    return true;
}

bool LineStore::next() {
    if (cur_ < 0 || cur_ + 1 >= static_cast<std::int64_t>(texts_.size())) return false;
    ++cur_;
    return true;
}

bool LineStore::prev() {
    if (cur_ <= 0) return false;
    --cur_;
    return true;
}

bool LineStore::seek(std::int32_t n) {
    if (n <= 0) return false;
    if (!first()) return false;
    if (static_cast<std::size_t>(n) > texts_.size()) {
        last();
        return false;
    }
    cur_ = n - 1;
    return true;
}

void LineStore::clear() {
    texts_.clear();
    texts_.shrink_to_fit();
    styles_.clear();
    styles_.shrink_to_fit();
    chunks_.clear();
    clearBoxCodes();
    cur_ = -1;
    pending_ = nullptr;
}

void LineStore::reserveLines(std::size_t n) {
    texts_.reserve(n);
    styles_.reserve(n);
    boxLines_.reserve(n);
}

void LineStore::reserveLinesFor(std::uint64_t bytes, std::size_t limit) {
    try {
        reserveLines(size() + std::min<std::size_t>(std::size_t(bytes / 48) + 16, limit));
    } catch (const std::bad_alloc&) {
    }
}

void LineStore::shrinkToFit() {
    texts_.shrink_to_fit();
    styles_.shrink_to_fit();
    // boxLines_ keeps its room: untouched pages cost nothing, and a copy would double the peak.
}

void LineStore::appendStore(LineStore& tail) {
    // Room first: running out of memory leaves both stores as they were.
    texts_.reserve(texts_.size() + tail.texts_.size());
    styles_.reserve(styles_.size() + tail.styles_.size());
    chunks_.reserve(chunks_.size() + tail.chunks_.size());
    boxLines_.reserve(boxLines_.size() + tail.boxLines_.size());
    boxRuns_.reserve(boxRuns_.size() + tail.boxRuns_.size());

    const std::size_t offset = texts_.size();
    texts_.insert(texts_.end(), tail.texts_.begin(), tail.texts_.end());
    styles_.insert(styles_.end(), tail.styles_.begin(), tail.styles_.end());
    for (Chunk& c : tail.chunks_) chunks_.push_back(std::move(c));
    // The tail's run chunks are taken over whole: this store's last chunk is filled up with
    // empty runs (which add nothing to the line they trail), so the tail's runs keep their
    // places in their chunks.
    const std::size_t padded = boxRuns_.size() * kRunsPerChunk;
    for (; boxRunCount_ < padded; ++boxRunCount_)
        boxRuns_[boxRunCount_ / kRunsPerChunk][boxRunCount_ % kRunsPerChunk] = {0, 0, 0};
    for (const BoxLine& b : tail.boxLines_)
        boxLines_.push_back({static_cast<std::uint32_t>(b.line + offset),
                             static_cast<std::uint32_t>(b.firstRun + padded)});
    for (auto& chunk : tail.boxRuns_) boxRuns_.push_back(std::move(chunk));
    boxRunCount_ = padded + tail.boxRunCount_;
    if (tail.doubleBarsImplied_) doubleBarsImplied_ = true;
    if (!texts_.empty()) cur_ = static_cast<std::int64_t>(texts_.size()) - 1;
    tail.clear();
}

void LineStore::prependStore(LineStore& head) {
    // Room first: running out of memory leaves both stores as they were.
    texts_.reserve(texts_.size() + head.texts_.size());
    styles_.reserve(styles_.size() + head.styles_.size());
    chunks_.reserve(chunks_.size() + head.chunks_.size());
    boxLines_.reserve(boxLines_.size() + head.boxLines_.size());
    boxRuns_.reserve(boxRuns_.size() + head.boxRuns_.size());

    const std::size_t offset = head.texts_.size();
    texts_.insert(texts_.begin(), head.texts_.begin(), head.texts_.end());
    styles_.insert(styles_.begin(), head.styles_.begin(), head.styles_.end());
    // This store's last chunk stays the last: appending goes on in it.
    chunks_.insert(chunks_.begin(), std::make_move_iterator(head.chunks_.begin()),
                   std::make_move_iterator(head.chunks_.end()));
    // The head's run chunks come first, its last one filled up with empty runs (see
    // appendStore); this store's runs move along by as many chunks.
    const std::size_t padded = head.boxRuns_.size() * kRunsPerChunk;
    for (std::size_t r = head.boxRunCount_; r < padded; ++r)
        head.boxRuns_[r / kRunsPerChunk][r % kRunsPerChunk] = {0, 0, 0};
    for (BoxLine& b : boxLines_) {
        b.line = static_cast<std::uint32_t>(b.line + offset);
        b.firstRun = static_cast<std::uint32_t>(b.firstRun + padded);
    }
    boxLines_.insert(boxLines_.begin(), head.boxLines_.begin(), head.boxLines_.end());
    boxRuns_.insert(boxRuns_.begin(), std::make_move_iterator(head.boxRuns_.begin()),
                    std::make_move_iterator(head.boxRuns_.end()));
    boxRunCount_ += padded;
    if (head.doubleBarsImplied_) doubleBarsImplied_ = true;
    if (!texts_.empty()) cur_ = static_cast<std::int64_t>(texts_.size()) - 1;
    head.clear();
}

void LineStore::swap(LineStore& other) noexcept {
    texts_.swap(other.texts_);
    styles_.swap(other.styles_);
    chunks_.swap(other.chunks_);
    boxLines_.swap(other.boxLines_);
    boxRuns_.swap(other.boxRuns_);
    std::swap(boxRunCount_, other.boxRunCount_);
    std::swap(doubleBarsImplied_, other.doubleBarsImplied_);
    std::swap(cur_, other.cur_);
    std::swap(pending_, other.pending_);
}

const LineStore::BoxLine* LineStore::findBoxLine(std::size_t i) const {
    const auto it = std::lower_bound(boxLines_.begin(), boxLines_.end(), i,
                                     [](const BoxLine& b, std::size_t n) { return b.line < n; });
    return it != boxLines_.end() && it->line == i ? &*it : nullptr;
}

bool LineStore::hasBoxCodes(std::size_t i) const {
    return findBoxLine(i) != nullptr;
}

void LineStore::pushRun(BoxRun run) {
    if (boxRunCount_ == boxRuns_.size() * kRunsPerChunk)
        boxRuns_.emplace_back(new BoxRun[kRunsPerChunk]);
    boxRuns_[boxRunCount_ / kRunsPerChunk][boxRunCount_ % kRunsPerChunk] = run;
    ++boxRunCount_;
}

void LineStore::setBoxCodes(std::size_t i, const std::uint8_t* codes, std::size_t len) {
    // Out of order (the loader never does it) would break the search: drop what follows.
    dropBoxCodesFrom(i);
    const auto first = static_cast<std::uint32_t>(boxRunCount_);
    std::size_t end = 0;  // end of the last run stored
    for (std::size_t k = 0; k < len;) {
        if (!codes[k]) {  // most of a line is text: skip it a word at a time
            std::uint64_t w;
            while (k + 8 <= len && (std::memcpy(&w, codes + k, 8), w == 0)) k += 8;
            while (k < len && !codes[k]) ++k;
            continue;
        }
        std::size_t stop = k + 1;
        while (stop < len && codes[stop] == codes[k]) ++stop;
        std::size_t gap = k - end, length = stop - k;
        for (; gap > 255; gap -= 255) pushRun({255, 0, 0});
        for (; length > 255; length -= 255, gap = 0)
            pushRun({static_cast<std::uint8_t>(gap), 255, codes[k]});
        pushRun({static_cast<std::uint8_t>(gap), static_cast<std::uint8_t>(length), codes[k]});
        end = stop;
        k = stop;
    }
    if (boxRunCount_ > first) boxLines_.push_back({static_cast<std::uint32_t>(i), first});
}

bool LineStore::boxCodes(std::size_t i, std::size_t offset, std::uint8_t* out,
                         std::size_t n) const {
    const BoxLine* b = findBoxLine(i);
    if (!b) return false;
    const std::size_t last =
        b + 1 < boxLines_.data() + boxLines_.size() ? b[1].firstRun : boxRunCount_;
    std::memset(out, 0, n);
    std::size_t pos = 0;
    for (std::size_t r = b->firstRun; r < last; ++r) {
        const BoxRun& run = runAt(r);
        pos += run.gap;
        const std::size_t from = std::max(pos, offset);
        const std::size_t to = std::min(pos + run.length, offset + n);
        if (from < to) std::memset(out + (from - offset), run.code, to - from);
        pos += run.length;
    }
    return true;
}

void LineStore::dropBoxCodesFrom(std::size_t i) {
    while (!boxLines_.empty() && boxLines_.back().line >= i) {
        boxRunCount_ = boxLines_.back().firstRun;
        boxLines_.pop_back();
    }
}

void LineStore::clearBoxCodes() {
    boxLines_.clear();
    boxLines_.shrink_to_fit();
    boxRuns_.clear();
    boxRuns_.shrink_to_fit();
    boxRunCount_ = 0;
    doubleBarsImplied_ = false;
}

std::size_t LineStore::memoryUsed() const {
    std::size_t bytes = texts_.capacity() * sizeof(const char*) + styles_.capacity() * 2 +
                        boxLines_.size() * sizeof(BoxLine) +  // its spare room is never touched
                        boxRuns_.capacity() * sizeof(void*) +
                        boxRuns_.size() * kRunsPerChunk * sizeof(BoxRun);
    for (const Chunk& c : chunks_) bytes += c.size;
    return bytes;
}

}  // namespace folvek
