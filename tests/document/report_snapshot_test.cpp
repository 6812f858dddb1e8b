// Every report of the fuzz corpus, the samples and the frames fixtures loaded and laid out,
// compared with the account recorded for it: the encoding found, every line's text, style and
// frame codes, what the printer codes set, and the page layout, in each encoding and under the
// settings the corpus input's first bytes choose. The corpus reaches nearly every branch of
// loading and layout, so a change of either shows up here.
#include <gtest/gtest.h>

#include <sstream>

#include "corpus_settings.h"
#include "layout_fakes.h"
#include "snapshot_support.h"
#include "test_support.h"

using namespace folvek;
namespace fs = std::filesystem;

namespace {

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
    test::TestRecord tp;
    test::applyCorpusSettings(tp, bytes, headerChoosesSettings);
    DocumentRecord& pg = *tp;
    coretest::ScratchDir dir;
    const std::string path = dir.file("report.prn", bytes);

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
