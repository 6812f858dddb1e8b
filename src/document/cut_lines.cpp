// The note the headless tools write when lines are cut.
#include "cut_lines.h"

#include "document_record.h"

namespace folvek {

std::string cutLinesWarning(const DocumentRecord& doc, const std::string& fitHint) {
    if (doc.linesCut <= 0) return {};
    const std::string lines =
        doc.linesCut == 1 ? "1 line is" : std::to_string(doc.linesCut) + " lines are";
    // With wrapping only a line that fills its page can be wider than its page's sheets.
    const std::string where =
        doc.isWrap ? "wider than their pages' continuation sheets" : "wider than the sheet";
    return "WARNING: " + lines + " " + where + " and cut (the widest has " +
           std::to_string(doc.widestLine) + " columns, a sheet holds " +
           std::to_string(doc.sheetColumns) + "); " + fitHint;
}

}  // namespace folvek
