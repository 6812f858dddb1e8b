// The pool's threads and the deflating of one piece.
#include "deflate_pool.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>

namespace folvek {

namespace {

// Bytes of XML waiting before the writing thread deflates pieces itself.
constexpr std::size_t kMaxQueued = 8u << 20;
// A thread takes pieces in batches of about this size, so that a workbook of thousands of
// small sheets does not cost a hand-over between threads for each.
constexpr std::size_t kBatch = 256u << 10;

// A whole entry at once: one compressor per thread.
bool deflateWhole(DeflatePiece& p) {
    struct Free {
        void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
    };
    thread_local std::unique_ptr<libdeflate_compressor, Free> compressor(
        libdeflate_alloc_compressor(1));
    if (!compressor) return false;
    p.packed.resize(libdeflate_deflate_compress_bound(compressor.get(), p.data.size()));
    const std::size_t n = libdeflate_deflate_compress(
        compressor.get(), p.data.data(), p.data.size(), p.packed.data(), p.packed.size());
    p.packed.resize(n);
    return n > 0;
}

}  // namespace

void deflatePiece(DeflatePiece& p) {
    p.size = p.data.size();
    p.crc = libdeflate_crc32(0, p.data.data(), p.data.size());
    if (p.first && p.last && deflateWhole(p)) {
        std::string().swap(p.data);
        return;
    }
    p.packed.clear();
    z_stream z{};
    // Level 1: the files are repetitive XML; the higher levels cost time for little.
    if (deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        p.ok = false;
        return;
    }
    z.next_in = reinterpret_cast<Bytef*>(p.data.data());
    z.avail_in = static_cast<uInt>(p.data.size());
    const int flush = p.last ? Z_FINISH : Z_SYNC_FLUSH;
    int rc = Z_OK;
    do {
        const std::size_t at = p.packed.size();
        const std::size_t room = 16 * 1024 + z.avail_in / 3;
        p.packed.resize(at + room);
        z.next_out = reinterpret_cast<Bytef*>(p.packed.data() + at);
        z.avail_out = static_cast<uInt>(room);
        rc = deflate(&z, flush);
        p.packed.resize(at + room - z.avail_out);
        if (rc == Z_STREAM_ERROR) p.ok = false;
    } while (p.ok && (z.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END)));
    deflateEnd(&z);
    std::string().swap(p.data);
}

DeflatePool::~DeflatePool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    ready_.notify_all();
    for (std::thread& t : threads_) t.join();
}

bool DeflatePool::runOne(std::unique_lock<std::mutex>& lock) {
    if (queue_.empty()) return false;
    std::vector<std::shared_ptr<DeflatePiece>> batch;
    std::size_t bytes = 0;
    while (!queue_.empty() && (batch.empty() || bytes < kBatch)) {
        bytes += queue_.front()->data.size();
        batch.push_back(std::move(queue_.front()));
        queue_.pop_front();
    }
    queued_ -= bytes;
    ++running_;
    lock.unlock();
    for (const auto& piece : batch) deflatePiece(*piece);
    lock.lock();
    --running_;
    if (queue_.empty() && running_ == 0) done_.notify_all();
    return true;
}

void DeflatePool::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        ready_.wait(lock, [this] { return stop_ || !queue_.empty(); });
        if (stop_) return;
        runOne(lock);
    }
}

void DeflatePool::submit(std::shared_ptr<DeflatePiece> piece) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (threads_.empty()) {
        // This thread writes and helps; the other cores deflate.
        const unsigned cores = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
        for (unsigned t = 1; t < cores; ++t) threads_.emplace_back([this] { work(); });
    }
    queued_ += piece->data.size();
    queue_.push_back(std::move(piece));
    if (queued_ >= kBatch) ready_.notify_one();
    while (queued_ > kMaxQueued && runOne(lock)) {
    }
}

void DeflatePool::wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    ready_.notify_all();
    while (runOne(lock)) {
    }
    done_.wait(lock, [this] { return queue_.empty() && running_ == 0; });
}

}  // namespace folvek
