// Loading, saving and choosing settings files.
#include "settings_files.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "app_globals.h"
#include "pager.h"
#include "printer_settings.h"
#include "ruler_win.h"
#include "settings_file_dialog.h"
#include "shell_state.h"
#include "status_fields.h"

namespace folvek {

namespace {

// After the settings changed from a file: orientation to the printer, then the new layout.
void relayoutWithNewSettings(TRulerWin& view, pager& p) {
    applyOrientation(view.printer(), p.Orient);
    p.paginate();
    p.scanStyles();
    UpdatePageStatus();
}

}  // namespace

void refreshSettingsFiles() {
    QComboBox* combo = app().settingsList;
    if (!combo) return;
    const QDir dir(QString::fromStdString(shellState().programDir));
    // Name filters match without regard to case, so FOLVK95.INI is listed too.
    QStringList names = dir.entryList({QStringLiteral("*.ini")}, QDir::Files, QDir::NoSort);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });

    const QSignalBlocker block(combo);
    combo->clear();
    combo->addItems(names);
    QString current;
    if (const pager* p = app().thePager)
        current = QFileInfo(QString::fromStdString(p->iniPath)).fileName();
    int selected = -1;
    if (!current.isEmpty()) {
        for (int i = 0; i < names.size() && selected < 0; ++i)
            if (names[i].startsWith(current, Qt::CaseInsensitive)) selected = i;
    }
    combo->setCurrentIndex(selected);
}

void loadSettingsCommand(TRulerWin& view) {
    pager* p = view.document();
    if (!p) return;
    const QString chosen = chooseSettingsFileToLoad(&view, QString::fromStdString(p->iniPath));
    if (chosen.isEmpty()) return;
    p->loadProfile(chosen.toStdString());
    shellState().IniFileName = chosen.toStdString();
    relayoutWithNewSettings(view, *p);
    view.UpdateScrollRanges();
    refreshSettingsFiles();
    view.repaintAll();
}

void saveSettingsAsCommand(TRulerWin& view) {
    pager* p = view.document();
    if (!p) return;
    // The settings did not change, so the document keeps its layout.
    if (saveSettingsToChosenFile(&view, *p, QString::fromStdString(p->iniPath)))
        refreshSettingsFiles();
}

void settingsListChosen(TRulerWin& view, int index) {
    QComboBox* combo = app().settingsList;
    pager* p = view.document();
    if (!combo || !p || index < 0 || index >= combo->count()) return;
    // A bare name: loadProfile takes it from the settings directory.
    const std::string name = combo->itemText(index).toStdString();
    if (name.empty() || name.find('/') != std::string::npos) return;
    p->loadProfile(name);
    shellState().IniFileName = name;
    relayoutWithNewSettings(view, *p);
    // The new file may hold another zoom or font, so the page's extent changes too.
    view.UpdateScrollRanges();
    view.repaintAll();
    view.setFocus(Qt::OtherFocusReason);
}

}  // namespace folvek
