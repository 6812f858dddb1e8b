// A share of the reports and printer jobs of the fuzz corpora, and the samples, written as
// PDF, compared with the fingerprint of the file recorded for it. The files hold fonts, line
// art, pictures and every kind of text the corpora reach, so a change in what any of them
// writes shows up here. The fonts embedded are the system's Liberation fonts, which the set-up
// installs: another version of them gives other files.
#include <gtest/gtest.h>

#include <sstream>

#include "document/layout_fakes.h"
#include "page_renderer.h"
#include "pdf_test_support.h"
#include "printed_job.h"
#include "snapshot_support.h"

using namespace folvek;
namespace fs = std::filesystem;

namespace {

constexpr std::int32_t kPagesWritten = 6;

std::string pdfOf(DocumentRecord& pg, bool titled) {
    pdftest::ScratchDir dir;
    const std::string file = dir.path("s.pdf");
    PdfDocumentOptions options;
    if (titled) options.title = "Отчёт (1) \\ «итог»";
    options.workers = titled ? 0 : 1;
    PdfDocument pdf(options);
    if (!pdf.open(file)) return "open failed: " + pdf.error() + "\n";
    PdfPageGeometry geometry;
    geometry.printableLeftMm = 5;
    geometry.printableTopMm = 5;
    geometry.printableWidthMm = 200;
    geometry.printableHeightMm = 287;
    pdf.prepareFonts(pg.fonts, 8);
    const std::int32_t last = std::min(pg.pageCount, kPagesWritten);
    for (std::int32_t p = 1; p <= last; ++p) {
        DeviceContext& dc = pdf.beginPage(geometry);
        drawPage(pg, dc, p, true);
        pdf.endPage();
    }
    const bool ok = pdf.finish();
    std::ostringstream out;
    out << "pages " << pdf.pageCount() << " ok " << ok << " " << pdf.error() << "\n";
    for (const std::string& w : pdf.warnings()) out << "warning " << w << "\n";
    out << "file " << test::snapshotHash(pdftest::readFile(file)) << "\n";
    return out.str();
}

std::string reportAccount(const fs::path& input, bool header) {
    std::string bytes = test::snapshotRead(input);
    std::uint8_t flags = 0;
    if (header && bytes.size() >= 4) {
        flags = static_cast<std::uint8_t>(bytes[0]);
        bytes.erase(0, 4);
    }
    pdftest::ScratchDir dir;
    const std::string path = dir.path("report.prn");
    std::ofstream(path, std::ios::binary) << bytes;
    std::ostringstream out;
    for (int dos = 0; dos < 2; ++dos) {
        test::TestRecord tp;
        DocumentRecord& pg = *tp;
        pg.isWrap = flags & 1;
        pg.IsNumPage = (flags >> 1) & 1;
        pg.PenWidth = (flags & 4) ? 2 : 0;
        pg.logFont.setFaceName((flags & 8) ? "Liberation Sans" : "Liberation Mono");
        pg.setIsDos(dos);
        pg.loadText(path);
        pg.paginate();
        out << "== dos " << dos << "\n" << pdfOf(pg, dos == 0);
    }
    return out.str();
}

std::string jobAccount(const fs::path& input) {
    printer::PrinterJobReader reader;
    test::TestRecord tp;
    DocumentRecord& pg = *tp;
    pg.jobReader = &reader;
    pg.logFont.setFaceName("Liberation Mono");
    pg.loadText(input.string());
    pg.paginate();
    return pdfOf(pg, true);
}

}  // namespace

TEST(PdfSnapshots, EveryThirdCorpusReportWritesTheFileRecorded) {
    std::vector<fs::path> inputs;
    const std::vector<fs::path> all = test::snapshotInputs("fuzz/corpus/fuzz_load_draw");
    for (std::size_t i = 0; i < all.size(); i += 3) inputs.push_back(all[i]);
    test::checkSnapshots("pdf-reports", inputs,
                         [](const fs::path& p) { return reportAccount(p, true); });
}

TEST(PdfSnapshots, TheSamplesWriteTheFilesRecorded) {
    std::vector<fs::path> inputs = test::snapshotInputs("samples");
    std::erase_if(inputs, [](const fs::path& p) { return p.extension() == ".ini"; });
    test::checkSnapshots("pdf-samples", inputs,
                         [](const fs::path& p) { return reportAccount(p, false); });
}

TEST(PdfSnapshots, EveryTenthCorpusJobWritesTheFileRecorded) {
    std::vector<fs::path> inputs;
    const std::vector<fs::path> all = test::snapshotInputs("fuzz/corpus/fuzz_printer_job");
    for (std::size_t i = 0; i < all.size(); i += 10) inputs.push_back(all[i]);
    test::checkSnapshots("pdf-jobs", inputs, jobAccount);
}
