// A report from anywhere: loaded as Windows and as DOS text, paginated under settings the
// first four bytes choose, and every page (up to a cap) drawn on a recording surface.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "page_renderer.h"
#include "render/recording_device.h"

using namespace folvek;

namespace {

constexpr std::int32_t kMaxPagesDrawn = 200;

// Margins a hand-edited settings file can hold, sensible and absurd.
constexpr long double kMargins[] = {0,   25,   100, 393.7, 1000,   5000,
                                    -50, -1e6, 1e9, 1e300, -1e300, 0.5};
constexpr std::int32_t kHeights[] = {100, 10, 1, 0, -100, 250, 1000, 2147483647, -2147483647 - 1,
                                     55};

void drawEveryPage(DocumentRecord& pg) {
    test::RecordingDevice dc;
    PageLocator locator;
    const std::int32_t pages = std::min(pg.pageCount, kMaxPagesDrawn);
    for (std::int32_t p = 1; p <= pages; ++p) {
        dc.clear();
        FUZZ_CHECK(drawPage(pg, dc, p, (p & 1) != 0, locator) == 1);
        FUZZ_CHECK(dc.depth == 0);
    }
    if (pg.pageCount > pages) drawPage(pg, dc, pg.pageCount, false, locator);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Bytes in(data, size);
    const std::uint8_t flags = in.byte();
    const std::uint8_t margins = in.byte();
    const std::uint8_t height = in.byte();
    const std::uint8_t device = in.byte();
    const std::string text = in.rest();
    const std::string path = fuzz::writeInput("report.prn", text.data(), text.size());

    test::TestRecord tp;
    tp.printer.widthMm = 50 + (device & 15) * 20;
    tp.printer.heightMm = 50 + (device >> 4) * 20;
    tp.printer.charWidth = (flags & 0x80) ? 0 : 10;  // a font without width
    DocumentRecord& pg = *tp;
    pg.isWrap = flags & 1;
    pg.IsNumPage = (flags >> 1) & 1;
    pg.TopMargin = kMargins[(margins & 15) % std::size(kMargins)];
    pg.BottomMargin = kMargins[((margins >> 4) & 7) % std::size(kMargins)];
    pg.LeftMargin = kMargins[((flags >> 3) & 15) % std::size(kMargins)];
    pg.HeightString = kHeights[height % std::size(kHeights)];
    pg.PenWidth = (margins & 0x80) ? 2 : 0;
    pg.IsTopPicture = pg.IsBotPicture = 0;

    // Detection, then every encoding fixed: UTF-8 and KOI8-R decoding, printer codes and
    // overstrike all run on the same bytes.
    for (int round = 0; round < 6; ++round) {
        pg.setIsDos(round & 1);
        pg.encodingOverride.reset();
        if (round >= 2) pg.encodingOverride = static_cast<EncodingChoice>(round - 1);
        pg.freeText();
        FUZZ_CHECK(pg.loadText(path) == 1);
        for (std::size_t i = 0; i < pg.lines.size(); ++i)
            FUZZ_CHECK(std::char_traits<char>::length(pg.lines.textAt(i)) <= 1023);
        pg.paginate();
        FUZZ_CHECK(pg.pageCount >= 1);
        drawEveryPage(pg);
    }
    // Appending to a store that is not empty converts and scans after reading.
    if ((flags & 4) && size < 2048) {
        FUZZ_CHECK(pg.loadText(path) == 1);
        pg.paginate();
        drawEveryPage(pg);
    }
    return 0;
}
