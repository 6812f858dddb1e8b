// The dialog shown while a print job runs: which page is being printed, of
// how many, of which document on which printer, and the "Отмена" button that stops the job.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace folvek {

class AbortDialog : public QDialog {
    Q_OBJECT
  public:
    // Control identifiers of the template.
    enum Control {
        kCancel = 2,
        kTitle = 101,
        kDevice = 102,
        kSpare = 103,
        kPage = 104,
        kLastPage = 105
    };

    AbortDialog(QWidget* owner, const QString& title, const QString& device, const QString& port);

    void setPage(int page);
    void setLastPage(int page);  // 0: the range has no known end
    bool cancelled() const { return cancelled_; }

    QPushButton* cancelButton() const { return cancel_; }
    QLabel* label(Control id) const;

  protected:
    void reject() override;                        // Esc cancels like the button
    void closeEvent(QCloseEvent* event) override;  // Close is not offered

  private:
    void cancelJob();

    QPushButton* cancel_;
    QLabel* nowPrinting_;
    QLabel* title_;
    QLabel* device_;
    QLabel* spare_;
    QLabel* page_;
    QLabel* lastPage_;
    bool cancelled_ = false;
};

}  // namespace folvek
