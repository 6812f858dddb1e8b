// Pages built and compressed on worker threads and handed back in page order. A page is either
// drawn by a worker on a PDF device of its own (the caller's drawing must then be safe to run
// on several threads at once) or comes drawn already and is only compressed. At most a fixed
// number of pages is in flight, so memory stays bounded however long the document is; the
// thread that submits pages works on one itself whenever it would otherwise wait.
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

#include "pdf_device.h"

namespace folvek {

struct PdfPageJob {
    double printableMm[2] = {0, 0};
    std::string prefix;                        // the page's transform
    std::function<void(DeviceContext&)> draw;  // null: `content` is the page already
    std::string content;
    std::vector<int> images;  // the image set's numbers of /Im1, /Im2, ... of the content
};

class PdfPagePipeline {
  public:
    using Writer = std::function<void(std::string& compressed, const std::vector<int>& images)>;

    // `workers` 0: everything on the submitting thread.
    PdfPagePipeline(int workers, std::size_t maxInFlight, PdfFontSet& fonts, PdfImageSet& images,
                    Writer writer);
    ~PdfPagePipeline();
    PdfPagePipeline(const PdfPagePipeline&) = delete;
    PdfPagePipeline& operator=(const PdfPagePipeline&) = delete;

    // Queues one page; finished pages are written (in order, on this thread) before it returns.
    void submit(PdfPageJob job);
    // Writes every page still in flight.
    void drain();
    // Drops what is in flight without writing it.
    void cancel();

    // Why a page could not be made (out of memory), or empty; such a page is written empty.
    std::string error() const;

    // Worker threads for this machine: one per core besides the submitting thread.
    static int defaultWorkers();

  private:
    struct Job {
        PdfPageJob page;
        std::string out;
        bool started = false;
        bool done = false;
    };
    void workerLoop();
    void run(Job& job, PdfDevice& device);
    void writeReady(std::unique_lock<std::mutex>& lock);
    bool helpOrWait(std::unique_lock<std::mutex>& lock);

    std::size_t maxInFlight_;
    PdfFontSet& fonts_;
    PdfImageSet& images_;
    PdfDevice ownDevice_;  // the submitting thread's
    Writer writer_;
    mutable std::mutex mutex_;
    std::string error_;
    std::condition_variable work_, done_;
    std::deque<std::unique_ptr<Job>> order_;  // in page order
    std::deque<Job*> queue_;                  // not yet started
    std::vector<std::thread> threads_;
    bool stop_ = false;
};

}  // namespace folvek
