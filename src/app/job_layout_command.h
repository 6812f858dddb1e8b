// The command that switches a document between its printer job's own pages and the report
// layout, and the reader that gives the viewer's documents their job pages.
#pragma once

#include <string>

namespace folvek {

class DocumentRecord;
class JobReader;
class ReportView;

// The one reader of printer jobs the viewer's documents use.
JobReader& viewerJobReader();

// Before `path` is loaded into `doc`: the reader, and the layout remembered for the document.
void prepareJobLayout(DocumentRecord& doc, const std::string& settingsDir, const std::string& path);

void registerJobLayoutCommand(ReportView& view);

}  // namespace folvek
