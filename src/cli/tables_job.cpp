// Finding the tables and writing them for folvek-print.
#include "tables_job.h"

#include <cstdio>
#include <chrono>

#include "document_grid.h"
#include "progress_bar.h"
#include "table_export.h"
#include "table_finder.h"

namespace folvek {

int exportTablesJob(const DocumentRecord& doc, const std::string& target) {
    auto T0 = std::chrono::steady_clock::now();
    FoundTables found;
    {
        ProgressBar bar("tables");
        found = findTables(documentGrid(doc), [&bar](double share) {
            bar.update(static_cast<int>(share * 100), 100);
            return true;
        });
    }
    auto T1 = std::chrono::steady_clock::now();
    const TableExportResult r = exportTables(found.tables, target);
    auto T2 = std::chrono::steady_clock::now();
    if (getenv("FOLVEK_PHASES")) std::fprintf(stderr, "PHASES find %.3f export %.3f\n", std::chrono::duration<double>(T1-T0).count(), std::chrono::duration<double>(T2-T1).count());
    if (!r.ok) {
        std::fprintf(stderr, "folvek-print: tables: %s\n", r.error.c_str());
        return 1;
    }
    std::fprintf(stderr, "folvek-print: %zu table(s) to %s%s\n", found.tables.size(),
                 r.files.front().c_str(), r.files.size() > 1 ? " ..." : "");
    return 0;
}

}  // namespace folvek
