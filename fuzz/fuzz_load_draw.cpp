// A report from anywhere: loaded as Windows and as DOS text, paginated under settings the
// first four bytes choose (as the corpus tests do), and every page (up to a cap) drawn on a
// recording surface.
#include <cstdint>
#include <string>

#include "document/corpus_settings.h"
#include "fuzz_support.h"
#include "page_renderer.h"
#include "render/recording_device.h"

using namespace folvek;

namespace {

constexpr std::int32_t kMaxPagesDrawn = 200;

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
    std::string text(reinterpret_cast<const char*>(data), size);
    test::TestRecord tp;
    test::applyCorpusSettings(tp, text);
    const std::uint8_t flags = size ? data[0] : 0;
    const std::string path = fuzz::writeInput("report.prn", text.data(), text.size());
    DocumentRecord& pg = *tp;
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
