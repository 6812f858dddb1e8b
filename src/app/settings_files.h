// The settings-file commands: load (11849), save as (11851), the tool-bar list of the
// settings directory's *.ini files (combo box 5555) and the choice from it.
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

// 11849: loads a chosen settings file and lays the document out with it.
void loadSettingsCommand(ReportView& view);
// 11851: writes the settings to a chosen new file, which becomes the current one.
void saveSettingsAsCommand(ReportView& view);
// Combo box 5555 changed selection to `index`: loads that file from the settings directory.
void settingsListChosen(ReportView& view, int index);

// Load (11849) and save as (11851).
void registerSettingsFileCommands(ReportView& view);

}  // namespace folvek
