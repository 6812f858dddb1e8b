// The headless tools' one-line note about text that does not reach the paper.
#pragma once

#include <string>

namespace folvek {

class DocumentRecord;

// "WARNING: N lines are wider than the sheet and are cut at its edge (the widest has W
// columns, a sheet holds C); " followed by `fitHint` (how this tool fits them); empty when the
// last pagination cut nothing.
std::string cutLinesWarning(const DocumentRecord& doc, const std::string& fitHint);

}  // namespace folvek
