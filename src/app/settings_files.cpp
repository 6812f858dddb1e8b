// Loading, saving and choosing settings files.
#include "settings_files.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QVariant>
#include <string>
#include <vector>

#include "app_globals.h"
#include "command_ids.h"
#include "document.h"
#include "document_record.h"
#include "printer_settings.h"
#include "report_view.h"
#include "settings_file_dialog.h"
#include "settings_listing.h"
#include "shell_state.h"
#include "status_fields.h"

namespace folvek {

namespace {}  // namespace

void refreshSettingsFiles(const DocumentRecord* record) {
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
    if (record) current = record->iniPath.substr(record->iniPath.rfind('/') + 1);
    int selected = -1;
    if (!current.empty()) {
        for (std::size_t i = 0; i < names.size() && selected < 0; ++i)
            if (startsWithIgnoringCase(names[i], current)) selected = static_cast<int>(i);
    }
    combo->setCurrentIndex(selected);
}

void loadSettingsCommand(ReportView& view) {
    DocumentRecord* p = view.record();
    if (!p) return;
    const QString chosen = chooseSettingsFileToLoad(&view, QString::fromStdString(p->iniPath));
    if (chosen.isEmpty()) return;
    shellState().IniFileName = chosen.toStdString();
    view.document()->settingsFileLoaded(chosen.toStdString());
    view.document()->notify(kSettingsFileChanged);
}

void saveSettingsAsCommand(ReportView& view) {
    DocumentRecord* p = view.record();
    if (!p) return;
    // The settings did not change, so the document keeps its layout.
    if (saveSettingsToChosenFile(&view, *p, QString::fromStdString(p->iniPath)))
        view.document()->notify(kSettingsFileChanged);
}

void settingsListChosen(ReportView& view, int index) {
    QComboBox* combo = app().settingsList;
    DocumentRecord* p = view.record();
    if (!combo || !p || index < 0 || index >= combo->count()) return;
    // A bare name: loadProfile takes it from the settings directory.
    const QVariant bytes = combo->itemData(index);
    const std::string name =
        bytes.isValid() ? bytes.toByteArray().toStdString() : combo->itemText(index).toStdString();
    if (name.empty() || name.find('/') != std::string::npos) return;
    shellState().IniFileName = name;
    // The new file may hold another zoom or font, so the page's extent changes too.
    view.document()->settingsFileLoaded(name);
    view.setFocus(Qt::OtherFocusReason);
}

void registerSettingsFileCommands(ReportView& view) {
    view.addCommand(CmLoadSettings, [&view] { loadSettingsCommand(view); });
    view.addCommand(CmSaveSettings, [&view] { saveSettingsAsCommand(view); });
}

}  // namespace folvek
