// Loading, saving and choosing settings files.
#include "settings_files.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "app_globals.h"
#include "command_ids.h"
#include "document.h"
#include "pager.h"
#include "printer_settings.h"
#include "ruler_win.h"
#include "settings_file_dialog.h"
#include "shell_state.h"
#include "status_fields.h"

namespace folvek {

namespace {}  // namespace

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
    shellState().IniFileName = chosen.toStdString();
    view.model()->settingsFileLoaded(chosen.toStdString());
    view.model()->notify(kSettingsFileChanged);
}

void saveSettingsAsCommand(TRulerWin& view) {
    pager* p = view.document();
    if (!p) return;
    // The settings did not change, so the document keeps its layout.
    if (saveSettingsToChosenFile(&view, *p, QString::fromStdString(p->iniPath)))
        view.model()->notify(kSettingsFileChanged);
}

void settingsListChosen(TRulerWin& view, int index) {
    QComboBox* combo = app().settingsList;
    pager* p = view.document();
    if (!combo || !p || index < 0 || index >= combo->count()) return;
    // A bare name: loadProfile takes it from the settings directory.
    const std::string name = combo->itemText(index).toStdString();
    if (name.empty() || name.find('/') != std::string::npos) return;
    shellState().IniFileName = name;
    // The new file may hold another zoom or font, so the page's extent changes too.
    view.model()->settingsFileLoaded(name);
    view.setFocus(Qt::OtherFocusReason);
}

void registerSettingsFileCommands(TRulerWin& view) {
    view.addCommand(CmLoadSettings, [&view] { loadSettingsCommand(view); });
    view.addCommand(CmSaveSettings, [&view] { saveSettingsAsCommand(view); });
}

}  // namespace folvek
