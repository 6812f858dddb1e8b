// Every grid of the tables' fuzz corpus and every frames fixture searched for tables, compared
// with the account recorded for it: each table's shape, merges and texts, each cell's value as a
// spreadsheet reads it, and every export form's bytes. The corpus reaches nearly every branch of
// the search, so a change of any table shows up here.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "clipboard_forms.h"
#include "csv_writer.h"
#include "document/layout_fakes.h"
#include "document_grid.h"
#include "ods_writer.h"
#include "sheet_text.h"
#include "snapshot_support.h"
#include "table_finder.h"
#include "tables/grid_spelling.h"
#include "xlsx_writer.h"

using namespace folvek;
namespace fs = std::filesystem;

namespace {

void describe(std::ostringstream& out, const FoundTables& found) {
    out << "tables " << found.tables.size() << " stopped " << found.stopped << "\n";
    std::vector<const Table*> all;
    for (const Table& t : found.tables) {
        all.push_back(&t);
        out << "table " << t.rows << "x" << t.columns << " heading " << t.headingRows << " widths";
        for (auto w : t.widths) out << " " << w;
        out << " bounds";
        for (auto b : t.bounds) out << " " << b;
        out << "\n";
        for (const GridSpan& s : t.spans)
            out << " span " << s.firstRow << "-" << s.lastRow << " " << s.firstColumn << "-"
                << s.lastColumn << "\n";
        for (std::int32_t r = 0; r < t.rows; ++r)
            for (std::int32_t c = 0; c < t.columns; ++c) {
                const TableCell& cell = t.at(r, c);
                if (cell.covered) continue;
                const CellValue v = valueOf(t, r, c);
                out << " " << r << "," << c << " " << cell.rowSpan << "x" << cell.columnSpan << " |"
                    << utf8(t.text(cell)) << "| " << static_cast<int>(v.kind);
                if (v.kind != ValueKind::Text)
                    out << " " << plainValue(v, ',') << " " << numberFormat(v) << " " << v.grouped;
                out << "\n";
            }
        out << " csv " << test::snapshotHash(tableCsv(t)) << "\n";
    }
    out << "html " << test::snapshotHash(tablesHtml(all)) << " tsv "
        << test::snapshotHash(utf8(tablesTsv(all))) << "\n";
    if (!found.tables.empty()) {
        std::string xlsx, error;
        const bool ok = xlsxBytes(found.tables, xlsx, error);
        out << "xlsx " << ok << " " << test::snapshotHash(xlsx) << " " << error << " ods "
            << test::snapshotHash(odsBytes(found.tables)) << "\n";
    }
}

std::string gridAccount(const fs::path& input) {
    const std::string bytes = test::snapshotRead(input);
    const CharGrid grid = test::spellGrid(std::string_view(bytes).substr(bytes.empty() ? 0 : 1));
    std::ostringstream out;
    for (bool barsAlone : {false, true}) {
        out << "== bars alone " << barsAlone << "\n";
        describe(out, findTables(grid, {}, barsAlone));
    }
    out << "== parts\n";
    for (const Table& t : findTableParts(grid, {}, 3))
        out << "part " << t.rows << "x" << t.columns << " heading " << t.headingRows << "\n";
    return out.str();
}

std::string reportAccount(const fs::path& input) {
    std::ostringstream out;
    for (int dos = 0; dos < 2; ++dos) {
        test::TestRecord tp;
        tp->setIsDos(dos);
        tp->loadText(input.string());
        tp->paginate();
        out << "== dos " << dos << "\n";
        describe(out, findTables(documentGrid(*tp)));
    }
    return out.str();
}

}  // namespace

TEST(TableSnapshots, EveryCorpusGridGivesTheTablesRecorded) {
    test::checkSnapshots("grid-tables", test::snapshotInputs("fuzz/corpus/fuzz_tables"),
                         gridAccount);
}

TEST(TableSnapshots, TheSamplesAndFramesFixturesGiveTheTablesRecorded) {
    std::vector<fs::path> inputs = test::snapshotInputs("samples");
    for (const fs::path& p : test::snapshotInputs("tests/data/frames")) inputs.push_back(p);
    std::erase_if(inputs, [](const fs::path& p) {
        return p.extension() != ".txt" && p.extension() != ".prn";
    });
    test::checkSnapshots("report-tables", inputs, reportAccount);
}
