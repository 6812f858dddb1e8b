// Loading a 100 MB CP866 report, against reading the same bytes with read() and converting
// them with iconv; the memory a loaded document holds; and seeking to the last line.
//
// The report is generated once by tools/make-report.py (FOLVEK_BENCH_REPORT names another).
#include <fcntl.h>
#include <iconv.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "document_record.h"
#include "messages.h"

namespace folvek {
namespace {

const std::string kSourceDir = FOLVEK_SOURCE_DIR;

std::string reportPath() {
    if (const char* env = std::getenv("FOLVEK_BENCH_REPORT")) return env;
    const std::string path = "/tmp/folvek-bench-100M-866.prn";
    if (std::ifstream(path).good()) return path;
    const std::string cmd = "python3 '" + kSourceDir +
                            "/tools/make-report.py' --size 100M --encoding cp866 --seed 1 --out '" +
                            path + "'";
    if (std::system(cmd.c_str()) != 0)
        std::fprintf(stderr, "could not generate %s\n", path.c_str());
    return path;
}

const std::string& report() {
    static const std::string path = reportPath();
    return path;
}

// The same report in UTF-8 (frames become U+2500 box drawing), made once with iconv.
const std::string& utf8Report() {
    static const std::string path = [] {
        const std::string out = "/tmp/folvek-bench-100M-utf8.txt";
        if (std::ifstream(out).good()) return out;
        const std::string cmd = "iconv -f CP866 -t UTF-8 '" + report() + "' > '" + out + "'";
        if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "could not make %s\n", out.c_str());
        return out;
    }();
    return path;
}

std::int64_t fileSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return static_cast<std::int64_t>(in.tellg());
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

long rssBytes() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * ::sysconf(_SC_PAGESIZE);
}

class Quiet : public MessageSink {
  public:
    MsgAnswer show(const std::string&, const std::string&, MsgIcon, MsgButtons) override {
        return MsgAnswer::Ok;
    }
};

std::unique_ptr<DocumentRecord> makeRecord(Quiet& quiet) {
    RecordContext ctx;
    ctx.messages = &quiet;
    ctx.programDir = "/nonexistent-folvek-bench/";
    return std::make_unique<DocumentRecord>(std::move(ctx), "none.ini", "");
}

// Registered first so that the heap is still fresh when RSS is measured.
void BM_LoadMemory(benchmark::State& state) {
    Quiet quiet;
    auto doc = makeRecord(quiet);
    doc->IsDos = 1;
    const double size = static_cast<double>(fileSize(report()));
    for (auto _ : state) {
        doc->freeText();
        const long before = rssBytes();
        doc->loadText(report());
        const long after = rssBytes();
        const double lines = static_cast<double>(doc->lines.size());
        state.counters["lines"] = lines;
        state.counters["memoryUsed/file"] = doc->lines.memoryUsed() / size;
        state.counters["rssGrowth/file"] = (after - before) / size;
        state.counters["budget/file"] = (1.3 * size + 16 * lines) / size;
    }
}
BENCHMARK(BM_LoadMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// Baseline: the bytes through read() into a buffer of the loader's size.
void BM_ReadBaseline(benchmark::State& state) {
    std::vector<char> buf(256 * 1024);
    for (auto _ : state) {
        int fd = ::open(report().c_str(), O_RDONLY);
        std::int64_t total = 0;
        for (ssize_t n; (n = ::read(fd, buf.data(), buf.size())) > 0;) total += n;
        ::close(fd);
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(state.iterations() * fileSize(report()));
}
BENCHMARK(BM_ReadBaseline)->Unit(benchmark::kMillisecond);

// Baseline: glibc iconv CP866 -> CP1251 over the same bytes already in memory (frames
// transliterated, as the loader turns them into look-alikes).
void BM_IconvBaseline(benchmark::State& state) {
    std::string in = slurp(report());
    std::string out(in.size() * 2, '\0');
    iconv_t cd = iconv_open("CP1251//TRANSLIT", "CP866");
    for (auto _ : state) {
        char* ip = in.data();
        char* op = out.data();
        size_t il = in.size(), ol = out.size();
        while (il > 0) {
            if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1)) {
                if (!il) break;
                ++ip, --il;  // not expected with //TRANSLIT
                *op++ = '?', --ol;
            }
        }
        benchmark::DoNotOptimize(op);
    }
    iconv_close(cd);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(in.size()));
}
BENCHMARK(BM_IconvBaseline)->Unit(benchmark::kMillisecond);

