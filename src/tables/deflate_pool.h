// Deflating pieces of a zip's entries on the other cores while this thread writes the next
// XML: the sheets of a workbook are independent, and a large entry is cut into pieces that are
// deflated each on its own and joined (every piece but an entry's last ends with a sync flush,
// so that the pieces make one deflate stream; the CRCs are combined). An entry of one piece, a
// workbook's sheet as a rule, goes through libdeflate, twice as fast as zlib at its fastest
// level, which cannot end a piece but with a final block. When the queue is long
// or the work is awaited, the writing thread takes pieces too, so one core does all the work
// and the memory the queue holds stays small.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace folvek {

struct DeflatePiece {
    std::string data;    // freed once deflated
    std::string packed;  // raw deflate
    std::uint32_t crc = 0;
    std::size_t size = 0;  // of data
    bool first = true;     // starts its entry's stream
    bool last = true;      // ends its entry's stream
    bool ok = true;
};

class DeflatePool {
  public:
    DeflatePool() = default;
    ~DeflatePool();
    DeflatePool(const DeflatePool&) = delete;
    DeflatePool& operator=(const DeflatePool&) = delete;

    void submit(std::shared_ptr<DeflatePiece> piece);
    // Returns once every piece submitted is deflated.
    void wait();

  private:
    void work();
    bool runOne(std::unique_lock<std::mutex>& lock);
    std::mutex mutex_;
    std::condition_variable ready_, done_;
    std::deque<std::shared_ptr<DeflatePiece>> queue_;
    std::size_t queued_ = 0;   // bytes waiting
    std::size_t running_ = 0;  // pieces being deflated
    bool stop_ = false;
    std::vector<std::thread> threads_;
};

// Deflates one piece in this thread.
void deflatePiece(DeflatePiece& piece);

}  // namespace folvek
