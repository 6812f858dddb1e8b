// The texts every table writer shares, checked byte for byte against UTF-8 and XML 1.0: each
// length of UTF-8, surrogate pairs and lone halves, the characters XML forbids, the escapes;
// the longest text a workbook cell takes; the sheet names; plain decimal numbers; a stopped
// search; the files an export writes and the reasons it gives when it cannot.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "sheet_text.h"
#include "table_export.h"
#include "table_finder.h"
#include "table_text.h"
#include "xlsx_writer.h"
#include "zip_reader.h"

namespace folvek {
namespace {

TEST(SheetText, Utf8AndXmlOfEveryKindOfCharacter) {
    // One, two and three bytes at the edges of each length; a pair at both ends of the planes.
    EXPECT_EQ(utf8(u"A\u007F\u0080\u07FF\u0800\uFFFD"),
              "A\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBD");
    EXPECT_EQ(utf8(u"\U00010000\U0010FFFF"), "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF");
    // A lone half of a pair is no character: the replacement character stands for it.
    EXPECT_EQ(utf8(std::u16string(u"a\xD800"
                                  "b")),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(utf8(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
    EXPECT_EQ(utf8(std::u16string(1, u'\xDBFF')), "\xEF\xBF\xBD") << "a half at the end";

    EXPECT_EQ(xmlEscape(u"a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e'f");
    EXPECT_EQ(xmlEscape(u"№ 5 — Итого"), "\xE2\x84\x96 5 \xE2\x80\x94 Итого");
    // Tab and line feed stay; other controls, lone halves and U+FFFE/U+FFFF are left out.
    EXPECT_EQ(xmlEscape(std::u16string(u"a\tb\nc\x01\x1F\r") + u'\xFFFE' + u'\xFFFF' + u'\xD800' +
                        u"d" + u'\xDC00'),
              "a\tb\nc"
              "d");
    EXPECT_EQ(xmlEscape(u"\U0001F600"), "\xF0\x9F\x98\x80");
    // A pair followed by a character past the halves, by a half, or by nothing.
    EXPECT_EQ(xmlEscape(u"\U0001F600\uFF01"), "\xF0\x9F\x98\x80\xEF\xBC\x81");
    EXPECT_EQ(xmlEscape(u"\U0001F600\uE000x"), "\xF0\x9F\x98\x80\xEE\x80\x80x");
    EXPECT_EQ(xmlEscape(std::u16string(u"\U0001F600") + u'\xDC00'), "\xF0\x9F\x98\x80");
    EXPECT_EQ(xmlEscape(u"\uFFFD\uFFFC"), "\xEF\xBF\xBD\xEF\xBF\xBC");

    EXPECT_EQ(sheetName(0), "Таблица 1");
    EXPECT_EQ(sheetName(41), "Таблица 42");
    std::string n;
    appendNumber(n, 1250.5);
    n += ' ';
    appendNumber(n, 1e15);
    n += ' ';
    appendNumber(n, -0.001);
    n += ' ';
    appendNumber(n, 45291);
    EXPECT_EQ(n, "1250.5 1000000000000000 -0.001 45291");
}

std::string sharedStrings(const std::u16string& text) {
    Table t;
    t.rows = t.columns = 1;
    t.cells.resize(1);
    test::setText(t, t.cells[0], text);
    t.widths = {10};
    std::string bytes, error;
    EXPECT_TRUE(xlsxBytes({t}, bytes, error)) << error;
    return test::readZip(bytes)["xl/sharedStrings.xml"];
}

TEST(SheetText, AWorkbookCellHoldsAtMost32767Units) {
    const std::string fits = sharedStrings(std::u16string(32767, u'x'));
    EXPECT_NE(fits.find("<t>" + std::string(32767, 'x') + "</t>"), std::string::npos);
    const std::string cut = sharedStrings(std::u16string(40000, u'y'));
    EXPECT_NE(cut.find("<t>" + std::string(32767, 'y') + "</t>"), std::string::npos);
    // A pair that the limit would split is left out whole.
    std::u16string paired(32766, u'z');
    paired += u"\U0001F600";
    const std::string withoutHalf = sharedStrings(paired);
    EXPECT_NE(withoutHalf.find("<t>" + std::string(32766, 'z') + "</t>"), std::string::npos);
    std::u16string pairInside(32765, u'w');
    pairInside += u"\U0001F600";
    EXPECT_NE(sharedStrings(pairInside).find(std::string(32765, 'w') + "\xF0\x9F\x98\x80</t>"),
              std::string::npos);
    // Characters above the surrogates (here U+FFFD) are no half of a pair.
    std::u16string replaced(32765, 'v');
    replaced += u"\uFFFDa and more";
    EXPECT_NE(sharedStrings(replaced).find(std::string(32765, 'v') + "\xEF\xBF\xBD"
                                                                     "a</t>"),
              std::string::npos);
    // A pair that ends right at the limit of a longer text is kept whole.
    EXPECT_NE(
        sharedStrings(pairInside + u"tail").find(std::string(32765, 'w') + "\xF0\x9F\x98\x80</t>"),
        std::string::npos);
}

CharGrid framedGrid() {
    CharGrid g;
    for (const std::u16string row : {u"┌──┬──┐", u"│ a│ 1│", u"└──┴──┘"}) g.addRow(row);
    return g;
}

TEST(SheetText, ASearchThatIsToldToStopSaysSo) {
    // Enough tables that the search is cut into pieces and tells how far it is.
    CharGrid many;
    for (int k = 0; k < 5000; ++k) {  // 20 000 rows
        for (const std::u16string row : {u"┌──┬──┐", u"│ a│ 1│", u"└──┴──┘"}) many.addRow(row);
        many.addRow(u"text between");
    }
    // A share below 1 is asked while the pieces are searched; 1 is the end. On a busy machine
    // the pieces may all be done before the first question: a "stop" at the end still stops,
    // so that a cancelled export writes nothing.
    int asked = 0, ended = 0;
    const FoundTables stopped = findTables(many, [&](double share) {
        ++(share < 1.0 ? asked : ended);
        return false;
    });
    EXPECT_TRUE(stopped.stopped);
    EXPECT_TRUE(stopped.tables.empty());
    EXPECT_EQ(asked + ended, 1) << "asked once, then it stops";
    const FoundTables stoppedAtTheEnd = findTables(many, [&](double share) { return share < 1.0; });
    EXPECT_TRUE(stoppedAtTheEnd.stopped);
    EXPECT_TRUE(stoppedAtTheEnd.tables.empty());
    double last = -1;
    const FoundTables whole = findTables(many, [&](double share) {
        EXPECT_GE(share, last) << "the share only grows";
        EXPECT_LE(share, 1.0);
        last = share;
        return true;
    });
    EXPECT_FALSE(whole.stopped);
    EXPECT_EQ(last, 1.0);
    ASSERT_EQ(whole.tables.size(), 5000u);
    EXPECT_EQ(whole.tables[4999].text(0, 1), u"1");
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(SheetText, ExportsWriteEachFileOrSayWhyNot) {
    const std::string dir = ::testing::TempDir() + "sheet_text_" + std::to_string(::getpid());
    ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
    const Table t = findTables(framedGrid()).tables.at(0);
    const TableExportResult csv = exportTables({t, t}, dir + "/r.csv");
    ASSERT_TRUE(csv.ok) << csv.error;
    EXPECT_EQ(csv.files, (std::vector<std::string>{dir + "/r-1.csv", dir + "/r-2.csv"}));
    EXPECT_EQ(readFile(dir + "/r-2.csv"),
              "\xEF\xBB\xBF"
              "a;1\r\n");
    const TableExportResult xlsx = exportTables({t}, dir + "/r.xlsx");
    ASSERT_TRUE(xlsx.ok) << xlsx.error;
    EXPECT_EQ(xlsx.files, std::vector<std::string>{dir + "/r.xlsx"});
    EXPECT_EQ(readFile(dir + "/r.xlsx").compare(0, 2, "PK"), 0);
    const TableExportResult ods = exportTables({t}, dir + "/r.ods");
    ASSERT_TRUE(ods.ok) << ods.error;
    EXPECT_EQ(test::readZip(readFile(dir + "/r.ods"))["mimetype"],
              "application/vnd.oasis.opendocument.spreadsheet");

    // Into a folder that is not there: the file named is the one that could not be written.
    const std::pair<std::string, std::string> missing[] = {{"/none/r.xlsx", "/none/r.xlsx"},
                                                           {"/none/r.ods", "/none/r.ods"},
                                                           {"/none/r.csv", "/none/r-1.csv"}};
    for (const auto& [given, failed] : missing) {
        const TableExportResult r = exportTables({t}, dir + given);
        EXPECT_FALSE(r.ok) << given;
        EXPECT_TRUE(r.files.empty()) << given;
        EXPECT_EQ(r.error.rfind("Не удалось записать " + dir + failed + ": ", 0), 0u) << r.error;
    }
    const TableExportResult other = exportTables({t}, dir + "/r.txt");
    EXPECT_FALSE(other.ok);
    EXPECT_EQ(other.error, "Таблицы сохраняются в файлы .xlsx, .ods или .csv: " + dir + "/r.txt");
    for (const char* f : {"/r-1.csv", "/r-2.csv", "/r.xlsx", "/r.ods"}) ::unlink((dir + f).c_str());
    ::rmdir(dir.c_str());
}

// A report of many tables: each CSV file holds its own table, whole, however the writers share
// them out.
TEST(SheetText, ManyTablesToCsvEachInItsOwnFile) {
    const std::string dir = ::testing::TempDir() + "many_csv_" + std::to_string(::getpid());
    ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
    CharGrid grid;
    for (int k = 0; k < 300; ++k) {
        std::u16string number;
        for (char c : std::to_string(1000 + k)) number += static_cast<char16_t>(c);
        for (const std::u16string& row :
             {std::u16string(u"┌──┬────┐"), u"│ a│" + number + u"│", std::u16string(u"└──┴────┘")})
            grid.addRow(row);
        grid.addRow(u"text between");
    }
    const FoundTables found = findTables(grid);
    ASSERT_EQ(found.tables.size(), 300u);
    const TableExportResult csv = exportTables(found.tables, dir + "/r.csv");
    ASSERT_TRUE(csv.ok) << csv.error;
    ASSERT_EQ(csv.files.size(), 300u);
    for (int k = 0; k < 300; ++k) {
        const std::string file = dir + "/r-" + std::to_string(k + 1) + ".csv";
        EXPECT_EQ(readFile(file),
                  "\xEF\xBB\xBF"
                  "a;" +
                      std::to_string(1000 + k) + "\r\n")
            << file;
        ::unlink(file.c_str());
    }
    EXPECT_EQ(::rmdir(dir.c_str()), 0) << "nothing else left in the folder";
}

}  // namespace
}  // namespace folvek
