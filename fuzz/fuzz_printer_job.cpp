// Printer jobs of any bytes: the detected language and each Epson dialect read them without
// crashing, within the page and memory bounds, into well-formed pages.
#include <cstdint>
#include <string_view>

#include "fuzz_support.h"
#include "job_interpreter.h"

using namespace folvek::printer;

namespace {

void checkDocument(const JobDocument& doc, const JobOptions& o) {
    FUZZ_CHECK(doc.pages.size() <= static_cast<std::size_t>(o.maxPages));
    for (const JobPage& p : doc.pages) {
        FUZZ_CHECK(p.width > 0 && p.height > 0);
        std::int64_t dots = 0;
        for (const JobRaster& r : p.rasters) {
            FUZZ_CHECK(r.width > 0 && r.height > 0 && r.dpiX > 0 && r.dpiY > 0);
            FUZZ_CHECK(r.rowBytes >= (r.width + 7) / 8);
            FUZZ_CHECK(r.bits.size() == static_cast<std::size_t>(r.rowBytes) * r.height);
            dots += std::int64_t{r.rowBytes} * 8 * r.height;
        }
        FUZZ_CHECK(dots <= o.maxRasterDotsPerPage);
        for (const JobTextRun& r : p.runs) FUZZ_CHECK(!r.text.empty() && r.cellHeight > 0);
        for (const JobRule& r : p.rules) FUZZ_CHECK(r.width > 0 && r.height > 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view job(reinterpret_cast<const char*>(data), size);
    JobOptions o;
    o.maxPages = 300;
    o.maxRasterDotsPerPage = std::int64_t{200} * 1000 * 1000;
    checkDocument(interpretJob(job, o), o);
    for (JobLanguage d : {JobLanguage::EscP, JobLanguage::EscP2, JobLanguage::Proprinter})
        checkDocument(interpretEscP(job, o, d), o);
    return 0;
}
