// Writing the pages of a laid-out document to PDF, PNG or SVG files without a print system.
#pragma once

#include <QString>
#include <functional>

namespace folvek {

class pager;
class PageLayoutPrinter;

// Called after every page with the pages done and the pages to do; false stops the job.
using ExportProgress = std::function<bool(int done, int total)>;

struct ExportOptions {
    int firstPage = 1;
    int lastPage = 0;          // 0: the document's last page
    int dpi = 150;             // PNG and SVG pixels per inch
    int pdfResolution = 1200;  // PDF coordinate grid, units per inch
    ExportProgress progress;
};

struct ExportResult {
    bool ok = false;
    int pages = 0;  // pages written
    QString error;  // why the job failed, for the user
};

// The pages first..last clamped to the document; false when the range holds no page.
bool resolvePageRange(int pageCount, int first, int last, int* from, int* to);

// One PDF file; its page layout is the printer's paper with the hardware margins, so the
// printable area is the one that layout measured.
ExportResult exportPdf(pager& doc, const PageLayoutPrinter& printer, const QString& file,
                       const ExportOptions& options);
// One image per page in `dir` (created when missing): page-0001.png, ... The image covers the
// whole sheet on a white background.
ExportResult exportPng(pager& doc, const PageLayoutPrinter& printer, const QString& dir,
                       const ExportOptions& options);
ExportResult exportSvg(pager& doc, const PageLayoutPrinter& printer, const QString& dir,
                       const ExportOptions& options);

// "page-0007.png" for page 7 of a document with fewer than 10000 pages.
QString pageFileName(int page, int pageCount, const char* extension);

}  // namespace folvek
