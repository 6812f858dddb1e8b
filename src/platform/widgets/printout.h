// What a print job asks of the document being printed. The job calls these in the order they
// are declared; a printout answers from its own data and draws its pages on the job's device.
#pragma once

#include <QSize>
#include <QString>
#include <string>

namespace folvek {

class DeviceContext;

// Page numbers a print dialog offers. A minimum of 0 means the document cannot say how many
// pages it has: the dialog then offers no page numbers and the job prints from page 1 until
// the printout has no further page.
struct PageRangeInfo {
    int minPage = 1;
    int maxPage = 1;
    int selFrom = 0;  // 0: no selection to offer
    int selTo = 0;
    QString note;  // shown in the print dialog: what of the pages does not reach the paper
};

class Printout {
  public:
    explicit Printout(std::string title) : title_(std::move(title)) {}
    Printout(const Printout&) = delete;
    Printout& operator=(const Printout&) = delete;

    virtual ~Printout() = default;
    // The device the pages are drawn on and the page size in device pixels; both stay valid
    // until the job ends.
    virtual void setPrintParams(DeviceContext* dc, QSize pageSize) {
        dc_ = dc;
        pageSize_ = pageSize;
    }
    virtual PageRangeInfo pageInfo() const { return {}; }
    virtual void beginPrinting() {}
    virtual void beginDocument(int /*fromPage*/, int /*toPage*/) {}
    virtual bool hasPage(int page) const { return page == 1; }
    virtual void printPage(int page) = 0;
    virtual void endDocument() {}
    virtual void endPrinting() {}

    // Names the spooler document and is shown while the job runs.
    const std::string& title() const { return title_; }

  protected:
    DeviceContext* dc() const { return dc_; }
    QSize pageSize() const { return pageSize_; }

  private:
    std::string title_;
    DeviceContext* dc_ = nullptr;
    QSize pageSize_;
};

}  // namespace folvek
