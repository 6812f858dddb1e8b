// The tool bar: movable and floatable, docked at the top of the frame, with the command
// buttons and the list of settings files.
#pragma once

#include <QFont>
#include <QToolBar>

class QComboBox;

namespace folvek {

class DocumentRecord;
class ReportView;

class MainToolBar : public QToolBar {
    Q_OBJECT
  public:
    explicit MainToolBar(ReportView* view, QWidget* parent = nullptr);
    ~MainToolBar() override;

    // Called once the frame exists: fills the settings list, gives the combo box its font and
    // the view the keyboard focus.
    void setupWindow();
    QComboBox* settingsList() const { return combo_; }

  private:
    ReportView* view_;
    QComboBox* combo_ = nullptr;
    QFont comboFont_;
};

// Lists the *.ini files of the settings directory sorted by name without regard to case and
// selects the one named like the file name of the record's iniPath.
void refreshSettingsList(const DocumentRecord* record);

}  // namespace folvek
