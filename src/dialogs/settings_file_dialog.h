// The file dialogs over settings files: choosing one to load, and saving the settings to a new
// one. The commands that lay the document out afterwards live with the window.
#pragma once

#include <QString>
#include <string>

class QWidget;

namespace folvek {

class DocumentRecord;

// The Open dialog over `owner` starting at `start`, for *.ini files; empty after a cancel.
QString chooseSettingsFileToLoad(QWidget* owner, const QString& start);

// The Save dialog over `owner` starting at `proposal`; on a choice writes the settings there
// and makes the file the current one (iniPath and IniFileName). False after a cancel, and
// when the file could not be written (the record has said why; nothing changes then).
bool saveSettingsToChosenFile(QWidget* owner, DocumentRecord& p, const QString& proposal);

// What the parameters dialog's "Сохранить как..." proposes: the settings directory, the
// document's (`documentPath`) file name without its extension and ".ini"; with no document, the
// current file.
QString proposedSettingsName(const DocumentRecord& p, const std::string& documentPath);

}  // namespace folvek
