// Writing the pages of a laid-out document to PDF, PNG or SVG files without a print system.
#pragma once

#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <functional>

namespace folvek {

class DocumentRecord;
class PageLayoutPrinter;

// Called after every page with the pages done and the pages to do; false stops the job.
using ExportProgress = std::function<bool(int done, int total)>;

// Which writer makes PDF files: our own (fast, pages on every core) or Qt's PDF engine.
enum class PdfEngine { Direct, Qt };

struct ExportOptions {
    int firstPage = 1;
    int lastPage = 0;          // 0: the document's last page
    int dpi = 150;             // PNG and SVG pixels per inch
    int pdfResolution = 1200;  // PDF coordinate grid of the Qt engine, units per inch
    PdfEngine pdfEngine = PdfEngine::Direct;
    QString title;  // the PDF's title; empty: the file's name without its extension
    ExportProgress progress;
};

struct ExportResult {
    bool ok = false;
    int pages = 0;         // pages written
    QString error;         // why the job failed, for the user
    QStringList warnings;  // what the user should know although the job succeeded
};

// The pages first..last clamped to the document; false when the range holds no page.
bool resolvePageRange(int pageCount, int first, int last, int* from, int* to);

// One PDF file; its page layout is the printer's paper with the hardware margins, so the
// printable area is the one that layout measured.
ExportResult exportPdf(DocumentRecord& doc, const PageLayoutPrinter& printer, const QString& file,
                       const ExportOptions& options);
// The same on any sheet (the viewer's printer): our own writer only, whatever the options say.
ExportResult exportPdf(DocumentRecord& doc, const QPageLayout& sheet, const QString& file,
                       const ExportOptions& options);
// One image per page in `dir` (created when missing): page-0001.png, ... The image covers the
// whole sheet on a white background.
// The same through Qt's PDF engine, kept for comparison (folvek-print --engine qt).
ExportResult exportPdfQt(DocumentRecord& doc, const PageLayoutPrinter& printer, const QString& file,
                         const ExportOptions& options);
ExportResult exportPng(DocumentRecord& doc, const PageLayoutPrinter& printer, const QString& dir,
                       const ExportOptions& options);
ExportResult exportSvg(DocumentRecord& doc, const PageLayoutPrinter& printer, const QString& dir,
                       const ExportOptions& options);

// "page-0007.png" for page 7 of a document with fewer than 10000 pages.
QString pageFileName(int page, int pageCount, const char* extension);

}  // namespace folvek
