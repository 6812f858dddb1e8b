#include "document_record.h"

#include <climits>
#include <cstdio>

#include "messages.h"
#include "printer_settings.h"

namespace folvek {

DocumentRecord::DocumentRecord(RecordContext ctx, const std::string& iniFileName,
                               const std::string& path)
    : context(std::move(ctx)) {
    loadProfile(iniFileName);
    if (!context.orientationForced) applyOrientation(context.printer, Orient);
    if (!path.empty()) loadText(path);
    paginate();
}

DocumentRecord::~DocumentRecord() {
    deleteFonts();
    botPicture.release();
    topPicture.release();
    freeText();
    lines.clear();
}

const char* DocumentRecord::lineAt(std::int32_t index) {
    if (index == INT32_MAX || !lines.seek(index + 1)) return nullptr;
    return lines.currentText();
}

const char* DocumentRecord::nextLine() {
    return lines.next() ? lines.currentText() : nullptr;
}

const char* DocumentRecord::prevLine() {
    return lines.prev() ? lines.currentText() : nullptr;
}

std::unique_ptr<LayoutDevice> DocumentRecord::printerDC() {
    if (!context.printer) return nullptr;
    return context.printer->createLayoutDevice();
}

void applyOrientation(PrinterSettings* printer, int orientation) {
    if (!printer || !printer->hasDeviceMode()) return;
    if (!printer->orientationSupported()) return;
    printer->setLandscape(orientation != 0);
}

MsgAnswer StderrMessages::show(const std::string& text, const std::string& caption, MsgIcon,
                               MsgButtons buttons) {
    std::fprintf(stderr, "%s%s%s\n", caption.c_str(), caption.empty() ? "" : ": ", text.c_str());
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
}

}  // namespace folvek
