// The two refreshes of the frame that many commands call: the caption with the file-name
// field, and the page field.
#pragma once

class QString;
class QWidget;

namespace folvek {

inline constexpr const char* kFrameTitle = "FolVk";

// Caption "FolVk - " + document path, the path in the file-name field, then UpdatePageStatus.
void ShowDocumentName();
// "Стр. %d из %d" with curPage and pageCount in the page field (and the encoding and width
// fields, which change with it).
void UpdatePageStatus();
// The encoding of the shown document ("866", "1251", "KOI8-R", "UTF-8"), with the count of
// characters shown as '?' when there were any; empty without a document.
void UpdateEncodingStatus();
// Lines cut at the sheet's edge with the key that fits them, or the size the fit chose; empty
// when neither applies. The fit command's check mark follows FitWidth.
void UpdateWidthStatus();

// How long a passing message ("Найдено: ...", "Страница 3 скопирована") covers the fields.
inline constexpr int kStatusMessageMs = 5000;
// Shows a passing message in the status bar of the frame that holds `from` (the main frame when
// `from` is null). It leaves by itself after `ms`, or earlier when the next command runs, the
// page turns or another document is shown; the fields then come back as they are by then.
void ShowStatusMessage(QWidget* from, const QString& text, int ms = kStatusMessageMs);
// Takes a passing message away at once, so that the fields show again.
void ClearStatusMessage(QWidget* from = nullptr);

}  // namespace folvek
