// The two refreshes of the frame that many commands call: the caption with the file-name
// field, and the page field.
#pragma once

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

}  // namespace folvek
