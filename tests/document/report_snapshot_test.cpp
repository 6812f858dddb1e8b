// Every report of the fuzz corpus, the samples and the frames fixtures loaded and laid out,
// compared with the account recorded for it: the encoding found, every line's text, style and
// frame codes, what the printer codes set, and the page layout, in each encoding and under the
// settings the corpus input's first bytes choose. The corpus reaches nearly every branch of
// loading and layout, so a change of either shows up here.
#include <gtest/gtest.h>

#include <sstream>

#include "layout_fakes.h"
#include "snapshot_support.h"
#include "test_support.h"

using namespace folvek;
namespace fs = std::filesystem;

namespace {

constexpr long double kMargins[] = {0,   25,   100, 393.7, 1000,   5000,
                                    -50, -1e6, 1e9, 1e300, -1e300, 0.5};
constexpr std::int32_t kHeights[] = {100, 10, 1, 0, -100, 250, 1000, 2147483647, -2147483647 - 1,
                                     55};

void describeLoad(std::ostringstream& out, DocumentRecord& pg) {
    out << "encoding " << static_cast<int>(pg.textEncoding) << " utf16 "
        << static_cast<int>(pg.utf16) << " detected " << pg.encodingDetected << " dos " << pg.IsDos
        << " unmappable " << pg.unmappableChars << " lines " << pg.lines.size() << " part "
        << pg.shownInPart << " widest " << pg.maxLineLength << " double bars "
        << pg.lines.doubleBarsImplied() << "\n";
    const PrinterLayout& l = pg.printerLayout;
    out << "printer cpi " << l.cpi << " lpi " << l.lpi << " page " << l.pageLines << "/"
        << l.pageInches << " orient " << l.orientation << " pitch changed " << l.pitchChanged
        << " job " << l.jobCommands << "\n";
    std::string text;
    for (std::size_t i = 0; i < pg.lines.size(); ++i) {
        const char* t = pg.lines.textAt(i);
        const std::size_t n = std::char_traits<char>::length(t);
        text.assign(t, n);
        out << i << " s" << pg.lines.styleAt(i);
        if (pg.lines.hasBoxCodes(i)) {
            std::string codes(n, '\0');
            pg.lines.boxCodes(i, 0, reinterpret_cast<std::uint8_t*>(codes.data()), n);
            out << " box " << test::snapshotHash(codes);
        }
        // Short lines as they are, long ones by fingerprint: the corpus has lines of 1023 bytes.
        if (n <= 80)
            out << " |" << text << "|\n";
        else
            out << " " << n << " bytes " << test::snapshotHash(text) << "\n";
    }
}

void describeLayout(std::ostringstream& out, DocumentRecord& pg) {
    out << "pages " << pg.pageCount << " sheet " << pg.pageWidth << "x" << pg.pageHeight << " line "
        << pg.lineHeight << " char " << pg.charWidth << " grid " << pg.charsPerLine << "x"
        << pg.linesPerPage << " cut " << pg.linesCut << " widest " << pg.widestLine << " columns "
        << pg.sheetColumns << " fit " << pg.fitFontHeight << "/" << pg.fitLandscape << "\n";
    for (const LogFont& f : pg.fonts)
        out << " font " << f.height << " " << f.width << " " << f.weight << " " << int(f.italic)
            << int(f.underline) << "\n";
    const std::int32_t last = std::min(pg.pageCount, 5);
    for (std::int32_t p = 1; p <= last; ++p)
        out << " page " << p << " rows " << pg.capacity(p) << "\n";
}

std::string account(const fs::path& input, bool headerChoosesSettings) {
    std::string bytes = test::snapshotRead(input);
    std::uint8_t h[4] = {0, 0, 0, 0};
    if (headerChoosesSettings) {
        for (int i = 0; i < 4 && !bytes.empty(); ++i) {
            h[i] = static_cast<std::uint8_t>(bytes[0]);
            bytes.erase(0, 1);
        }
    }
    const std::uint8_t flags = h[0], margins = h[1], height = h[2], device = h[3];
    coretest::ScratchDir dir;
    const std::string path = dir.file("report.prn", bytes);

    test::TestRecord tp;
    tp.printer.widthMm = 50 + (device & 15) * 20;
    tp.printer.heightMm = 50 + (device >> 4) * 20;
    tp.printer.charWidth = (flags & 0x80) ? 0 : 10;
    DocumentRecord& pg = *tp;
    pg.isWrap = flags & 1;
    pg.IsNumPage = (flags >> 1) & 1;
    pg.TopMargin = kMargins[(margins & 15) % std::size(kMargins)];
    pg.BottomMargin = kMargins[((margins >> 4) & 7) % std::size(kMargins)];
    pg.LeftMargin = kMargins[((flags >> 3) & 15) % std::size(kMargins)];
    pg.HeightString = kHeights[height % std::size(kHeights)];
    pg.PenWidth = (margins & 0x80) ? 2 : 0;
    pg.FitWidth = (device & 8) ? 1 : 0;

    std::ostringstream out;
    for (int round = 0; round < 6; ++round) {
        out << "== round " << round << "\n";
        pg.setIsDos(round & 1);
        pg.encodingOverride.reset();
        if (round >= 2) pg.encodingOverride = static_cast<EncodingChoice>(round - 1);
        pg.freeText();
        out << "load " << pg.loadText(path) << "\n";
        describeLoad(out, pg);
        pg.paginate();
        describeLayout(out, pg);
    }
    for (auto m : tp.messages.shown) {
        for (std::size_t at; (at = m.text.find(dir.path())) != std::string::npos;)
            m.text.replace(at, dir.path().size(), "DIR");
        out << "message " << m.caption << ": " << m.text << "\n";
    }
    return out.str();
}

}  // namespace

TEST(ReportSnapshots, EveryCorpusReportLoadsAndLaysOutAsRecorded) {
    test::checkSnapshots("reports", test::snapshotInputs("fuzz/corpus/fuzz_load_draw"),
                         [](const fs::path& p) { return account(p, true); });
}

TEST(ReportSnapshots, TheSamplesAndFramesFixturesLoadAndLayOutAsRecorded) {
    std::vector<fs::path> inputs = test::snapshotInputs("samples");
    for (const fs::path& p : test::snapshotInputs("tests/data/frames"))
        if (p.extension() == ".txt") inputs.push_back(p);
    std::erase_if(inputs, [](const fs::path& p) {
        return p.extension() == ".ini" || p.extension() == ".md";
    });
    test::checkSnapshots("sample-reports", inputs,
                         [](const fs::path& p) { return account(p, false); });
}
