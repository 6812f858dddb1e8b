// Choosing a settings file to load or to save the settings to.
#include "settings_file_dialog.h"

#include <QFileInfo>

#include "dialog_hooks.h"
#include "document_record.h"
#include "shell_state.h"

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

}  // namespace

QString chooseSettingsFileToLoad(QWidget* owner, const QString& start) {
    return askFileName(FileDialogKind::Open, settingsRequest(owner, start, false));
}

bool saveSettingsToChosenFile(QWidget* owner, DocumentRecord& p, const QString& proposal) {
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

QString proposedSettingsName(const DocumentRecord& p, const std::string& documentPath) {
    if (documentPath.empty()) return QString::fromStdString(p.iniPath);
    const QString base = QFileInfo(QString::fromStdString(documentPath)).completeBaseName();
    return QString::fromStdString(shellState().programDir) + base + QStringLiteral(".ini");
}

}  // namespace folvek
