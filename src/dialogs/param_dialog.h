// The page parameters dialog (template PARAM) over the record's settings and its dialog
// procedure.
#pragma once

#include <QDialog>
#include <string>

namespace folvek {

class DocumentRecord;

// The messages the dialog procedure answers.
enum class DlgMessage {
    InitDialog,  // fill the controls
    Command,     // wParam: the identifier of the button pressed (2 also for Esc and the close box)
    Help,        // F1
};

class ParamDialog : public QDialog {
    Q_OBJECT
  public:
    // `documentPath`: the shown document's file, which names the proposed settings file.
    ParamDialog(DocumentRecord& settings, QWidget* owner, std::string documentPath = {});
    DocumentRecord& settings() const { return settings_; }
    const std::string& documentPath() const { return documentPath_; }

    void reject() override;  // Esc and the close box end the dialog as "Отмена" does

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    DocumentRecord& settings_;
    std::string documentPath_;
};

// The dialog procedure of PARAM, exported under this name: TRUE for every message it handles.
bool ParamDlgProc(QDialog* window, DlgMessage message, int wParam, long lParam);

}  // namespace folvek
