// Compressing page streams: zlib at level 1 (what Qt's engine was pushed to) against
// libdeflate at levels 1 to 6, on the content streams our PDF device writes for the sample
// report's pages. Counters: input MB/s and the compressed size as a share of the input.
//   build/bench/pdf_deflate_bench
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "codepage.h"
#include "pdf_device.h"

namespace folvek {
namespace {

// Page streams of the sample report as the PDF device writes them: each line one text row,
// every row with a frame segment, 66 rows a page.
const std::vector<std::string>& pages() {
    static const std::vector<std::string> streams = [] {
        std::ifstream in(FOLVEK_SOURCE_DIR "/samples/warehouse-866.prn", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        std::string text = s.str();
        oemToAnsi(text.data(), text.size());
        PdfFontSet fonts(nullptr);
        PdfImageSet images;
        PdfDevice dc(fonts, images);
        std::vector<std::string> out;
        LogFont font;
        font.setFaceName("Liberation Mono");
        // The sample is a few pages; repeat it for a realistic amount of text.
        for (int copy = 0; copy < 20; ++copy) {
            std::size_t at = 0;
            int row = 0;
            dc.beginPage(200, 287, ".72 0 0 .72 14 828 cm\n");
            dc.setLoEnglish();
            dc.selectFont(font);
            while (at < text.size()) {
                std::size_t end = text.find('\n', at);
                if (end == std::string::npos) end = text.size();
                const std::string line = text.substr(at, end - at);
                at = end + 1;
                if (row == 66 || line.find('\f') != std::string::npos) {
                    out.push_back(dc.takeContent());
                    dc.beginPage(200, 287, ".72 0 0 .72 14 828 cm\n");
                    row = 0;
                }
                dc.drawText(line.data(), int(line.size()), Rect{0, -15 * row, 0, 0}, 0);
                dc.moveTo(0, -15 * row - 7);
                dc.lineTo(700, -15 * row - 7);
                ++row;
            }
            out.push_back(dc.takeContent());
        }
        return out;
    }();
    return streams;
}

void report(benchmark::State& state, std::size_t in, std::size_t out) {
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(in));
    state.counters["ratio"] = double(out) / double(in);
}

void BM_Zlib(benchmark::State& state) {
    const int level = int(state.range(0));
    std::vector<unsigned char> buf;
    std::size_t in = 0, out = 0;
    for (auto _ : state) {
        in = out = 0;
        for (const std::string& p : pages()) {
            uLongf n = compressBound(uLong(p.size()));
            buf.resize(n);
            compress2(buf.data(), &n, reinterpret_cast<const Bytef*>(p.data()), uLong(p.size()),
                      level);
            in += p.size();
            out += n;
        }
        benchmark::DoNotOptimize(buf.data());
    }
    report(state, in, out);
}
BENCHMARK(BM_Zlib)->Arg(1)->Arg(6)->Unit(benchmark::kMillisecond);

void BM_Libdeflate(benchmark::State& state) {
    libdeflate_compressor* c = libdeflate_alloc_compressor(int(state.range(0)));
    std::vector<unsigned char> buf;
    std::size_t in = 0, out = 0;
    for (auto _ : state) {
        in = out = 0;
        for (const std::string& p : pages()) {
            buf.resize(libdeflate_zlib_compress_bound(c, p.size()));
            out += libdeflate_zlib_compress(c, p.data(), p.size(), buf.data(), buf.size());
            in += p.size();
        }
        benchmark::DoNotOptimize(buf.data());
    }
    libdeflate_free_compressor(c);
    report(state, in, out);
}
BENCHMARK(BM_Libdeflate)->Arg(1)->Arg(2)->Arg(4)->Arg(6)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace folvek

BENCHMARK_MAIN();
