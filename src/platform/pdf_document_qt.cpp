// Font families and page geometry for the PDF writer.
#include "pdf_document_qt.h"

#include "qt_font_cache.h"

namespace folvek {

PdfDocumentOptions pdfDocumentOptions(const QString& title) {
    PdfDocumentOptions o;
    o.title = title.toStdString();
    o.fontFamily = [](const LogFont& font) {
        return FontCache::familyFor(font.faceName).toStdString();
    };
    return o;
}

PdfPageGeometry pdfPageGeometry(const QPageLayout& layout) {
    PdfPageGeometry g;
    // The sheet in whole points, as Qt's own PDF engine and print dialogs give it.
    const QRect paper = layout.fullRectPoints();
    const QRectF paint = layout.paintRect(QPageLayout::Millimeter);
    // The printable area's corner on the whole-pixel grid of the device's resolution, as Qt's
    // engine places it: both engines then put every glyph at the same place.
    const QRect paintPixels = layout.paintRectPixels(PdfDevice::kResolution);
    g.paperWidthMm = paper.width() * 25.4 / 72.0;
    g.paperHeightMm = paper.height() * 25.4 / 72.0;
    g.printableLeftMm = paintPixels.left() * 25.4 / PdfDevice::kResolution;
    g.printableTopMm = paintPixels.top() * 25.4 / PdfDevice::kResolution;
    g.printableWidthMm = paint.width();
    g.printableHeightMm = paint.height();
    return g;
}

}  // namespace folvek
