// Find on the 100 MB CP866 report through the search the find bar runs (searchLines): a text
// that is not there, so the search runs to the end, and a common one counted to the end;
// against memmem over the same stored lines, memmem over the file's bytes, and grep -c.
//
// The report is generated once by tools/make-report.py (FOLVEK_BENCH_REPORT names another).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "document_record.h"
#include "messages.h"
#include "text_search.h"

namespace folvek {
namespace {

const std::string kSourceDir = [] {
    std::string f = __FILE__;
    return f.substr(0, f.rfind("/bench/"));
}();

const std::string& report() {
    static const std::string path = [] {
        if (const char* env = std::getenv("FOLVEK_BENCH_REPORT")) return std::string(env);
        const std::string out = "/tmp/folvek-bench-100M-866.prn";
        if (std::ifstream(out).good()) return out;
        const std::string cmd = "python3 '" + kSourceDir +
                                "/tools/make-report.py' --size 100M --encoding cp866 --seed 1 "
                                "--out '" +
                                out + "'";
        if (std::system(cmd.c_str()) != 0)
            std::fprintf(stderr, "could not generate %s\n", out.c_str());
        return out;
    }();
    return path;
}

class Quiet : public MessageSink {
  public:
    MsgAnswer show(const std::string&, const std::string&, MsgIcon, MsgButtons) override {
        return MsgAnswer::Ok;
    }
};

// The report loaded once, as the viewer holds it (lines in 1251).
DocumentRecord& loaded() {
    static Quiet quiet;
    static std::unique_ptr<DocumentRecord> doc = [] {
        RecordContext ctx;
        ctx.messages = &quiet;
        ctx.programDir = "/nonexistent-folvek-bench/";
        auto d = std::make_unique<DocumentRecord>(std::move(ctx), "none.ini", "");
        d->setIsDos(1);
        d->encodingOverride = EncodingChoice::Cp866;
        d->loadText(report());
        return d;
    }();
    return *doc;
}

const std::string& fileBytes() {
    static const std::string bytes = [] {
        std::ifstream in(report(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }();
    return bytes;
}

// The texts in 1251 (the document's bytes) and in 866 (the file's).
const char* const kAbsent1251 = "\xCA\xF3\xE7\xED\xE5\xF6\xEE\xE2";  // "Кузнецов"
const char* const kAbsent866 = "\x8A\xE3\xA7\xAD\xA5\xE6\xAE\xA2";
const char* const kCommon1251 = "\xE8\xF2\xEE\xE3\xEE";  // "итого", found as "Итого"
const char* const kCommonExact1251 = "\xC8\xF2\xEE\xE3\xEE";
const char* const kCommon866 = "\x88\xE2\xAE\xA3\xAE";

void setBytes(benchmark::State& state) {
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fileBytes().size()));
}

// range(0): 0 the absent text, 1 the common one.
void BM_SearchLines(benchmark::State& state) {
    const DocumentRecord& doc = loaded();
    const TextQuery query(state.range(0) ? kCommon1251 : kAbsent1251);
    std::size_t found = 0;
    bool complete = false;
    for (auto _ : state) {
        const SearchResult r = searchLines(doc.lines, query);
        found = r.matches.size();
        complete = r.complete;
        benchmark::DoNotOptimize(found);
    }
    if (!complete) state.SkipWithError("the search stopped before the end");
    state.counters["matches"] = static_cast<double>(found);
    state.counters["lines"] = static_cast<double>(doc.lines.size());
    setBytes(state);
}
BENCHMARK(BM_SearchLines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Matches of `needle` (n bytes) in [from, end), none overlapping.
std::size_t countMemmem(const char* from, const char* end, const char* needle, std::size_t n) {
    std::size_t found = 0;
    for (const char* p = from;
         (p = static_cast<const char*>(memmem(p, static_cast<std::size_t>(end - p), needle, n)));
         p += n)
        ++found;
    return found;
}

// Baseline: exact bytes with memmem over the same stored lines (no case fold, tags and frames
// not looked at).
void BM_MemmemLinesBaseline(benchmark::State& state) {
    const DocumentRecord& doc = loaded();
    const char* needle = state.range(0) ? kCommonExact1251 : kAbsent1251;
    const std::size_t n = std::strlen(needle);
    std::size_t found = 0;
    for (auto _ : state) {
        found = 0;
        for (std::size_t i = 0, count = doc.lines.size(); i < count; ++i) {
            const char* text = doc.lines.textAt(i);
            found += countMemmem(text, text + std::strlen(text), needle, n);
        }
        benchmark::DoNotOptimize(found);
    }
    state.counters["matches"] = static_cast<double>(found);
    setBytes(state);
}
BENCHMARK(BM_MemmemLinesBaseline)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Baseline: memmem over the file's bytes in one buffer, the floor for any search.
void BM_MemmemFileBaseline(benchmark::State& state) {
    const std::string& bytes = fileBytes();
    const char* needle = state.range(0) ? kCommon866 : kAbsent866;
    const std::size_t n = std::strlen(needle);
    std::size_t found = 0;
    for (auto _ : state) {
        found = countMemmem(bytes.data(), bytes.data() + bytes.size(), needle, n);
        benchmark::DoNotOptimize(found);
    }
    state.counters["matches"] = static_cast<double>(found);
    setBytes(state);
}
BENCHMARK(BM_MemmemFileBaseline)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Baseline: GNU grep -c -i on the file (C locale, bytes of 866; -i folds Latin only, and it
// counts lines, which for these texts are the matches); includes starting the process, with
// the file in the page cache.
void BM_GrepBaseline(benchmark::State& state) {
    const std::string needle = state.range(0) ? kCommon866 : kAbsent866;
    const std::string cmd =
        "LC_ALL=C grep -c -i -F -e '" + needle + "' '" + report() + "' > /tmp/folvek-find-grep.out";
    for (auto _ : state)
        if (std::system(cmd.c_str()) > 256) state.SkipWithError("grep failed");
    std::ifstream in("/tmp/folvek-find-grep.out");
    double count = 0;
    in >> count;
    state.counters["matches"] = count;
    setBytes(state);
}
BENCHMARK(BM_GrepBaseline)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace folvek

BENCHMARK_MAIN();
