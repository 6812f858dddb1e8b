// The tables of a printer job laid out by itself: found on the text its pages print (an ESC/P
// form whose frame is placed with ESC $), and the one under a point of its page.
#include <gtest/gtest.h>

#include "document/layout_fakes.h"
#include "document_grid.h"
#include "job_interpreter.h"
#include "job_places.h"
#include "job_sheet.h"
#include "printed_job.h"
#include "table_finder.h"

namespace folvek {
namespace {

using namespace std::string_literals;

TEST(JobTables, AFramedTablePlacedByTheJobIsFoundAndPointedAt) {
    // CP866 box drawing, every row placed 1 inch from the left by ESC $; a heading above.
    const std::string job =
        "\x1b@Report\r\n"s + "\x1b$\x3c\x00\xda\xc4\xc4\xc4\xc2\xc4\xc4\xc4\xbf\r\n"s +
        "\x1b$\x3c\x00\xb3 a \xb3 1 \xb3\r\n"s + "\x1b$\x3c\x00\xb3 b \xb3 2 \xb3\r\n"s +
        "\x1b$\x3c\x00\xc0\xc4\xc4\xc4\xc1\xc4\xc4\xc4\xd9\r\n\f"s;
    test::TestRecord t;
    t.setLines({"the loader's own lines", "|", "|"});
    t->jobLayout = std::make_shared<printer::PrintedJob>(printer::interpretJob(job));
    t->paginate();
    const CharGrid grid = documentGrid(*t);
    ASSERT_EQ(grid.rows.size(), 5u);
    EXPECT_EQ(std::u16string(grid.rows[2]), u"          │ a │ 1 │");
    const FoundTables found = findTables(grid);
    ASSERT_EQ(found.tables.size(), 1u);
    const Table& table = found.tables[0];
    EXPECT_EQ(table.rows, 2);
    EXPECT_EQ(table.columns, 2);
    EXPECT_EQ(table.text(1, 1), u"2");

    // The character nearest a point of the page: in the table on the "b" line, "2"'s column.
    const printer::JobPage& page = jobDocumentOf(*t)->pages[0];
    const printer::JobTextRun* row = nullptr;
    for (const printer::JobTextRun& r : page.runs)
        if (r.text.find(U'b') != std::u32string::npos) row = &r;
    ASSERT_NE(row, nullptr);
    std::int64_t line = 0;
    std::int32_t column = 0;
    const Cell onTwo{row->y - row->cellHeight / 4, row->x + 6 * row->advance + row->advance / 2};
    ASSERT_TRUE(jobGridCell(*t, 1, onTwo, line, column));
    EXPECT_EQ(line, 3);
    EXPECT_EQ(column, 16);
    EXPECT_EQ(tableAt(found.tables, line, column), 0);
}

}  // namespace
}  // namespace folvek
