// The command that switches a document between its printer job's own pages and the report
// layout, and the reader that gives the viewer's documents their job pages.
#pragma once

#include <string>

#include "document.h"

namespace folvek {

class JobReader;
class ReportView;

// The one reader of printer jobs the viewer's documents use.
JobReader& viewerJobReader();

// What the viewer loads `path` with: its reader of printer jobs, and the layout remembered for
// the document.
LoadOptions viewerLoadOptions(const std::string& settingsDir, const std::string& path);

void registerJobLayoutCommand(ReportView& view);

}  // namespace folvek
