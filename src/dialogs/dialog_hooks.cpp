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

#include "font_choice.h"
#include "help_viewer.h"
#include "message_boxes.h"
#include "mul_div.h"
#include "string_table.h"

namespace folvek {

namespace {

// Qt's file dialogs have no failure codes: they either return a name or were cancelled.
FileDialogAnswer qtFileDialog(FileDialogKind kind, const FileDialogRequest& request) {
    return {kind == FileDialogKind::Open ? runOpenFileDialog(request) : runSaveFileDialog(request),
            0};
}

std::optional<FontDialogResult> qtFontDialog(const FontDialogRequest& r) {
    const QFont initial = initialDialogFont(r);
    QFontDialog dialog(initial, r.owner);
    // A desktop's own font dialog would offer the effects and know nothing of the start face.
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    hideFontEffects(dialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return takeBackFont(r, initial, dialog.selectedFont());
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
    return nameFiltersFromPairs(loadString(StrSettingsFilter));
}

}  // namespace folvek
