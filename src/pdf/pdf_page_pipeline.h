// Page streams compressed on worker threads and handed back in page order. At most a fixed
// number of pages is in flight, so memory stays bounded however long the document is; the
// thread that submits pages compresses one itself whenever it would otherwise wait.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace folvek {

class PdfPagePipeline {
  public:
    using Writer = std::function<void(std::string& compressed)>;

    // `workers` 0: everything on the submitting thread.
    PdfPagePipeline(int workers, std::size_t maxInFlight, Writer writer);
    ~PdfPagePipeline();
    PdfPagePipeline(const PdfPagePipeline&) = delete;
    PdfPagePipeline& operator=(const PdfPagePipeline&) = delete;

    // Queues one page's content; finished pages are written (in order) before it returns.
    void submit(std::string content);
    // Writes every page still in flight.
    void drain();
    // Drops what is in flight without writing it.
    void cancel();

    // Worker threads for this machine: one per core besides the submitting thread.
    static int defaultWorkers();

  private:
    struct Job {
        std::string in, out;
        bool started = false;
        bool done = false;
    };
    void workerLoop();
    void writeReady(std::unique_lock<std::mutex>& lock);
    bool helpOrWait(std::unique_lock<std::mutex>& lock);

    std::size_t maxInFlight_;
    Writer writer_;
    std::mutex mutex_;
    std::condition_variable work_, done_;
    std::deque<std::unique_ptr<Job>> order_;  // in page order
    std::deque<Job*> queue_;                  // not yet started
    std::vector<std::thread> threads_;
    bool stop_ = false;
};

}  // namespace folvek
