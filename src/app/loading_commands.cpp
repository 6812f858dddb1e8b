// Which commands wait for the rest of a file being read.
#include "loading_commands.h"

#include "command_ids.h"
#include "document_record.h"

namespace folvek {

bool commandWaitsForWholeText(int id, const DocumentRecord& record) {
    switch (id) {
        case CmPrint:
        case CmPrintCurrent:
        case CmExportPdf:
        case CmFind:
        case CmFindNext:
        case CmFindPrevious:
        case CmCopyTable:
        case CmSaveTables:
        case CmLastPage:
        case CmGoToPage:
        case CmJobLayout:
            return true;
        case CmNextPage:
            return record.curPage + 1 >= record.pageCount;
        default:
            return false;
    }
}

}  // namespace folvek
