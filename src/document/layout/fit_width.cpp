// Fitting the report to the sheet: with FitWidth on, the settings' own font is made as large as
// it can be while the widest line still fits the printable width. Where portrait would make it
// smaller than a readable size, a portrait printer is turned to landscape first. The grid,
// page walk and renderer then work as always, on the smaller font.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "document_record.h"
#include "printer_settings.h"
#include "style_tags.h"

namespace folvek {

namespace {

// Six points in the layout's logical units of a hundredth of an inch: smaller text is hard to
// read on paper, so landscape is tried before it.
bool readable(std::int32_t height) {
    return std::int64_t{height} * 72 >= 600;
}

}  // namespace

std::int32_t DocumentRecord::widestVisibleLine() {
    std::int32_t widest = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const char* line = lines.textAt(i);
        if (line[0] != '\f') widest = std::max(widest, fastVisibleLength(line));
    }
    return widest;
}

bool DocumentRecord::fitFontToWidth(LayoutDevice& dc, std::int32_t widest) {
    fitFontHeight = 0;
    if (widest <= 0 || columnsFor(charWidth) >= widest) return true;
    // A height of 0 lets the device choose: the fit starts from the cell height it chose.
    const int sign = curFont->height > 0 ? 1 : -1;
    std::int32_t base = std::abs(curFont->height);
    if (base == 0) base = std::max(dc.textMetrics().height, 1);
    const auto widthAt = [&](std::int32_t h) {
        for (LogFont& f : fonts) f.height = sign * h;
        dc.selectFont(*curFont);
        const double w = dc.textExtent("1234567890", 10).cx * 0.1;
        return w > 0 ? w : std::max<double>(dc.textMetrics().aveCharWidth, 1);
    };
    // Glyph widths do not scale exactly with the height: start from the proportional guess,
    // then step to the largest height that fits.
    const long double room = (pageWidth * 10.0L - LeftMargin) / (widest + 2.0L);
    auto h = static_cast<std::int32_t>(
        std::clamp<long double>(base * room / charWidth, 1, std::max(base - 1, 1)));
    while (h > 1 && columnsFor(widthAt(h)) < widest) --h;
    while (h + 1 < base && columnsFor(widthAt(h + 1)) >= widest) ++h;
    charWidth = widthAt(h);
    const TextMetrics tm = dc.textMetrics();
    const auto pitch =
        static_cast<std::int32_t>(static_cast<std::int64_t>(tm.height) * HeightString / 100);
    // The pitch follows the font down; a closer pitch set by the printer codes stays.
    lineHeight = std::max(std::min(lineHeight, pitch), 1);
    fitFontHeight = h;
    return readable(h);
}

void DocumentRecord::fitToWidth(std::unique_ptr<LayoutDevice>& dc) {
    const std::int32_t widest = widestVisibleLine();
    if (fitFontToWidth(*dc, widest)) return;
    PrinterSettings* printer = context.printer;
    // An orientation given on the command line is kept, and so is a landscape sheet.
    if (!printer || context.orientationForced || printer->landscape() ||
        !printer->hasDeviceMode() || !printer->orientationSupported())
        return;
    printer->setLandscape(true);
    std::unique_ptr<LayoutDevice> turned = printerDC();
    if (!turned) {
        printer->setLandscape(false);
        return;
    }
    dc->restoreState(-1);
    dc = std::move(turned);
    dc->saveState();
    dc->setLoEnglish();
    fitLandscape = true;
    createFonts();
    measurePage(*dc);
    fitFontToWidth(*dc, widest);
}

void DocumentRecord::undoFitOrientation() {
    if (!fitLandscape) return;
    fitLandscape = false;
    // The user's own landscape (chosen since) stays.
    if (Orient == 0 && context.printer) context.printer->setLandscape(false);
}

}  // namespace folvek
