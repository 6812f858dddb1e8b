// Page export: every file is written to a temporary file and renamed over the target when
// complete, so a failed or stopped job leaves no half-written file behind.
#include "export.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

#include "document_record.h"
#include "page_layout_printer.h"
#include "page_renderer.h"
#include "qt_device_context.h"

namespace folvek {

namespace {

bool beginJob(const DocumentRecord& doc, const ExportOptions& options, int* from, int* to,
              ExportResult* result) {
    if (!resolvePageRange(doc.pageCount, options.firstPage, options.lastPage, from, to)) {
        result->error = QStringLiteral("no pages %1-%2 in a document of %3 pages")
                            .arg(options.firstPage)
                            .arg(options.lastPage)
                            .arg(doc.pageCount);
        return false;
    }
    return true;
}

bool reportProgress(const ExportOptions& options, int done, int total, ExportResult* result) {
    if (!options.progress || options.progress(done, total)) return true;
    result->error = QStringLiteral("stopped");
    return false;
}

QString saveError(const QSaveFile& file) {
    return QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
}

// PNG and SVG: one file per page, each painted on a fresh device made by `paint`.
template <typename PaintPage>
ExportResult exportImages(DocumentRecord& doc, const QString& dir, const char* extension,
                          const ExportOptions& options, PaintPage paint) {
    ExportResult result;
    int from = 0, to = 0;
    if (!beginJob(doc, options, &from, &to, &result)) return result;
    if (!QDir().mkpath(dir)) {
        result.error = QStringLiteral("cannot create the directory %1").arg(dir);
        return result;
    }
    const int total = to - from + 1;
    for (int page = from; page <= to; ++page) {
        QSaveFile file(QDir(dir).filePath(pageFileName(page, doc.pageCount, extension)));
        if (!file.open(QIODevice::WriteOnly) || !paint(page, file) || !file.commit()) {
            result.error = saveError(file);
            return result;
        }
        ++result.pages;
        if (!reportProgress(options, result.pages, total, &result)) return result;
    }
    result.ok = true;
    return result;
}

int pixels(double mm, int dpi) {
    return std::max(1, int(std::lround(mm / 25.4 * dpi)));
}

}  // namespace

bool resolvePageRange(int pageCount, int first, int last, int* from, int* to) {
    if (pageCount < 1) return false;
    if (first < 1) first = 1;
    if (last <= 0 || last > pageCount) last = pageCount;
    if (first > last) return false;
    *from = first;
    *to = last;
    return true;
}

QString pageFileName(int page, int pageCount, const char* extension) {
    const int width = std::max(4, int(QString::number(pageCount).size()));
    return QStringLiteral("page-%1.%2")
        .arg(page, width, 10, QLatin1Char('0'))
        .arg(QLatin1String(extension));
}

ExportResult exportPdfQt(DocumentRecord& doc, const PageLayoutPrinter& printer,
                         const QString& fileName, const ExportOptions& options) {
    ExportResult result;
    int from = 0, to = 0;
    if (!beginJob(doc, options, &from, &to, &result)) return result;

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = saveError(file);
        return result;
    }
    QPdfWriter writer(&file);
    writer.setCreator(QStringLiteral("folvek-print"));
    writer.setTitle(QFileInfo(fileName).completeBaseName());
    writer.setResolution(options.pdfResolution);
    writer.setPageLayout(printer.pageLayout());

    QPainter painter;
    if (!painter.begin(&writer)) {
        result.error = QStringLiteral("cannot start the PDF %1").arg(fileName);
        return result;
    }
    // The painter's origin is the top-left corner of the printable area (inside the margins);
    // one context serves every page.
    const double res = writer.resolution();
    QtDeviceContext dc(&painter, res, res, printer.printableSizeMm());
    const int total = to - from + 1;
    PageLocator locator;
    for (int page = from; page <= to; ++page) {
        if (page > from) writer.newPage();
        drawPage(doc, dc, page, true, locator);
        ++result.pages;
        if (!reportProgress(options, result.pages, total, &result)) {
            painter.end();
            return result;  // the temporary file is discarded
        }
    }
    painter.end();
    if (!file.commit()) {
        result.error = saveError(file);
        return result;
    }
    result.ok = true;
    return result;
}

ExportResult exportPng(DocumentRecord& doc, const PageLayoutPrinter& printer, const QString& dir,
                       const ExportOptions& options) {
    const int dpi = options.dpi > 0 ? options.dpi : 150;
    const QSizeF paper = printer.paperSizeMm();
    const double margin = printer.hardwareMarginMm() / 25.4 * dpi;
    QImage image(pixels(paper.width(), dpi), pixels(paper.height(), dpi), QImage::Format_RGB32);
    if (image.isNull()) {
        ExportResult r;
        r.error = QStringLiteral("not enough memory for a page image at %1 dpi").arg(dpi);
        return r;
    }
    image.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
    PageLocator locator;
    return exportImages(doc, dir, "png", options, [&](int page, QSaveFile& file) {
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.translate(margin, margin);
            QtDeviceContext dc(&painter, dpi, dpi, printer.printableSizeMm());
            drawPage(doc, dc, page, true, locator);
        }
        return image.save(&file, "PNG");
    });
}

ExportResult exportSvg(DocumentRecord& doc, const PageLayoutPrinter& printer, const QString& dir,
                       const ExportOptions& options) {
    const int dpi = options.dpi > 0 ? options.dpi : 150;
    const QSizeF paper = printer.paperSizeMm();
    const QSize size(pixels(paper.width(), dpi), pixels(paper.height(), dpi));
    const double margin = printer.hardwareMarginMm() / 25.4 * dpi;
    PageLocator locator;
    return exportImages(doc, dir, "svg", options, [&](int page, QSaveFile& file) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setResolution(dpi);
        svg.setTitle(QStringLiteral("page %1").arg(page));
        QPainter painter;
        if (!painter.begin(&svg)) return false;
        painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
        painter.translate(margin, margin);
        QtDeviceContext dc(&painter, dpi, dpi, printer.printableSizeMm());
        drawPage(doc, dc, page, true, locator);
        return painter.end();
    });
}

}  // namespace folvek
