// Character grids of any shape: the tables found are well formed (every cell inside its table,
// every merge inside the grid of cells, every text inside the table's texts) and every export
// form writes them.
#include <cstdint>
#include <string_view>

#include "clipboard_forms.h"
#include "csv_writer.h"
#include "fuzz_support.h"
#include "ods_writer.h"
#include "table_finder.h"
#include "tables/grid_spelling.h"
#include "xlsx_writer.h"

using namespace folvek;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 8192) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const CharGrid grid = test::spellGrid(bytes.substr(size ? 1 : 0));
    const bool barsAlone = size && (data[0] & 1);
    const FoundTables found = findTables(grid, {}, barsAlone);
    std::vector<const Table*> all;
    for (const Table& t : found.tables) {
        FUZZ_CHECK(t.rows > 0 && t.columns > 0);
        FUZZ_CHECK(t.cells.size() == static_cast<std::size_t>(t.rows) * t.columns);
        FUZZ_CHECK(t.widths.size() == static_cast<std::size_t>(t.columns));
        FUZZ_CHECK(t.headingRows >= 0 && t.headingRows <= t.rows);
        for (std::int32_t r = 0; r < t.rows; ++r)
            for (std::int32_t c = 0; c < t.columns; ++c) {
                const TableCell& cell = t.at(r, c);
                FUZZ_CHECK(cell.textAt + cell.textSize <= t.texts.size());
                FUZZ_CHECK(cell.rowSpan >= 1 && r + cell.rowSpan <= t.rows);
                FUZZ_CHECK(cell.columnSpan >= 1 && c + cell.columnSpan <= t.columns);
            }
        for (const GridSpan& s : t.spans)
            FUZZ_CHECK(s.firstRow <= s.lastRow &&
                       s.lastRow < static_cast<std::int64_t>(grid.rows.size()));
        tableCsv(t);
        all.push_back(&t);
    }
    tablesHtml(all);
    tablesTsv(all);
    if (!found.tables.empty()) {
        std::string xlsx, error;
        FUZZ_CHECK(xlsxBytes(found.tables, xlsx, error));
        FUZZ_CHECK(!odsBytes(found.tables).empty());
    }
    return 0;
}
