// Reading a 100-page job written by Ghostscript's epson device (240 x 72 dpi, bit images and
// tabs) into pages, against the baseline of detecting its language alone (one pass over the
// same bytes) in the same run. Reports pages per second. Also a PCL job of shaded and
// cross-hatched fills, each as large as a page, which the reader draws dot by dot as the
// printer would.
//
// The job is generated once with gs (FOLVEK_BENCH_EPSON_JOB names another).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "job_interpreter.h"

namespace folvek::printer {
namespace {

// A hundred pages of a title, rules, boxes, a disc and a paragraph of small text.
const char* kPages = R"(%!PS
<< /PageSize [612 792] >> setpagedevice
1 1 100 {
  /n exch def
  /Helvetica-Bold findfont 24 scalefont setfont
  72 720 moveto (Monthly report, page ) show n 3 string cvs show
  3 setlinewidth 72 700 moveto 540 700 lineto stroke
  1 setlinewidth
  0 1 9 { /r exch def 72 640 r 40 mul sub 468 30 rectstroke } for
  450 200 40 0 360 arc fill
  /Times-Roman findfont 10 scalefont setfont
  0 1 9 { /r exch def 80 650 r 40 mul sub moveto
          (Item ) show r 1 add 2 string cvs show (  ............  1234.56) show } for
  showpage
} for
)";

std::string jobPath() {
    if (const char* env = std::getenv("FOLVEK_BENCH_EPSON_JOB")) return env;
    const std::string path = "/tmp/folvek-bench-epson-100.prn";
    if (std::ifstream(path).good()) return path;
    const std::string ps = "/tmp/folvek-bench-epson-100.ps";
    std::ofstream(ps) << kPages;
    const std::string cmd =
        "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=epson -sOutputFile=" + path + " " + ps;
    if (std::system(cmd.c_str()) != 0)
        std::fprintf(stderr, "could not generate %s\n", path.c_str());
    return path;
}

const std::string& job() {
    static const std::string bytes = [] {
        std::ifstream in(jobPath(), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }();
    return bytes;
}

void BM_DetectLanguageBaseline(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(detectLanguage(job()));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(job().size()));
}
BENCHMARK(BM_DetectLanguageBaseline)->Unit(benchmark::kMillisecond);

void BM_InterpretEpsonJob(benchmark::State& state) {
    std::size_t pages = 0, pictures = 0;
    for (auto _ : state) {
        const JobDocument doc = interpretJob(job());
        pages = doc.pages.size();
        pictures = 0;
        for (const JobPage& p : doc.pages) pictures += p.rasters.size();
        benchmark::DoNotOptimize(doc);
    }
    if (pages != 100) state.SkipWithError("the job did not read as 100 pages");
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(job().size()));
    state.counters["pages/s"] =
        benchmark::Counter(double(pages) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["pictures/page"] = double(pictures) / double(pages ? pages : 1);
    state.counters["jobMB"] = double(job().size()) / 1e6;
}
BENCHMARK(BM_InterpretEpsonJob)->Unit(benchmark::kMillisecond);

// Twelve pages, each one filled with a shade (the seven levels) or a cross-hatch (five of six),
// 8 x 10.5 inches at the cursor: 86 million pattern dots in all, under the reader's limit.
std::string shadedFillsJob() {
    std::string job =
        "\x1b"
        "E";
    const int fills[][2] = {{2, 2},  {2, 10}, {2, 20}, {2, 35}, {2, 55}, {2, 80},
                            {2, 99}, {3, 1},  {3, 2},  {3, 3},  {3, 5},  {3, 6}};
    for (const auto& [kind, id] : fills) {
        job +=
            "\x1b*p0x0Y\x1b*c2400a3150b" + std::to_string(id) + "g" + std::to_string(kind) + "P\f";
    }
    return job;
}

void BM_InterpretPclShadedFills(benchmark::State& state) {
    const std::string bytes = shadedFillsJob();
    std::size_t pages = 0;
    for (auto _ : state) {
        const JobDocument doc = interpretPcl(bytes, JobOptions{});
        pages = doc.pages.size();
        benchmark::DoNotOptimize(doc);
    }
    if (pages != 12) state.SkipWithError("the job did not read as 12 pages");
    state.counters["pages/s"] =
        benchmark::Counter(double(pages) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_InterpretPclShadedFills)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace folvek::printer

BENCHMARK_MAIN();
