// PDF export through our own writer: pages drawn on the PDF device, compressed on every core,
// the file renamed over the target only when complete.
#include <QFileInfo>

#include "document_record.h"
#include "export.h"
#include "page_layout_printer.h"
#include "page_renderer.h"
#include "pdf_document_qt.h"

namespace folvek {

ExportResult exportPdf(DocumentRecord& doc, const PageLayoutPrinter& printer,
                       const QString& fileName, const ExportOptions& options) {
    if (options.pdfEngine == PdfEngine::Qt) return exportPdfQt(doc, printer, fileName, options);
    return exportPdf(doc, printer.pageLayout(), fileName, options);
}

ExportResult exportPdf(DocumentRecord& doc, const QPageLayout& sheetLayout, const QString& fileName,
                       const ExportOptions& options) {
    ExportResult result;
    int from = 0, to = 0;
    if (!resolvePageRange(doc.pageCount, options.firstPage, options.lastPage, &from, &to)) {
        result.error = QStringLiteral("no pages %1-%2 in a document of %3 pages")
                           .arg(options.firstPage)
                           .arg(options.lastPage)
                           .arg(doc.pageCount);
        return result;
    }
    PdfDocument pdf(pdfDocumentOptions(QFileInfo(fileName).completeBaseName()));
    if (!pdf.open(fileName.toStdString())) {
        result.error = QString::fromStdString(pdf.error());
        return result;
    }
    const PdfPageGeometry sheet = pdfPageGeometry(sheetLayout);
    const int total = to - from + 1;
    // Pages are located here, in order, and drawn on the writer's threads; nothing changes the
    // document until the job is over.
    const DocumentRecord& layout = doc;
    pdf.prepareFonts(doc.fonts, 8);
    PageLocator locator;
    for (int page = from; page <= to; ++page) {
        const PageStart start = locator.locate(doc, page);
        if (!pdf.addPage(sheet, [&layout, page, start](DeviceContext& dc) {
                drawSheet(layout, dc, page, start, true);
            }))
            break;
        ++result.pages;
        if (options.progress && !options.progress(result.pages, total)) {
            pdf.abort();
            result.error = QStringLiteral("stopped");
            return result;
        }
    }
    for (const std::string& w : pdf.warnings()) result.warnings << QString::fromStdString(w);
    if (!pdf.finish()) {
        result.error = QString::fromStdString(pdf.error());
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace folvek
