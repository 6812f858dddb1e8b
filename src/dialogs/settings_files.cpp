// Loading, saving and choosing settings files.
#include "settings_files.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QVariant>
#include <string>
#include <vector>

#include "app_globals.h"
#include "dialog_hooks.h"
#include "pager.h"
#include "printer_settings.h"
#include "ruler_win.h"
#include "settings_listing.h"
#include "shell_state.h"
#include "status_fields.h"

namespace folvek {

namespace {

FileDialogRequest settingsRequest(QWidget* owner, const QString& start, bool save) {
    FileDialogRequest r;
    r.owner = owner;
    r.startPath = start;
    r.filters = settingsFileFilters();
    if (save) r.defaultSuffix = QStringLiteral("ini");
    return r;
}

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
    // The names as bytes: the entry shows what can be shown of a name that is not UTF-8 and
    // keeps the name itself for the choice.
    const std::vector<std::string> names = listSettingsFiles(shellState().programDir);

    const QSignalBlocker block(combo);
    combo->clear();
    for (const std::string& name : names) {
        const QByteArray bytes = QByteArray::fromStdString(name);
        combo->addItem(QFile::decodeName(bytes), bytes);
    }
    std::string current;
    if (const pager* p = app().thePager) current = p->iniPath.substr(p->iniPath.rfind('/') + 1);
    int selected = -1;
    if (!current.empty()) {
        for (std::size_t i = 0; i < names.size() && selected < 0; ++i)
            if (startsWithIgnoringCase(names[i], current)) selected = static_cast<int>(i);
    }
    combo->setCurrentIndex(selected);
}

void loadSettingsCommand(TRulerWin& view) {
    pager* p = view.document();
    if (!p) return;
    const QString chosen = askFileName(
        FileDialogKind::Open, settingsRequest(&view, QString::fromStdString(p->iniPath), false));
    if (chosen.isEmpty()) return;
    p->loadProfile(chosen.toStdString());
    shellState().IniFileName = chosen.toStdString();
    relayoutWithNewSettings(view, *p);
    view.UpdateScrollRanges();
    refreshSettingsFiles();
    view.repaintAll();
}

bool saveSettingsToChosenFile(QWidget* owner, pager& p, const QString& proposal) {
    const QString chosen =
        askFileName(FileDialogKind::Save, settingsRequest(owner, proposal, true));
    if (chosen.isEmpty()) return false;
    const std::string path = chosen.toStdString();
    const std::string previous = p.iniPath;
    if (!p.saveProfile(path.c_str())) {
        // The file the settings belong to is still the old one.
        p.iniPath = previous;
        return false;
    }
    shellState().IniFileName = path;
    return true;
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
    const QVariant bytes = combo->itemData(index);
    const std::string name =
        bytes.isValid() ? bytes.toByteArray().toStdString() : combo->itemText(index).toStdString();
    if (name.empty() || name.find('/') != std::string::npos) return;
    p->loadProfile(name);
    shellState().IniFileName = name;
    relayoutWithNewSettings(view, *p);
    // The new file may hold another zoom or font, so the page's extent changes too.
    view.UpdateScrollRanges();
    view.repaintAll();
    view.setFocus(Qt::OtherFocusReason);
}

QString proposedSettingsName(const pager& p) {
    const ShellState& shell = shellState();
    if (shell.documentPath.empty()) return QString::fromStdString(p.iniPath);
    const QString base = QFileInfo(QString::fromStdString(shell.documentPath)).completeBaseName();
    return QString::fromStdString(shell.programDir) + base + QStringLiteral(".ini");
}

}  // namespace folvek
