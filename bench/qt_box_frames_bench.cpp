// The page of box_frames_bench drawn for real: onto a 96-dpi preview image at zoom step 3
// through the QPainter device, where the strokes (two for every double line) cost most.
// Baseline: the same page by the look-alike rules alone, in the same run.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "box_frames_document.h"
#include "page_renderer.h"
#include "qt_device_context.h"

namespace folvek {
namespace {

using bench::Doc;

void drawMiddlePage(benchmark::State& state, bool boxCodes) {
    static Doc withCodes(true), lookalikes(false);
    DocumentRecord& pg = *(boxCodes ? withCodes : lookalikes).pg;
    pg.Zoom = 3;
    const int page = pg.pageCount / 2;
    QImage image(1200, 1700, QImage::Format_RGB32);
    PageLocator locator;
    auto draw = [&] {
        image.fill(Qt::white);
        QPainter painter(&image);
        QtDeviceContext dc(&painter, 96, 96, QSizeF(200, 287));
        drawPage(pg, dc, page, false, locator);
    };
    draw();  // remembers the page starts, realises the fonts
    for (auto _ : state) draw();
    state.counters["page"] = page;
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

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
