// Fonts and pages: the eight style fonts, the printable area, the line pitch, the character
// grid, the pictures' room and the page count. The page walk here and the renderer's page
// locator follow the same rules; a page start found by one must be found by the other.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "document_record.h"
#include "messages.h"
#include "string_table.h"
#include "style_tags.h"

namespace folvek {

namespace {

constexpr long double kMmToTenths = 0.39370078740157477L;

void showError(MessageSink* sink, const std::string& text, const char* caption) {
    if (sink) sink->show(text, caption, MsgIcon::Error);
}

}  // namespace

void DocumentRecord::createFonts() {
    if (curFont) deleteFonts();
    const std::int32_t baseWeight = logFont.weight;
    const std::uint8_t baseItalic = logFont.italic;
    const std::uint8_t baseUnderline = logFont.underline;
    for (int i = 0; i < 8; ++i) {
        fonts[i] = logFont;
        fonts[i].weight = (i & kBold) ? 700 : 400;
        fonts[i].italic = (i & kItalic) ? 1 : 0;
        fonts[i].underline = (i & kUnderline) ? 1 : 0;
    }
    logFont.weight = baseWeight;
    logFont.italic = baseItalic;
    logFont.underline = baseUnderline;
    const int index = (baseWeight != 400 ? 1 : 0) + (baseItalic ? 2 : 0) + (baseUnderline ? 4 : 0);
    curFont = &fonts[index];
}

void DocumentRecord::deleteFonts() {
    if (!curFont) return;
    for (LogFont& f : fonts) f = LogFont{};
    curFont = nullptr;
}

// A .prn file's pitch commands (condensed, elite, 15 cpi) narrow the font until the page holds
// as many columns as the printer would put on it; the font keeps its shape, so it gets smaller.
// A line-spacing command (8 lines per inch) sets the line pitch where it is closer than the
// font's own. Both only ever make room, never take it.
void DocumentRecord::fitPrinterPitch(LayoutDevice& dc) {
    if (printerLayout.cpi > 0) {
        const double want = 100.0 / printerLayout.cpi;
        if (charWidth > want) {
            const double k = want / charWidth;
            for (LogFont& f : fonts) f.height = static_cast<std::int32_t>(std::trunc(f.height * k));
            dc.selectFont(*curFont);
            const double w = dc.textExtent("1234567890", 10).cx * 0.1;
            if (w > 0) charWidth = w;
        }
    }
    if (printerLayout.lpi > 0) {
        // Compared before it is made a whole number: a height string far out of range gives a
        // pitch no int can hold.
        const double pitch = 100.0 / printerLayout.lpi * HeightString / 100;
        if (pitch >= 1 && pitch < lineHeight) lineHeight = static_cast<std::int32_t>(pitch);
    }
}

std::int32_t DocumentRecord::wrapExtra(std::int32_t n) const {
    if (charsPerLine <= 0 || n <= charsPerLine) return 0;
    return (n + charsPerLine - 1) / charsPerLine - 1;
}

std::int32_t DocumentRecord::pictureRows(std::int32_t h) const {
    const long double pitch = std::max<std::int32_t>(lineHeight, 1) * 0.1L;
    return static_cast<std::int32_t>(h * 0.1L / pitch + 0.5L);
}

std::int32_t DocumentRecord::capacity(std::int32_t p) const {
    std::int64_t rows = linesPerPage;
    if (InAll1 || p == 1) rows -= pictureRows(topPicture.height);
    if (InAll2) rows -= pictureRows(asBackground ? 0 : botPicture.height);
    // A page always holds at least one row: with none, text would never be drawn and every
    // line would open a page of its own.
    return static_cast<std::int32_t>(std::max<std::int64_t>(rows, 1));
}

namespace {

std::uint64_t nextLayoutGeneration() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

}  // namespace

void DocumentRecord::usePicture(BmpOut& pic, PictureSource& source, const std::string& file,
                                std::int32_t compress) {
    if (file.empty()) {
        pic.release();
        source = PictureSource{};
        return;
    }
    const PictureSource now = PictureSource::of(bitmapFileName(file));
    if (!(now == source)) {
        pic.release();
        source = now;
        if (!pic.loadFile(file, context.messages)) pic.release();
    }
    if (!pic.loaded) return;
    pic.percent = compress <= 0 ? 100 : compress;
    pic.width =
        static_cast<std::int32_t>(static_cast<std::int64_t>(pic.imageWidth) * pic.percent / 100);
    pic.height =
        static_cast<std::int32_t>(static_cast<std::int64_t>(pic.imageHeight) * pic.percent / 100);
}

void DocumentRecord::measurePage(LayoutDevice& dc) {
    pageHeight = static_cast<std::int32_t>(dc.deviceCaps(DeviceCap::VertSizeMm) * kMmToTenths);
    pageWidth = static_cast<std::int32_t>(dc.deviceCaps(DeviceCap::HorzSizeMm) * kMmToTenths);

    dc.selectFont(*curFont);
    charWidth = dc.textExtent("1234567890", 10).cx * 0.1;
    const TextMetrics tm = dc.textMetrics();
    // A zero-width font or a zero line pitch would divide by zero below: fall back to the
    // font's average width, and keep the pitch at one unit at least.
    if (!(charWidth > 0)) charWidth = tm.aveCharWidth > 0 ? tm.aveCharWidth : 1;
    lineHeight =
        static_cast<std::int32_t>(static_cast<std::int64_t>(tm.height) * HeightString / 100);
    fitPrinterPitch(dc);
    if (lineHeight < 1) lineHeight = 1;
}

std::int32_t DocumentRecord::columnsFor(double width) const {
    const long double columns = (pageWidth * 10.0L - LeftMargin) / width - 2;
    // A left margin wider than the page leaves one column: wrapping then still terminates and
    // shows every character, one column per sheet.
    return columns < 1 ? 1 : static_cast<std::int32_t>(std::min<long double>(columns, INT32_MAX));
}

// The page count, and what of the text the pages cannot show. Without wrapping a line is cut
// where its columns pass the printable width. With wrapping every line of a logical page gets
// as many sheets as the page's widest line needs, except the line that fills the page: its
// width counts toward the next page, so its columns past the page's last sheet are lost.
std::int64_t DocumentRecord::walkPages(std::int32_t b) {
    const auto onSheet = static_cast<std::int64_t>(
        std::max<long double>((pageWidth * 10.0L - LeftMargin) / charWidth, 0));
    linesCut = 0;
    widestLine = 0;
    sheetColumns = isWrap ? charsPerLine
                          : static_cast<std::int32_t>(std::min<std::int64_t>(onSheet, INT32_MAX));
    // The walk counts in 64 bits and saturates, so absurd settings cannot overflow the count.
    std::int64_t count = 1;
    std::int32_t onPage = 0;
    std::int64_t lastPage = -1;
    std::int32_t widest = 0;
    std::int32_t cap = 0;
    auto nextPage = [&] {
        onPage = 0;
        count += 1 + wrapExtra(widest);
        widest = 0;
    };
    for (const char* line = lineAt(0); line; line = nextLine()) {
        const std::int32_t length = fastVisibleLength(line);
        const std::int32_t shown = line[0] == '\f' ? 0 : length;  // a form-feed line is not drawn
        widestLine = std::max(widestLine, shown);
        if (count != lastPage) {
            cap = capacity(static_cast<std::int32_t>(std::min<std::int64_t>(count, INT32_MAX)));
            lastPage = count;
        }
        if (line[0] == '\f')
            nextPage();
        else
            ++onPage;
        if (!isWrap && shown > onSheet) ++linesCut;
        if (onPage >= cap) {
            if (isWrap && shown > (1 + std::int64_t{wrapExtra(widest)}) * charsPerLine) ++linesCut;
            nextPage();
        }
        if (isWrap) widest = std::max(widest, length);
    }
    count += wrapExtra(widest);
    if (IsBotPicture && !BottFile.empty() && !InAll2) {
        const auto rows = static_cast<std::int64_t>(b * 0.1L / (lineHeight * 0.1L) + 1);
        if (rows + onPage >
            capacity(static_cast<std::int32_t>(std::min<std::int64_t>(count, INT32_MAX))))
            ++count;
    }
    return count;
}

int DocumentRecord::paginate() {
    // A hand-edited file may hold any real number; past a thousand inches a margin means nothing
    // on paper, and bounding it keeps every page coordinate within int range.
    constexpr long double kMarginLimit = 100000;
    for (long double* m : {&TopMargin, &BottomMargin, &LeftMargin})
        *m = std::isfinite(*m) ? std::clamp(*m, -kMarginLimit, kMarginLimit) : 0;

    curPage = 1;
    layoutGeneration = nextLayoutGeneration();
    undoFitOrientation();
    fitFontHeight = 0;
    createFonts();

    std::unique_ptr<LayoutDevice> dc = printerDC();
    if (!dc) {
        showError(context.messages, loadString(StrNoPrinterContext), "!!!");
        if (context.screenDevice) dc = context.screenDevice();
        if (!dc) return 0;
    }
    dc->saveState();
    dc->setLoEnglish();

    measurePage(*dc);
    if (FitWidth) fitToWidth(dc);

    usePicture(topPicture, topSource, IsTopPicture ? TopFile : std::string(), Compress1);
    usePicture(botPicture, botSource, IsBotPicture ? BottFile : std::string(), Compress2);

    const std::int32_t t = topPicture.height;
    const std::int32_t b = asBackground ? 0 : botPicture.height;
    long double p = IsNumPage ? 2.0L * lineHeight : 0;
    const long double usable =
        pageHeight - TopMargin * 0.1L - BottomMargin * 0.1L - t * 0.1L - b * 0.1L - p * 0.1L;
    if (usable < 0) {
        IsBotPicture = 0;
        IsTopPicture = 0;
        IsNumPage = 0;
        TopMargin = 0;
        BottomMargin = 0;
        showError(context.messages, loadString(StrMarginsTooLarge), "Error");
        char diag[96];
        std::snprintf(diag, sizeof diag, "hPage=%d HF=%d WF=%d", pageHeight, lineHeight,
                      static_cast<int>(charWidth));
        showError(context.messages, diag, "");
        p = 0;
    }

    linesPerPage = static_cast<std::int32_t>(
        (pageHeight - TopMargin * 0.1L - BottomMargin * 0.1L - p * 0.1L) / (lineHeight * 0.1L) - 1);
    charsPerLine = columnsFor(charWidth);

    const std::int64_t count = walkPages(b);
    pageCount = static_cast<std::int32_t>(std::clamp<std::int64_t>(count, 1, INT32_MAX));
    // A job that lays itself out prints one sheet for each page of its own.
    if (jobLayout) pageCount = std::max<std::int32_t>(1, jobLayout->pageCount());

    dc->restoreState(-1);
    return 1;
}

}  // namespace folvek
