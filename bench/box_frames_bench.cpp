// Drawing a page of the 10 MB DOS report whose tables are framed with box characters: drawn
// from the box codes kept beside the text, against the baseline of the same page drawn by the
// look-alike rules alone (the codes dropped), in the same run. The ratio of the two is the
// figure to watch (at most 1.2).
#include <benchmark/benchmark.h>

#include "box_frames_document.h"
#include "page_renderer.h"

namespace folvek {
namespace {

using bench::CountingDevice;
using bench::Doc;

void drawMiddlePage(benchmark::State& state, bool boxCodes) {
    static Doc withCodes(true), lookalikes(false);
    DocumentRecord& pg = *(boxCodes ? withCodes : lookalikes).pg;
    CountingDevice dc;
    const int page = pg.pageCount / 2;
    PageLocator locator;
    drawPage(pg, dc, page, true, locator);  // remembers the page starts
    for (auto _ : state) benchmark::DoNotOptimize(drawPage(pg, dc, page, true, locator));
    state.counters["page"] = page;
    state.counters["calls"] = static_cast<double>(dc.calls) / (state.iterations() + 1);
}

void BM_DrawPageLookalikeRules_Baseline(benchmark::State& state) {
    drawMiddlePage(state, false);
}
void BM_DrawPageBoxCodes(benchmark::State& state) {
    drawMiddlePage(state, true);
}

BENCHMARK(BM_DrawPageLookalikeRules_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawPageBoxCodes)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace folvek

BENCHMARK_MAIN();