// freeText + loadText, range(0) = IsDos with the encoding fixed (no detection).
void BM_LoadText(benchmark::State& state) {
    Quiet quiet;
    auto doc = makeRecord(quiet);
    doc->setIsDos(static_cast<std::int32_t>(state.range(0)));
    doc->encodingOverride = state.range(0) ? EncodingChoice::Cp866 : EncodingChoice::Cp1251;
    for (auto _ : state) {
        doc->freeText();
        doc->loadText(report());
    }
    state.SetBytesProcessed(state.iterations() * fileSize(report()));
    state.counters["lines"] = static_cast<double>(doc->lines.size());
}
BENCHMARK(BM_LoadText)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// freeText + loadText with detection (the settings' Encoding auto, IsDos off): the 866 report
// must be found to be 866 and load within 1.2 x of BM_LoadText/1.
void BM_LoadTextDetected(benchmark::State& state) {
    Quiet quiet;
    auto doc = makeRecord(quiet);
    for (auto _ : state) {
        doc->freeText();
        doc->loadText(report());
    }
    if (doc->textEncoding != TextEncoding::Cp866) state.SkipWithError("not detected as 866");
    state.SetBytesProcessed(state.iterations() * fileSize(report()));
}
BENCHMARK(BM_LoadTextDetected)->Unit(benchmark::kMillisecond);

// The UTF-8 report loaded with detection, against iconv UTF-8 -> CP1251 on the same bytes.
void BM_LoadTextUtf8(benchmark::State& state) {
    Quiet quiet;
    auto doc = makeRecord(quiet);
    for (auto _ : state) {
        doc->freeText();
        doc->loadText(utf8Report());
    }
    if (doc->textEncoding != TextEncoding::Utf8) state.SkipWithError("not detected as UTF-8");
    state.SetBytesProcessed(state.iterations() * fileSize(utf8Report()));
}
BENCHMARK(BM_LoadTextUtf8)->Unit(benchmark::kMillisecond);

void BM_IconvUtf8Baseline(benchmark::State& state) {
    std::string in = slurp(utf8Report());
    std::string out(in.size(), '\0');
    iconv_t cd = iconv_open("CP1251//TRANSLIT", "UTF-8");
    for (auto _ : state) {
        char* ip = in.data();
        char* op = out.data();
        size_t il = in.size(), ol = out.size();
        while (il > 0) {
            if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1)) {
                if (!il || !ol) break;
                ++ip, --il;
                *op++ = '?', --ol;
            }
        }
        benchmark::DoNotOptimize(op);
    }
    iconv_close(cd);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(in.size()));
}
BENCHMARK(BM_IconvUtf8Baseline)->Unit(benchmark::kMillisecond);

// lineAt of the last line of a 1.5M-line document, after a walk left the cursor at the start.
void BM_LineAtLast(benchmark::State& state) {
    Quiet quiet;
    auto doc = makeRecord(quiet);
    const int n = 1500000;
    for (int i = 0; i < n; ++i) doc->lines.append("| 123 | some text of a report |", 30);
    for (auto _ : state) {
        doc->lineAt(0);
        benchmark::DoNotOptimize(doc->lineAt(n - 1));
    }
}
BENCHMARK(BM_LineAtLast);

}  // namespace
}  // namespace folvek

BENCHMARK_MAIN();
