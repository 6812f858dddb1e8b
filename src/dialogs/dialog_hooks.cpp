// The desktop's answers behind the dialog hooks.
#include "dialog_hooks.h"

#include <QDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "help_viewer.h"
#include "message_boxes.h"
#include "mul_div.h"
#include "string_table.h"

namespace folvek {

namespace {

// Qt's file dialogs have no failure codes: they either return a name or were cancelled.
FileDialogAnswer qtFileDialog(FileDialogKind kind, const FileDialogRequest& request) {
    FileDialogs& d = fileDialogs();
    return {kind == FileDialogKind::Open ? d.open(request) : d.save(request), 0};
}

QFont toQFont(const LogFont& lf, int logPixelsY) {
    QFont f(QString::fromUtf8(lf.faceName));
    std::int32_t points =
        heightToPoints(lf.height < 0 ? lf.height : negated(lf.height), logPixelsY);
    if (points > 0) f.setPointSize(points);
    f.setWeight(static_cast<QFont::Weight>(lf.weight <= 0 ? 400 : std::min(lf.weight, 1000)));
    f.setItalic(lf.italic != 0);
    return f;
}

std::optional<FontDialogResult> qtFontDialog(const FontDialogRequest& r) {
    QFontDialog dialog(toQFont(r.font, r.logPixelsY), r.owner);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QFont f = dialog.selectedFont();
    FontDialogResult out;
    out.font = r.font;
    out.font.setFaceName(f.family().toUtf8().constData());
    out.pointSizeTenths = f.pointSizeF() > 0
                              ? static_cast<int>(std::lround(f.pointSizeF() * 10))
                              : static_cast<int>(std::lround(f.pixelSize() * 720.0 / r.logPixelsY));
    out.font.height = negated(MulDiv(out.pointSizeTenths, r.logPixelsY, 720));
    out.font.weight = std::clamp(static_cast<int>(f.weight()), 100, 900);
    out.font.italic = f.italic() ? 1 : 0;
    // Qt fonts carry no character set; the one handed in stays.
    return out;
}

DialogHooks desktopHooks() {
    DialogHooks h;
    h.fileDialog = qtFileDialog;
    h.fontDialog = qtFontDialog;
    h.runModal = [](QDialog& d) { return d.exec(); };
    h.openHelp = [](int topic) {
        openHelp(topic, [](const std::string& text) {
            QtMessages box;
            box.show(text, "!!!", MsgIcon::Error);
        });
    };
    return h;
}

}  // namespace

DialogHooks& dialogHooks() {
    static DialogHooks hooks = desktopHooks();
    return hooks;
}

void resetDialogHooks() {
    dialogHooks() = desktopHooks();
}

int screenLogPixelsY(const QWidget* widget) {
    if (int forced = dialogHooks().logPixelsY; forced > 0) return forced;
    QScreen* screen = widget ? widget->screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    const int dpi = screen ? static_cast<int>(std::lround(screen->logicalDotsPerInchY())) : 96;
    return dpi > 0 ? dpi : 96;
}

void reportFileDialogError(QWidget* owner, FileDialogKind kind, long code) {
    char text[64];
    std::snprintf(text, sizeof text, "%s returned Error #%ld",
                  kind == FileDialogKind::Open ? "GetOpenFileName" : "GetSaveFileName", code);
    if (MessageSink* sink = dialogHooks().messages) {
        sink->show(text, "WARNING", MsgIcon::Error);
    } else {
        QtMessages box(owner);
        box.show(text, "WARNING", MsgIcon::Error);
    }
}

QString askFileName(FileDialogKind kind, const FileDialogRequest& request) {
    const FileDialogAnswer a = dialogHooks().fileDialog(kind, request);
    if (a.error != 0) {
        reportFileDialogError(request.owner, kind, a.error);
        return {};
    }
    return a.path;
}

QStringList settingsFileFilters() {
    return nameFiltersFromPairs(loadString(1025));
}

}  // namespace folvek
