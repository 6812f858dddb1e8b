// Finding the tables and writing them for folvek-print.
#include "tables_job.h"

#include <malloc.h>

#include <cstdio>

#include "document_grid.h"
#include "progress_bar.h"
#include "table_export.h"
#include "table_finder.h"

namespace folvek {

int exportTablesJob(const DocumentRecord& doc, const std::string& target) {
    FoundTables found;
    // One malloc arena from here on: the search's threads would each fill one of their own,
    // and what the grid frees in one the export cannot reuse in another (some 15 MB of the
    // 10 MB report's peak; this process ends after the job).
    mallopt(M_ARENA_MAX, 1);
    {
        ProgressBar bar("tables");
        found = findTables(documentGrid(doc), [&bar](double share) {
            bar.update(static_cast<int>(share * 100), 100);
            return true;
        });
    }
    const TableExportResult r = exportTables(found.tables, target);
    if (!r.ok) {
        std::fprintf(stderr, "folvek-print: tables: %s\n", r.error.c_str());
        return 1;
    }
    std::fprintf(stderr, "folvek-print: %zu table(s) to %s%s\n", found.tables.size(),
                 r.files.front().c_str(), r.files.size() > 1 ? " ..." : "");
    return 0;
}

}  // namespace folvek
