// The settings-file commands: load, save as, the tool-bar list of the settings directory's
// *.ini files and the choice from it.
#pragma once

#include <QString>
#include <string>

class QWidget;

namespace folvek {

class DocumentRecord;
class ReportView;

// Fills the tool-bar list with the *.ini files of the settings directory, sorted by name
// without regard to case, and selects the first entry that begins with the file name of the
// record's iniPath (ignoring case; none selected without a record). Does nothing while the list
// does not exist.
void refreshSettingsFiles(const DocumentRecord* record);

// Loads a chosen settings file and lays the document out with it.
void loadSettingsCommand(ReportView& view);
// Writes the settings to a chosen new file, which becomes the current one.
void saveSettingsAsCommand(ReportView& view);
// The tool bar's settings list changed selection to `index`: loads that file from the settings
// directory.
void settingsListChosen(ReportView& view, int index);

// Load and save as.
void registerSettingsFileCommands(ReportView& view);

}  // namespace folvek
