// Every report of the fuzz corpus and every job of the printer corpus drawn page by page,
// compared with the account recorded for it: each text, line, picture, fill and cell run the
// surface was given. The corpora reach nearly every branch of the drawing, so a change of any
// page shows up here.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "document/corpus_settings.h"
#include "job_interpreter.h"
#include "job_sheet.h"
#include "page_renderer.h"
#include "printed_job.h"
#include "recording_device.h"
#include "snapshot_support.h"

using namespace folvek;
namespace fs = std::filesystem;

namespace {

constexpr std::int32_t kPagesDrawn = 12;

std::string shown(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out;
}

void font(std::ostringstream& out, const LogFont& f) {
    out << " font " << f.height << "/" << f.width << "/" << f.weight << "/" << int(f.italic)
        << int(f.underline) << "/" << f.faceName;
}

void describe(std::ostringstream& out, const test::RecordingDevice& dc) {
    out << " depth " << dc.depth << " pen " << dc.pen << " zoom " << dc.zoom << " transparent "
        << dc.transparent << "\n";
    for (const auto& t : dc.texts) {
        out << " text " << t.rect.left << "," << t.rect.top << "," << t.rect.right << ","
            << t.rect.bottom;
        font(out, t.font);
        out << " |" << shown(t.text) << "|\n";
    }
    for (const auto& c : dc.cells) {
        out << " cells " << c.x << "," << c.y << " adv " << c.advance;
        font(out, c.font);
        out << " |" << shown(c.text) << "|\n";
    }
    for (const auto& s : dc.segments) out << " line " << s << "\n";
    for (const auto& i : dc.images)
        out << " image " << i.dx << "," << i.dy << " " << i.dw << "x" << i.dh << " of " << i.sw
            << "x" << i.sh << "\n";
    for (const auto& b : dc.bitmaps)
        out << " bitmap " << b.dx << "," << b.dy << " " << b.dw << "x" << b.dh << " of " << b.width
            << "x" << b.height << " ink " << b.ink << "\n";
    for (const auto& r : dc.rects)
        out << " fill " << r.left << "," << r.top << "," << r.right << "," << r.bottom << "\n";
}

void drawPages(std::ostringstream& out, DocumentRecord& pg) {
    out << "pages " << pg.pageCount << "\n";
    test::RecordingDevice dc;
    PageLocator locator;
    const std::int32_t last = std::min(pg.pageCount, kPagesDrawn);
    for (std::int32_t p = 1; p <= last; ++p) {
        for (bool printing : {true, false}) {
            dc.clear();
            out << "page " << p << (printing ? " printed" : " shown") << " -> "
                << drawPage(pg, dc, p, printing, locator) << "\n";
            describe(out, dc);
        }
    }
    if (pg.pageCount > last) {
        dc.clear();
        out << "last page -> " << drawPage(pg, dc, pg.pageCount, true, locator) << "\n";
        describe(out, dc);
    }
}

std::string reportAccount(const fs::path& input) {
    std::string bytes = test::snapshotRead(input);
    test::TestRecord tp;
    test::applyCorpusSettings(tp, bytes);
    DocumentRecord& pg = *tp;
    const fs::path path = fs::path(::testing::TempDir()) / "snapshot-report.prn";
    std::ofstream(path, std::ios::binary) << bytes;

    std::ostringstream out;
    for (int dos = 0; dos < 2; ++dos) {
        out << "== dos " << dos << "\n";
        pg.setIsDos(dos);
        pg.encodingOverride.reset();
        pg.freeText();
        pg.loadText(path.string());
        pg.paginate();
        drawPages(out, pg);
    }
    std::filesystem::remove(path);
    return out.str();
}

std::string jobAccount(const fs::path& input) {
    std::ostringstream out;
    printer::PrinterJobReader reader;
    for (LayoutMode mode : {LayoutMode::Auto, LayoutMode::Job}) {
        test::TestRecord tp;
        DocumentRecord& pg = *tp;
        pg.IsNumPage = 1;
        pg.jobReader = &reader;
        pg.layoutMode = mode;
        out << "== layout " << layoutModeName(mode) << "\n";
        pg.loadText(input.string());
        pg.paginate();
        out << "own pages " << pg.jobLaidOut() << "\n";
        if (const printer::JobDocument* job = jobDocumentOf(pg)) {
            for (const LogFont& f : jobFaces(*job, pg.logFont)) font(out, f);
            out << "\n";
        }
        drawPages(out, pg);
    }
    return out.str();
}

}  // namespace

TEST(PageSnapshots, EveryCorpusReportDrawsAsRecorded) {
    test::checkSnapshots("drawn-reports", test::snapshotInputs("fuzz/corpus/fuzz_load_draw"),
                         reportAccount);
}

TEST(PageSnapshots, EveryCorpusJobDrawsAsRecorded) {
    test::checkSnapshots("drawn-jobs", test::snapshotInputs("fuzz/corpus/fuzz_printer_job"),
                         jobAccount);
}
