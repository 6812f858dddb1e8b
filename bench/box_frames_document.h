// The document both box-frame benchmarks draw: the 10 MB DOS report with box-drawn tables,
// loaded with its box codes or with them dropped (the look-alike rules alone), on a fixed-metric
// device that counts the drawing calls.
#pragma once

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "device_context.h"
#include "document_record.h"
#include "messages.h"
#include "printer_settings.h"

namespace folvek::bench {

// Counts calls; fixed metrics (7 units a character, 12 a line) on a 210 x 297 mm page.
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
    void stretchImage(int, int, int, int, int, int, int, int, const ImageView&) override {}
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

// Generated once into $FOLVEK_BENCH_DATA (default /tmp) by tools/make-report.py.
inline std::string reportPath() {
    const char* dir = std::getenv("FOLVEK_BENCH_DATA");
    const std::string path = std::string(dir ? dir : "/tmp") + "/folvek-box-bench-10M-866.txt";
    if (std::ifstream(path).good()) return path;
    const std::string source = FOLVEK_SOURCE_DIR;
    const std::string cmd = "python3 '" + source +
                            "/tools/make-report.py' --size 10M --encoding cp866 --out '" + path +
                            "'";
    if (std::system(cmd.c_str()) != 0) std::abort();
    return path;
}

struct Doc {
    Quiet quiet;
    Printer printer;
    std::unique_ptr<DocumentRecord> pg;
    explicit Doc(bool keepBoxCodes) {
        RecordContext ctx;
        ctx.messages = &quiet;
        ctx.printer = &printer;
        ctx.programDir = "/nonexistent-folvek-bench/";
        pg = std::make_unique<DocumentRecord>(ctx, "none.ini", "");
        pg->IsDos = 1;
        pg->loadText(reportPath());
        if (!keepBoxCodes) pg->lines.clearBoxCodes();
        pg->paginate();
    }
};

}  // namespace folvek::bench
