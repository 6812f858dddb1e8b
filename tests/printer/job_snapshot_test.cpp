// Every job of the fuzz corpus read in full, compared with the account recorded for it: the
// language, what was seen, the warnings and every run, picture and rule of every page, read as
// detected, in each Epson dialect and under other start-up settings. The corpus reaches nearly
// every branch of the readers, so a change of any reading shows up here.
#include <gtest/gtest.h>

#include <sstream>

#include "job_interpreter.h"
#include "printable_job.h"
#include "printed_job.h"
#include "snapshot_support.h"

using namespace folvek::printer;
namespace fs = std::filesystem;

namespace {

void describe(std::ostringstream& out, const JobDocument& doc) {
    const char* name = languageName(doc.language);
    out << "language " << (*name ? name : "none")
        << "; seen:" << (doc.features.positions ? " positions" : "")
        << (doc.features.graphics ? " graphics" : "") << (doc.features.formLength ? " form" : "")
        << (doc.features.widthsMixed ? " mixed" : "") << "\n";
    std::string reason;
    out << "lays itself out " << laysItselfOut(doc.features, reason) << " (" << reason << ")\n";
    for (const std::string& w : doc.warnings) out << "warning " << w << "\n";
    int n = 0;
    for (const JobPage& p : doc.pages) {
        out << "page " << ++n << " " << p.width << "x" << p.height << "\n";
        for (const JobTextRun& r : p.runs) {
            out << " run " << r.x << "," << r.y << " adv " << r.advance << " h " << r.cellHeight
                << " style " << r.style << " |";
            for (char32_t c : r.text) {
                if (c >= 0x20 && c < 0x7f && c != '\\')
                    out << static_cast<char>(c);
                else
                    out << "\\u" << std::hex << static_cast<std::uint32_t>(c) << std::dec << ";";
            }
            out << "|\n";
        }
        for (const JobRaster& r : p.rasters)
            out << " raster " << r.x << "," << r.y << " " << r.width << "x" << r.height << " at "
                << r.dpiX << "x" << r.dpiY << " row " << r.rowBytes << " bits "
                << folvek::test::snapshotHash(std::string_view(
                       reinterpret_cast<const char*>(r.bits.data()), r.bits.size()))
                << "\n";
        for (const JobRule& r : p.rules)
            out << " rule " << r.x << "," << r.y << " " << r.width << "x" << r.height << "\n";
    }
}

std::string account(const fs::path& input) {
    const std::string job = folvek::test::snapshotRead(input);
    std::ostringstream out;
    const auto* bytes = reinterpret_cast<const unsigned char*>(job.data());
    const folvek::PrintableVerdict v = folvek::judgePrintJob(bytes, job.size());
    const char* signature = folvek::printerLanguageSignature(bytes, job.size());
    const char* other = folvek::nonJobFormat(bytes, job.size());
    out << "verdict " << static_cast<int>(v.kind) << " " << v.what << "; signature "
        << (signature ? signature : "none") << "; other " << (other ? other : "none") << "\n";

    JobOptions o;
    // Bounds well above any corpus job's real pages, below what garbage read as pictures makes.
    o.maxPages = 60;
    o.maxRasterDotsPerPage = std::int64_t{8} * 1000 * 1000;
    out << "== detected\n";
    describe(out, interpretJob(job, o));
    for (JobLanguage d : {JobLanguage::EscP, JobLanguage::EscP2, JobLanguage::Proprinter}) {
        out << "== read as " << languageName(d) << "\n";
        describe(out, interpretEscP(job, o, d));
    }
    // A Windows code page, a short form, a fixed carriage and tight bounds.
    JobOptions tight;
    tight.charTable = CharTable::Win1251;
    tight.pageLength = 3 * kUnitsPerInch;
    tight.carriageWidth = 5 * kUnitsPerInch;
    tight.maxPages = 3;
    tight.maxRasterDotsPerPage = 20000;
    out << "== detected, tight\n";
    describe(out, interpretJob(job, tight));
    out << "== read as PCL, tight\n";
    describe(out, interpretPcl(job, tight));
    out << "== read as PCL XL, tight\n";
    describe(out, interpretPclXl(job, tight));
    return out.str();
}

}  // namespace

TEST(JobSnapshots, EveryCorpusJobReadsAsRecorded) {
    folvek::test::checkSnapshots(
        "printer-jobs", folvek::test::snapshotInputs("fuzz/corpus/fuzz_printer_job"), account);
}
