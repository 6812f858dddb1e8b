// The two refreshes of the frame that many commands call: the caption with the file-name
// field, and the page field.
#pragma once

namespace folvek {

inline constexpr const char* kFrameTitle = "FolVk";

// Caption "FolVk - " + document path, the path in the file-name field, then UpdatePageStatus.
void ShowDocumentName();
// "Стр. %d из %d" with curPage and pageCount in the page field.
void UpdatePageStatus();

}  // namespace folvek
