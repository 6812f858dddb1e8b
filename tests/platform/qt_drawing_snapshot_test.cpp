// A share of the reports and printer jobs of the fuzz corpora drawn through the QPainter device
// context, each page recorded as a QPicture and compared with the fingerprint of the recording
// kept for it: every line, fill, picture, font and text the context handed Qt. The measures of
// text come from the fonts the set-up installs (Liberation, for "Courier New"): other fonts
// give other recordings.
#include <gtest/gtest.h>

#include <QPainter>
#include <QPicture>
#include <fstream>
#include <sstream>

#include "document/layout_fakes.h"
#include "page_renderer.h"
#include "printed_job.h"
#include "qt_device_context.h"
#include "snapshot_support.h"

namespace fs = std::filesystem;

namespace folvek {
namespace {

constexpr std::int32_t kPagesDrawn = 3;

std::string drawnPages(DocumentRecord& pg) {
    std::ostringstream out;
    out << "pages " << pg.pageCount << "\n";
    const std::int32_t last = std::min(pg.pageCount, kPagesDrawn);
    for (std::int32_t page = 1; page <= last; ++page) {
        for (bool printing : {true, false}) {
            QPicture picture;
            QPainter p(&picture);
            int drawn = 0;
            {
                QtDeviceContext dc(&p, printing ? 300 : 96, printing ? 300 : 96, QSizeF(200, 287));
                drawn = drawPage(pg, dc, page, printing);
            }
            p.end();
            out << "page " << page << (printing ? " printed " : " shown ") << drawn << " "
                << picture.size() << " "
                << test::snapshotHash(std::string_view(picture.data(), picture.size())) << "\n";
        }
    }
    return out.str();
}

std::string reportAccount(const fs::path& input) {
    std::string bytes = test::snapshotRead(input);
    const std::uint8_t flags = bytes.empty() ? 0 : static_cast<std::uint8_t>(bytes[0]);
    bytes.erase(0, std::min<std::size_t>(4, bytes.size()));
    const fs::path path = fs::path(::testing::TempDir()) / "qt-snapshot-report.prn";
    std::ofstream(path, std::ios::binary) << bytes;
    std::ostringstream out;
    for (int dos = 0; dos < 2; ++dos) {
        test::TestRecord tp;
        DocumentRecord& pg = *tp;
        pg.isWrap = flags & 1;
        pg.IsNumPage = (flags >> 1) & 1;
        pg.PenWidth = (flags & 4) ? 2 : 0;
        pg.setIsDos(dos);
        pg.loadText(path.string());
        pg.paginate();
        out << "== dos " << dos << "\n" << drawnPages(pg);
    }
    fs::remove(path);
    return out.str();
}

std::string jobAccount(const fs::path& input) {
    printer::PrinterJobReader reader;
    test::TestRecord tp;
    DocumentRecord& pg = *tp;
    pg.jobReader = &reader;
    pg.loadText(input.string());
    pg.paginate();
    return drawnPages(pg);
}

std::vector<fs::path> everyNth(const char* corpus, std::size_t n) {
    std::vector<fs::path> inputs;
    const std::vector<fs::path> all = test::snapshotInputs(corpus);
    for (std::size_t i = 0; i < all.size(); i += n) inputs.push_back(all[i]);
    return inputs;
}

}  // namespace

TEST(QtDrawingSnapshots, AShareOfTheCorpusReportsDrawsAsRecorded) {
    test::checkSnapshots("qt-reports", everyNth("fuzz/corpus/fuzz_load_draw", 1), reportAccount);
}

TEST(QtDrawingSnapshots, AShareOfTheCorpusJobsDrawsAsRecorded) {
    test::checkSnapshots("qt-jobs", everyNth("fuzz/corpus/fuzz_printer_job", 3), jobAccount);
}

}  // namespace folvek
