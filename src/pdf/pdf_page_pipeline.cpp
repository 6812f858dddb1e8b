// The page workers and the in-order hand-back.
#include "pdf_page_pipeline.h"

#include <algorithm>

#include "pdf_deflate.h"

namespace folvek {

int PdfPagePipeline::defaultWorkers() {
    const unsigned n = std::thread::hardware_concurrency();
    return n > 1 ? int(std::min(n - 1, 15u)) : 0;
}

PdfPagePipeline::PdfPagePipeline(int workers, std::size_t maxInFlight, PdfFontSet& fonts,
                                 PdfImageSet& images, Writer writer)
    : maxInFlight_(std::max<std::size_t>(1, maxInFlight)),
      fonts_(fonts),
      images_(images),
      ownDevice_(fonts, images),
      writer_(std::move(writer)) {
    for (int i = 0; i < workers; ++i) threads_.emplace_back([this] { workerLoop(); });
}

PdfPagePipeline::~PdfPagePipeline() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        queue_.clear();
    }
    work_.notify_all();
    for (std::thread& t : threads_) t.join();
}

std::string PdfPagePipeline::error() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return error_;
}

void PdfPagePipeline::run(Job& job, PdfDevice& device) {
    PdfPageJob& page = job.page;
    // Nothing may escape a worker thread; a page that cannot be made fails the document.
    try {
        if (page.draw) {
            device.beginPage(page.printableMm[0], page.printableMm[1], page.prefix);
            page.draw(device);
            page.content = device.takeContent();
            page.images = device.takeImages();
            page.draw = nullptr;
        }
        deflateInto(page.content, job.out);
    } catch (const std::exception& e) {
        job.out.clear();
        std::lock_guard<std::mutex> lock(mutex_);
        if (error_.empty()) error_ = std::string("cannot make a page: ") + e.what();
    }
    std::string().swap(page.content);
}

void PdfPagePipeline::workerLoop() {
    PdfDevice device(fonts_, images_);
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        work_.wait(lock, [this] { return stop_ || !queue_.empty(); });
        if (stop_) return;
        Job* job = queue_.front();
        queue_.pop_front();
        job->started = true;
        lock.unlock();
        run(*job, device);
        lock.lock();
        job->done = true;
        done_.notify_all();
    }
}

void PdfPagePipeline::writeReady(std::unique_lock<std::mutex>& lock) {
    while (!order_.empty() && order_.front()->done) {
        std::unique_ptr<Job> job = std::move(order_.front());
        order_.pop_front();
        lock.unlock();
        writer_(job->out, job->page.images);
        lock.lock();
    }
}

// Works on a queued page on this thread, or waits for the oldest page; false when nothing
// is in flight.
bool PdfPagePipeline::helpOrWait(std::unique_lock<std::mutex>& lock) {
    if (order_.empty()) return false;
    if (!queue_.empty()) {
        Job* job = queue_.front();
        queue_.pop_front();
        job->started = true;
        lock.unlock();
        run(*job, ownDevice_);
        lock.lock();
        job->done = true;
    } else {
        Job* front = order_.front().get();
        done_.wait(lock, [front] { return front->done; });
    }
    return true;
}

void PdfPagePipeline::submit(PdfPageJob page) {
    std::unique_lock<std::mutex> lock(mutex_);
    auto job = std::make_unique<Job>();
    job->page = std::move(page);
    queue_.push_back(job.get());
    order_.push_back(std::move(job));
    if (threads_.empty()) {
        helpOrWait(lock);
    } else {
        work_.notify_one();
    }
    writeReady(lock);
    while (order_.size() >= maxInFlight_ && helpOrWait(lock)) writeReady(lock);
}

void PdfPagePipeline::drain() {
    std::unique_lock<std::mutex> lock(mutex_);
    writeReady(lock);
    while (helpOrWait(lock)) writeReady(lock);
}

void PdfPagePipeline::cancel() {
    std::unique_lock<std::mutex> lock(mutex_);
    queue_.clear();
    for (const auto& job : order_) {
        Job* j = job.get();
        done_.wait(lock, [j] { return j->done || !j->started; });
    }
    order_.clear();
}

}  // namespace folvek
