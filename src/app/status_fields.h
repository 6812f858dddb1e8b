// The caption and the status bar's fields, which follow the shown document, and the passing
// messages that cover the fields for a while.
#pragma once

#include <QObject>
#include <QPointer>

class QLabel;
class QMainWindow;
class QString;
class QWidget;

namespace folvek {

class Document;
class DocumentSignals;
class PathField;
class ReportView;

inline constexpr const char* kFrameTitle = "FolVk";

// Listens to the view's document: another file shown (or the shown one renamed) puts
// "FolVk - " + its path in the caption and the path in the file-name field; new text, layout
// or page shows "Стр. %d из %d", the encoding and what does not reach the paper, and ends a
// passing message about what was shown before.
class StatusFields : public QObject {
    Q_OBJECT
  public:
    struct Fields {
        QMainWindow* frame = nullptr;
        PathField* fileName = nullptr;
        QLabel* page = nullptr;
        QLabel* encoding = nullptr;
        QLabel* width = nullptr;  // lines cut at the sheet's edge, or the fit's size
    };
    StatusFields(ReportView& view, const Fields& fields, QObject* parent = nullptr);

    // Follows the view's document from now on, and shows it as it is now.
    void connectDocument();

  private:
    void documentChanged(unsigned changes);
    void showName(const Document* doc);
    // The page field, then the encoding and width fields, which change with it.
    void showPage(const Document* doc);
    // The encoding of the shown document ("866", "1251", "KOI8-R", "UTF-8"), with the count of
    // characters shown as '?' when there were any; empty without a document.
    void showEncoding(const Document* doc);
    // Lines cut at the sheet's edge with the key that fits them, or the size the fit chose;
    // empty when neither applies. The fit command's check mark follows FitWidth.
    void showWidth(const Document* doc);

    ReportView& view_;
    QPointer<QMainWindow> frame_;
    QPointer<PathField> fileName_;
    QPointer<QLabel> page_;
    QPointer<QLabel> encoding_;
    QPointer<QLabel> width_;
    DocumentSignals* connected_ = nullptr;
};

// How long a passing message ("Найдено: ...", "Страница 3 скопирована") covers the fields.
inline constexpr int kStatusMessageMs = 5000;
// Shows a passing message in the status bar of the frame that holds `from` (the main frame when
// `from` is null). It leaves by itself after `ms`, or earlier when the next command runs, the
// page turns or another document is shown; the fields then come back as they are by then.
void ShowStatusMessage(QWidget* from, const QString& text, int ms = kStatusMessageMs);
// Takes a passing message away at once, so that the fields show again.
void ClearStatusMessage(QWidget* from = nullptr);

}  // namespace folvek
