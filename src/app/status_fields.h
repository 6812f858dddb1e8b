// The two refreshes of the frame that many commands call: the caption with the file-name
// field, and the page field.
#pragma once

namespace folvek {

inline constexpr const char* kFrameTitle = "FolVk";

// Caption "FolVk - " + document path, the path in the file-name field, then UpdatePageStatus.
void ShowDocumentName();
// "Стр. %d из %d" with curPage and pageCount in the page field.
void UpdatePageStatus();
// The encoding of the shown document ("866", "1251", "KOI8-R", "UTF-8"), with the count of
// characters shown as '?' when there were any; empty without a document.
void UpdateEncodingStatus();

}  // namespace folvek
