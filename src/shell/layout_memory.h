// The layout the user chose for a document (the job's own pages or the report's), remembered
// per document beside the history: layouts.cfg in the settings directory, one line per
// document that has a choice, "job" or "report", a tab and the document's canonical path.
// Documents without a line let their commands decide.
#pragma once

#include <string>

#include "job_layout.h"

namespace folvek::layout_memory {

inline constexpr const char* kFileName = "layouts.cfg";

// The choice remembered for `documentPath`; Auto when there is none.
LayoutMode lookup(const std::string& settingsDir, const std::string& documentPath);

// Remembers `mode` for the document (Auto forgets it); the file is replaced whole, through a
// temporary file. False when it could not be written.
bool remember(const std::string& settingsDir, const std::string& documentPath, LayoutMode mode);

}  // namespace folvek::layout_memory
