// Layout and drawing of a 100 MB report: pagination with and without wrapping, and drawing
// the first against the last page (which resumes from a remembered page start).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "device_context.h"
#include "document_record.h"
#include "messages.h"
#include "page_renderer.h"
#include "printer_settings.h"

namespace folvek {
namespace {

// Counts calls; fixed metrics (10 units a character, 16 a line) on a 210 x 297 mm page.
class CountingDevice : public DeviceContext {
  public:
    int saveState() override { return ++depth; }
    bool restoreState(int) override { return depth-- > 0; }
    void setLoEnglish() override {}
    int deviceCaps(DeviceCap cap) const override {
        return cap == DeviceCap::HorzSizeMm ? 210 : cap == DeviceCap::VertSizeMm ? 297 : 254;
    }
    void selectFont(const LogFont&) override {}
    TextExtent textExtent(const char*, int len) override { return {len * 7, 12}; }
    TextMetrics textMetrics() override { return {12, 9, 3, 0, 0, 7}; }
    void scaleViewport(int, int, int, int) override {}
    void setTransparentText() override {}
    void selectPen(int w) override { pen = w; }
    int currentPenWidth() const override { return pen; }
    void moveTo(int, int) override { ++calls; }
    void lineTo(int, int) override { ++calls; }
    void drawText(const char*, int len, const Rect&, unsigned) override { calls += len; }
    void stretchImage(int, int, int, int, int, int, int, int, const ImageView&) override {
        ++calls;
    }
    void drawBitmap(int, int, int, int, const BitmapView&) override { ++calls; }
    void fillRect(const Rect&) override { ++calls; }
    void drawCells(const char*, int len, int, int, double) override { calls += len; }
    long calls = 0;
    int depth = 0, pen = 0;
};

class Printer : public PrinterSettings {
  public:
    bool hasDeviceMode() const override { return false; }
    bool orientationSupported() const override { return false; }
    void setLandscape(bool) override {}
    bool landscape() const override { return false; }
    std::unique_ptr<LayoutDevice> createLayoutDevice() override {
        return std::make_unique<CountingDevice>();
    }
};

class Quiet : public MessageSink {
  public:
    MsgAnswer show(const std::string&, const std::string&, MsgIcon, MsgButtons) override {
        return MsgAnswer::Ok;
    }
};

// The report is generated once into $FOLVEK_BENCH_DATA (default /tmp) and kept there.
std::string reportPath() {
    const char* dir = std::getenv("FOLVEK_BENCH_DATA");
    const std::string path = std::string(dir ? dir : "/tmp") + "/folvek-render-bench-100M.txt";
    if (std::ifstream(path).good()) return path;
    const std::string script = std::string(FOLVEK_SOURCE_DIR) + "/tools/make-report.py";
    const std::string cmd =
        "python3 '" + script + "' --size 100M --encoding cp1251 --out '" + path + "'";
    if (std::ifstream(script).good() && std::system(cmd.c_str()) == 0) return path;
    // No generator: a plain framed report of the same size.
    std::ofstream out(path, std::ios::binary);
    for (long n = 0; out.tellp() < 100l << 20; ++n) {
        if (n % 61 == 60)
            out << "\f\r\n";
        else if (n % 5 == 0)
            out << "+----------+--------------------------------------+-----------+\r\n";
        else
            out << "| " << n << " | <B>item</B> description of a stock item " << n % 977 << " |  "
                << n * 7 % 10000 << ".00 |\r\n";
    }
    return path;
}

struct Doc {
    Quiet quiet;
    Printer printer;
    std::unique_ptr<DocumentRecord> pg;
    Doc() {
        RecordContext ctx;
        ctx.messages = &quiet;
        ctx.printer = &printer;
        ctx.programDir = "/nonexistent-folvek-bench/";
        pg = std::make_unique<DocumentRecord>(ctx, "none.ini", reportPath());
    }
};

Doc& doc() {
    static Doc d;
    return d;
}

void BM_PaginateNoWrap(benchmark::State& state) {
    DocumentRecord& pg = *doc().pg;
    pg.isWrap = 0;
    for (auto _ : state) benchmark::DoNotOptimize(pg.paginate());
    state.counters["pages"] = pg.pageCount;
    state.counters["lines"] = static_cast<double>(pg.lines.size());
}

void BM_PaginateWrap(benchmark::State& state) {
    DocumentRecord& pg = *doc().pg;
    pg.isWrap = 1;
    for (auto _ : state) benchmark::DoNotOptimize(pg.paginate());
    state.counters["pages"] = pg.pageCount;
}

void drawBench(benchmark::State& state, bool last) {
    DocumentRecord& pg = *doc().pg;
    pg.isWrap = 1;
    pg.paginate();
    CountingDevice dc;
    PageLocator locator;
    const int page = last ? pg.pageCount : 1;
    drawPage(pg, dc, page, true, locator);  // the first call of a layout remembers the starts
    for (auto _ : state) benchmark::DoNotOptimize(drawPage(pg, dc, page, true, locator));
    state.counters["page"] = page;
}

void BM_DrawFirstPage(benchmark::State& state) {
    drawBench(state, false);
}
void BM_DrawLastPage(benchmark::State& state) {
    drawBench(state, true);
}

void BM_DrawLastPageFirstTime(benchmark::State& state) {
    DocumentRecord& pg = *doc().pg;
    pg.isWrap = 1;
    pg.paginate();
    CountingDevice dc;
    for (auto _ : state) benchmark::DoNotOptimize(drawPage(pg, dc, pg.pageCount, true));
}

BENCHMARK(BM_PaginateNoWrap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaginateWrap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawFirstPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawLastPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawLastPageFirstTime)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace folvek

BENCHMARK_MAIN();
