// A PDF document written page by page: pages are drawn on the PDF device, their streams are
// compressed on worker threads and written in page order, and the fonts (subset to the glyphs
// the pages used), the page tree and the cross-reference table follow at the end. The file
// appears under its name only when complete.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pdf_device.h"
#include "pdf_font.h"
#include "pdf_images.h"
#include "pdf_objects.h"
#include "pdf_output.h"
#include "pdf_page_pipeline.h"

namespace folvek {

struct PdfDocumentOptions {
    std::string title;  // UTF-8
    std::string creator = "folvek";
    FontFamilyMapper fontFamily;  // null: the face names as they are
    int workers = -1;             // compression threads; -1: one per further core
};

// A sheet: the paper and where its printable area lies on it, millimetres.
struct PdfPageGeometry {
    double paperWidthMm = 210, paperHeightMm = 297;
    double printableLeftMm = 0, printableTopMm = 0;
    double printableWidthMm = 210, printableHeightMm = 297;
};

class PdfDocument {
  public:
    explicit PdfDocument(PdfDocumentOptions options = {});
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    bool open(const std::string& path);
    // The device to draw the page on; its origin is the top-left corner of the printable area.
    DeviceContext& beginPage(const PdfPageGeometry& page);
    // The device beginPage returns, for callers that keep it across pages (it measures text
    // even outside a page).
    DeviceContext& device() { return device_; }
    // False once the document has failed (error() says why).
    bool endPage();
    // A page drawn by `draw` on a worker thread, on a device of its own: `draw` may run while
    // other pages are drawn, and must not touch anything that changes meanwhile. Pages keep
    // the order in which they are given, with each other and with beginPage/endPage.
    bool addPage(const PdfPageGeometry& page, std::function<void(DeviceContext&)> draw);
    // Finds the faces of these fonts now, on this thread, so that pages drawn on workers only
    // look them up (the face name's mapping may need the caller's thread).
    void prepareFonts(const LogFont* fonts, int count);
    // Completes the file and puts it under its name; false (nothing left behind) on failure.
    bool finish();
    // Drops the document; the target is left as it was.
    void abort();

    bool failed() const;
    std::string error() const;
    std::vector<std::string> warnings() const { return fonts_.warnings(); }
    int pageCount() const { return pages_; }

  private:
    void writePage(std::string& compressed, const std::vector<int>& images);
    PdfPageJob jobFor(const PdfPageGeometry& page);

    PdfDocumentOptions options_;
    PdfOutput out_;
    PdfObjects objects_;
    PdfFontSet fonts_;
    PdfImageSet images_;
    PdfDevice device_;
    std::unique_ptr<PdfPagePipeline> pipeline_;
    int pagesObject_ = 0, resourcesObject_ = 0;
    int fontsObject_ = 0;  // the fonts for pages with pictures, made with the first of them
    std::vector<int> pageObjects_;
    std::deque<std::string> mediaBoxes_;  // of the pages in flight
    PdfPageJob current_;
    int pages_ = 0;
    bool open_ = false, pageOpen_ = false;
    std::string error_;
};

}  // namespace folvek
