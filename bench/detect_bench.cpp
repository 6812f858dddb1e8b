// Encoding detection: our detector against libuchardet on the same corpus (generated reports
// with and without frames, short and long, and hand-written texts, in 866, 1251, KOI8-R and
// UTF-8; tools/make-encoding-corpus.py). Counters give the share of files told right, overall
// and for files of 20 lines or more; time is per file, over the loader's 64 KB sample.
//
// A file counts as right when the detector names its encoding, or when it says nothing and the
// file is plain ASCII (every encoding reads it the same).
#include <dirent.h>
#include <uchardet.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "text_encoding.h"

namespace folvek {
namespace {

const std::string kSourceDir = FOLVEK_SOURCE_DIR;

struct Sample {
    std::string name;
    std::string bytes;
    TextEncoding truth;
    bool ascii;
    bool longFile;  // 20 lines or more
};

TextEncoding truthOf(const std::string& name) {
    if (name.rfind("cp866", 0) == 0) return TextEncoding::Cp866;
    if (name.rfind("koi8-r", 0) == 0) return TextEncoding::Koi8r;
    if (name.rfind("utf-8", 0) == 0) return TextEncoding::Utf8;
    return TextEncoding::Cp1251;
}

const std::vector<Sample>& corpus() {
    static const std::vector<Sample> samples = [] {
        std::string dir = "/tmp/folvek-encoding-corpus";
        if (const char* env = std::getenv("FOLVEK_ENCODING_CORPUS")) dir = env;
        if (!std::ifstream(dir + "/utf-8-hand-0.txt").good()) {
            const std::string cmd = "python3 '" + kSourceDir +
                                    "/tools/make-encoding-corpus.py' --out '" + dir +
                                    "' >/dev/null";
            if (std::system(cmd.c_str()) != 0)
                std::fprintf(stderr, "no corpus in %s\n", dir.c_str());
        }
        std::vector<Sample> out;
        if (DIR* d = ::opendir(dir.c_str())) {
            while (dirent* e = ::readdir(d)) {
                const std::string name = e->d_name;
                if (name.size() < 5 || name.substr(name.size() - 4) != ".txt") continue;
                std::ifstream in(dir + "/" + name, std::ios::binary);
                std::string bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
                if (bytes.size() > kDetectSample) bytes.resize(kDetectSample);
                const bool ascii =
                    std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
                const bool longFile = std::count(bytes.begin(), bytes.end(), '\n') >= 20;
                out.push_back({name, std::move(bytes), truthOf(name), ascii, longFile});
            }
            ::closedir(d);
        }
        std::sort(out.begin(), out.end(),
                  [](const Sample& a, const Sample& b) { return a.name < b.name; });
        return out;
    }();
    return samples;
}

std::optional<TextEncoding> ours(const std::string& s) {
    return detectEncoding(reinterpret_cast<const unsigned char*>(s.data()), s.size());
}

std::optional<TextEncoding> theirs(uchardet_t ud, const std::string& s) {
    uchardet_reset(ud);
    if (uchardet_handle_data(ud, s.data(), s.size()) != 0) return std::nullopt;
    uchardet_data_end(ud);
    const std::string name = uchardet_get_charset(ud);
    if (name == "UTF-8") return TextEncoding::Utf8;
    if (name == "IBM866") return TextEncoding::Cp866;
    if (name == "WINDOWS-1251") return TextEncoding::Cp1251;
    if (name == "KOI8-R") return TextEncoding::Koi8r;
    if (name.empty() || name == "ASCII") return std::nullopt;
    return static_cast<TextEncoding>(-1);  // another code page: wrong for every file here
}

template <class Detect>
void measure(benchmark::State& state, Detect detect) {
    const auto& samples = corpus();
    int right = 0, longRight = 0, longTotal = 0;
    for (auto _ : state) {
        right = longRight = longTotal = 0;
        for (const Sample& s : samples) {
            const auto got = detect(s.bytes);
            const bool ok = got ? *got == s.truth : s.ascii;
            right += ok;
            if (s.longFile && !s.ascii) {
                ++longTotal;
                longRight += ok;
            }
            if (!ok && state.iterations() == 0 && std::getenv("FOLVEK_DETECT_VERBOSE"))
                std::fprintf(stderr, "wrong: %s\n", s.name.c_str());
        }
    }
    state.counters["files"] = static_cast<double>(samples.size());
    state.counters["right%"] = 100.0 * right / std::max<std::size_t>(samples.size(), 1);
    state.counters["long right%"] = 100.0 * longRight / std::max(longTotal, 1);
    state.counters["wrong"] = static_cast<double>(samples.size() - right);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(samples.size()));
}

void BM_DetectOurs(benchmark::State& state) {
    measure(state, ours);
}
BENCHMARK(BM_DetectOurs)->Unit(benchmark::kMillisecond);

void BM_DetectUchardet(benchmark::State& state) {
    uchardet_t ud = uchardet_new();
    measure(state, [ud](const std::string& s) { return theirs(ud, s); });
    uchardet_delete(ud);
}
BENCHMARK(BM_DetectUchardet)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace folvek

BENCHMARK_MAIN();
