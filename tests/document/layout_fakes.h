// Test doubles for layout: a device with fixed metrics (every character 10 units wide, a line
// 16 high) and a page of known size in millimetres, a printer that hands it out, a message
// recorder and a record built over them with default settings.
#pragma once

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "document_record.h"
#include "layout_device.h"
#include "messages.h"
#include "printer_settings.h"

namespace folvek::test {

class MeasuringDevice : public LayoutDevice {
  public:
    MeasuringDevice(int widthMm, int heightMm) : widthMm_(widthMm), heightMm_(heightMm) {}
    int saveState() override { return ++depth; }
    bool restoreState(int) override {
        if (depth == 0) return false;
        --depth;
        return true;
    }
    void setLoEnglish() override {}
    int deviceCaps(DeviceCap cap) const override {
        return cap == DeviceCap::HorzSizeMm   ? widthMm_
               : cap == DeviceCap::VertSizeMm ? heightMm_
                                              : 254;
    }
    void selectFont(const LogFont& f) override {
        font = f;
        // A scaling font: 6 units of width and 12 of pitch per 10 units of height.
        if (scalesWithFont) {
            const int h = f.height < 0 ? -f.height : f.height;
            charWidth = h * 6 / 10;
            lineHeight = h * 12 / 10;
        }
    }
    TextExtent textExtent(const char*, int len) override { return {len * charWidth, lineHeight}; }
    TextMetrics textMetrics() override { return {lineHeight, 12, 4, 0, 0, charWidth}; }
    int charWidth = 10;
    int lineHeight = 16;
    bool scalesWithFont = false;
    int depth = 0;
    LogFont font;

  private:
    int widthMm_, heightMm_;
};

class FakePrinter : public PrinterSettings {
  public:
    bool hasDeviceMode() const override { return true; }
    bool orientationSupported() const override { return true; }
    void setLandscape(bool l) override { landscape_ = l; }
    bool landscape() const override { return landscape_; }
    std::unique_ptr<LayoutDevice> createLayoutDevice() override {
        if (!available) return nullptr;
        const bool turned = turnsPaper && landscape_;
        auto d = std::make_unique<MeasuringDevice>(turned ? heightMm : widthMm,
                                                   turned ? widthMm : heightMm);
        d->charWidth = charWidth;
        d->lineHeight = lineHeight;
        d->scalesWithFont = scalesWithFont;
        return d;
    }
    bool available = true;
    int widthMm = 255, heightMm = 255;  // 100 x 100 tenths of an inch
    int charWidth = 10, lineHeight = 16;
    bool scalesWithFont = false;  // the device's font metrics follow the font's height
    bool turnsPaper = false;      // landscape swaps the sheet's sides

  private:
    bool landscape_ = false;
};

class MessageRecorder : public MessageSink {
  public:
    struct Shown {
        std::string text, caption;
    };
    MsgAnswer show(const std::string& text, const std::string& caption, MsgIcon,
                   MsgButtons) override {
        shown.push_back({text, caption});
        return MsgAnswer::Ok;
    }
    std::vector<Shown> shown;
};

// A record over a fake printer with default settings (no settings file) and no page numbers.
struct TestRecord {
    MessageRecorder messages;
    FakePrinter printer;
    std::unique_ptr<DocumentRecord> record;
    TestRecord() {
        RecordContext ctx;
        ctx.messages = &messages;
        ctx.printer = &printer;
        ctx.programDir = "/nonexistent-folvek-test/";
        record = std::make_unique<DocumentRecord>(ctx, "none.ini", "");
        record->IsNumPage = 0;
    }
    void setLines(const std::vector<std::string>& lines) {
        record->lines.clear();
        for (auto& l : lines) record->lines.append(l.data(), l.size());
        record->scanStyles();
    }
    DocumentRecord& operator*() { return *record; }
    DocumentRecord* operator->() { return record.get(); }
};

// A w x h 24-bit bitmap file.
inline void writeTestBitmap(const std::string& path, int w, int h) {
    std::vector<unsigned char> f(54 + ((w * 3 + 3) & ~3) * h, 0x80);
    auto put32 = [&](int at, unsigned v) {
        for (int i = 0; i < 4; ++i) f[at + i] = (v >> (8 * i)) & 255;
    };
    for (int i = 0; i < 54; ++i) f[i] = 0;
    f[0] = 'B', f[1] = 'M';
    put32(2, f.size()), put32(10, 54), put32(14, 40), put32(18, w), put32(22, h);
    f[26] = 1, f[28] = 24;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<char*>(f.data()), f.size());
}

}  // namespace folvek::test
