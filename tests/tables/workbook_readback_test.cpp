// The spreadsheet files read back the way a spreadsheet program reads them: the workbook
// unpacked, each cell found by its reference, its style followed to the number format it
// shows, the merges, the frozen heading and the sheet list checked; the OpenDocument content
// walked row by row with its spans and number styles; the CSV of the same table byte for
// byte. The table is made by hand: a two-row heading with merges, every number form, a date,
// a multi-line text, codes, and columns past Z.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>
#include <vector>

#include "csv_writer.h"
#include "ods_writer.h"
#include "table_export.h"
#include "table_text.h"
#include "xlsx_writer.h"
#include "zip_reader.h"

namespace folvek {
namespace {

using test::readZip;

Table handMade() {
    Table t;
    t.rows = 5;
    t.columns = 28;
    t.headingRows = 2;
    t.cells.resize(std::size_t(t.rows) * t.columns);
    t.widths.assign(28, 3);
    t.widths[0] = 6;
    t.widths[1] = 10;
    test::setText(t, t.at(0, 0), u"Код");
    t.at(0, 0).rowSpan = 2;
    t.at(0, 0).columnSpan = 1;
    t.at(1, 0).covered = true;
    test::setText(t, t.at(0, 1), u"Сумма");
    t.at(0, 1).rowSpan = 1;
    t.at(0, 1).columnSpan = 2;
    t.at(0, 2).covered = true;
    test::setText(t, t.at(0, 3), u"2023");  // a heading is text even when it reads as a number
    test::setText(t, t.at(1, 1), u"приход");
    test::setText(t, t.at(1, 2), u"расход");
    const std::u16string row2[] = {
        u"000123", u"1 250,50", u"-15,5", u"31.12.2023", u"строка\nвторая", u"a;\"b\"", u" lead",
        u"42",     u"12 345",   u"0,75",  u"1,5",        u"1 000,125",      u"<&>\x01"};
    for (int c = 0; c < 13; ++c) test::setText(t, t.at(2, c), row2[c]);
    test::setText(t, t.at(3, 0), u"Код");  // the same text as a heading: one shared string
    test::setText(t, t.at(3, 26), u"Итого");
    t.at(3, 26).rowSpan = 2;
    t.at(3, 26).columnSpan = 2;
    t.at(3, 27).covered = t.at(4, 26).covered = t.at(4, 27).covered = true;
    test::setText(t, t.at(4, 25), u"(7,25)");
    test::setText(t, t.at(4, 1), u"29.02.2024");
    return t;
}

Table oneCell(const std::u16string& text, std::int32_t headingRows) {
    Table t;
    t.rows = 1;
    t.columns = 1;
    t.headingRows = headingRows;
    t.cells.resize(1);
    test::setText(t, t.cells[0], text);
    t.widths = {4};
    return t;
}

std::string unescape(std::string s) {
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [from, to] : entities)
        for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + 1))
            s.replace(at, std::string(from).size(), to);
    return s;
}

// Each match's groups, copied out of the text.
std::vector<std::vector<std::string>> all(const std::string& text, const std::regex& re) {
    std::vector<std::vector<std::string>> out;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator();
         ++it) {
        out.emplace_back();
        for (const auto& group : *it) out.back().push_back(group.str());
    }
    return out;
}

std::string between(const std::string& text, const std::string& open, const std::string& close) {
    const std::size_t a = text.find(open);
    if (a == std::string::npos) return {};
    const std::size_t b = text.find(close, a);
    return text.substr(a, b == std::string::npos ? std::string::npos : b - a);
}

// A workbook as a reader sees it: each cell's shown value and number format.
struct Workbook {
    std::map<std::string, std::string> files;
    std::vector<std::string> strings;
    std::vector<std::string> formatOfStyle;  // by cellXfs index
    std::vector<bool> boldStyle, borderedStyle;

    struct Cell {
        bool found = false, isString = false;
        std::string value, format;
        bool bold = false, bordered = false;
    };

    explicit Workbook(const std::string& bytes) : files(readZip(bytes)) {
        for (const auto& m : all(files["xl/sharedStrings.xml"],
                                 std::regex("<si><t( xml:space=\"preserve\")?>([^<]*)</t></si>")))
            strings.push_back(unescape(m[2]));
        const std::string styles = files["xl/styles.xml"];
        std::map<int, std::string> formats = {{0, "General"}, {1, "0"},        {2, "0.00"},
                                              {3, "#,##0"},   {4, "#,##0.00"}, {49, "@"}};
        for (const auto& m :
             all(styles, std::regex("<numFmt numFmtId=\"(\\d+)\" formatCode=\"([^\"]*)\"/>")))
            formats[std::stoi(m[1])] = unescape(m[2]);
        std::vector<bool> boldFont, thinBorder;
        for (const auto& m :
             all(between(styles, "<fonts", "</fonts>"), std::regex("<font>(.*?)</font>")))
            boldFont.push_back(m[1].find("<b/>") != std::string::npos);
        for (const auto& m :
             all(between(styles, "<borders", "</borders>"), std::regex("<border>(.*?)</border>")))
            thinBorder.push_back(m[1].find("<left style=\"thin\">") != std::string::npos &&
                                 m[1].find("<bottom style=\"thin\">") != std::string::npos);
        for (const auto& m : all(between(styles, "<cellXfs", "</cellXfs>"),
                                 std::regex("<xf numFmtId=\"(\\d+)\" fontId=\"(\\d+)\" "
                                            "fillId=\"\\d+\" borderId=\"(\\d+)\""))) {
            const int id = std::stoi(m[1]);
            formatOfStyle.push_back(formats.count(id) ? formats[id] : "?" + m[1]);
            boldStyle.push_back(boldFont.at(std::stoul(m[2])));
            borderedStyle.push_back(thinBorder.at(std::stoul(m[3])));
        }
    }

    std::string sheet(int n) { return files["xl/worksheets/sheet" + std::to_string(n) + ".xml"]; }

    Cell cell(int sheetNumber, const std::string& ref) {
        Cell out;
        const std::regex re("<c r=\"" + ref + "\" s=\"(\\d+)\"( t=\"s\")?(/>|><v>([^<]*)</v></c>)");
        std::smatch m;
        const std::string xml = sheet(sheetNumber);
        if (!std::regex_search(xml, m, re)) return out;
        out.found = true;
        const std::size_t style = std::stoul(m[1]);
        out.format = style < formatOfStyle.size() ? formatOfStyle[style] : "no such style";
        out.bold = style < boldStyle.size() && boldStyle[style];
        out.bordered = style < borderedStyle.size() && borderedStyle[style];
        out.isString = m[2].matched;
        out.value = m[4];
        if (out.isString) {
            const std::size_t k = std::stoul(out.value);
            out.value = k < strings.size() ? strings[k] : "no such string";
        }
        return out;
    }
};

TEST(WorkbookReadBack, XlsxCellsShowTheirValuesInTheirFormats) {
    std::string bytes, error;
    ASSERT_TRUE(xlsxBytes({handMade(), oneCell(u"Итого", 1), oneCell(u"7", 0)}, bytes, error))
        << error;
    Workbook book(bytes);
    struct Case {
        const char* ref;
        bool isString;
        std::string value, format;
        bool bold;
    };
    const Case cases[] = {
        {"A1", true, "Код", "General", true},
        {"B1", true, "Сумма", "General", true},
        {"D1", true, "2023", "General", true},
        {"C2", true, "расход", "General", true},
        {"A3", true, "000123", "General", false},
        {"B3", false, "1250.5", "#,##0.00", false},
        {"C3", false, "-15.5", "0.0", false},
        {"D3", false, "45291", "dd.mm.yyyy", false},
        {"E3", true, "строка\nвторая", "General", false},
        {"F3", true, "a;\"b\"", "General", false},
        {"H3", false, "42", "0", false},
        {"I3", false, "12345", "#,##0", false},
        {"J3", false, "0.75", "0.00", false},
        {"K3", false, "1.5", "0.0", false},
        {"L3", false, "1000.125", "#,##0.000", false},
        {"M3", true, "<&>", "General", false},
        {"A4", true, "Код", "General", false},
        {"AA4", true, "Итого", "General", false},
        {"Z5", false, "-7.25", "0.00", false},
        {"B5", false, "45351", "dd.mm.yyyy", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ref);
        const Workbook::Cell cell = book.cell(1, c.ref);
        ASSERT_TRUE(cell.found);
        EXPECT_EQ(cell.isString, c.isString);
        EXPECT_EQ(cell.value, c.value);
        EXPECT_EQ(cell.format, c.format);
        EXPECT_EQ(cell.bold, c.bold);
        EXPECT_TRUE(cell.bordered) << "every cell of a table has its frame";
    }
    // Covered and empty cells are there, valueless, so that their borders show.
    for (const char* ref : {"C1", "A2", "AB4", "AA5", "AB5", "N3", "AB3"}) {
        const Workbook::Cell cell = book.cell(1, ref);
        EXPECT_TRUE(cell.found && cell.value.empty() && !cell.isString && cell.bordered) << ref;
    }
    EXPECT_FALSE(book.cell(1, "AC3").found) << "28 columns end at AB";
    EXPECT_TRUE(book.cell(2, "A1").bold) << "a table of heading only";
    EXPECT_EQ(book.cell(3, "A1").format, "0");
    EXPECT_EQ(book.cell(3, "A1").value, "7");
    // The text "Итого" of the second sheet is the one of the first.
    EXPECT_EQ(book.strings.size(), 11u);
    EXPECT_NE(book.files["xl/sharedStrings.xml"].find("count=\"13\" uniqueCount=\"11\""),
              std::string::npos);
    EXPECT_NE(book.files["xl/sharedStrings.xml"].find(
                  "<si><t xml:space=\"preserve\">строка\nвторая</t></si>"),
              std::string::npos);
    EXPECT_NE(book.files["xl/sharedStrings.xml"].find("<si><t xml:space=\"preserve\"> lead</t>"),
              std::string::npos);
}

TEST(WorkbookReadBack, XlsxSheetsMergesPanesAndParts) {
    std::string bytes, error;
    ASSERT_TRUE(xlsxBytes({handMade(), oneCell(u"Итого", 1), oneCell(u"7", 0)}, bytes, error))
        << error;
    Workbook book(bytes);
    const std::string s1 = book.sheet(1), s2 = book.sheet(2), s3 = book.sheet(3);
    EXPECT_NE(s1.find("<dimension ref=\"A1:AB5\"/>"), std::string::npos);
    EXPECT_NE(s2.find("<dimension ref=\"A1:A1\"/>"), std::string::npos);
    EXPECT_NE(s1.find("<mergeCells count=\"3\"><mergeCell ref=\"A1:A2\"/><mergeCell "
                      "ref=\"B1:C1\"/><mergeCell ref=\"AA4:AB5\"/></mergeCells>"),
              std::string::npos);
    EXPECT_EQ(s2.find("<mergeCells"), std::string::npos);
    // The heading stays in view; a sheet of heading only or with none has no pane.
    EXPECT_NE(s1.find("<pane ySplit=\"2\" topLeftCell=\"A3\" activePane=\"bottomLeft\" "
                      "state=\"frozen\"/>"),
              std::string::npos);
    EXPECT_EQ(s2.find("<pane"), std::string::npos);
    EXPECT_EQ(s3.find("<pane"), std::string::npos);
    EXPECT_NE(s1.find("tabSelected=\"1\""), std::string::npos);
    EXPECT_EQ(s2.find("tabSelected"), std::string::npos) << "one sheet is selected";
    // Columns as wide as in the report, and a character more.
    EXPECT_NE(s1.find("<col min=\"1\" max=\"1\" width=\"7\" customWidth=\"1\"/><col min=\"2\" "
                      "max=\"2\" width=\"11\""),
              std::string::npos);
    EXPECT_NE(s1.find("<col min=\"28\" max=\"28\" width=\"4\" customWidth=\"1\"/></cols>"),
              std::string::npos);
    // Rows numbered from 1, each once.
    for (int r = 1; r <= 5; ++r)
        EXPECT_NE(s1.find("<row r=\"" + std::to_string(r) + "\">"), std::string::npos) << r;
    EXPECT_EQ(s1.find("<row r=\"6\">"), std::string::npos);

    // Every sheet is named, related and typed; every relation's target is in the package.
    const std::string workbook = book.files["xl/workbook.xml"];
    const std::string rels = book.files["xl/_rels/workbook.xml.rels"];
    const std::string types = book.files["[Content_Types].xml"];
    for (int k = 1; k <= 3; ++k) {
        const std::string n = std::to_string(k);
        EXPECT_NE(workbook.find("<sheet name=\"Таблица " + n + "\" sheetId=\"" + n +
                                "\" r:id=\"rId" + n + "\"/>"),
                  std::string::npos)
            << k;
        EXPECT_NE(types.find("PartName=\"/xl/worksheets/sheet" + n + ".xml\""), std::string::npos);
    }
    EXPECT_EQ(workbook.find("sheetId=\"4\""), std::string::npos);
    const auto targets = all(rels, std::regex("Id=\"(rId\\d+)\" Type=\"[^\"]*/([A-Za-z]+)\" "
                                              "Target=\"([^\"]+)\""));
    ASSERT_EQ(targets.size(), 5u);
    std::map<std::string, std::string> byId;
    for (const auto& m : targets) {
        EXPECT_TRUE(book.files.count("xl/" + m[3])) << m[3];
        byId[m[1]] = m[2] + " " + m[3];
    }
    EXPECT_EQ(byId["rId3"], "worksheet worksheets/sheet3.xml");
    EXPECT_EQ(byId["rId4"], "styles styles.xml");
    EXPECT_EQ(byId["rId5"], "sharedStrings sharedStrings.xml");
    EXPECT_NE(book.files["_rels/.rels"].find("Target=\"xl/workbook.xml\""), std::string::npos);
    EXPECT_TRUE(book.files.count("xl/workbook.xml"));
}

TEST(WorkbookReadBack, XlsxRefusesATableLargerThanASheet) {
    Table tall;
    tall.rows = 1048577;
    tall.columns = 1;
    std::string bytes, error;
    EXPECT_FALSE(xlsxBytes({tall}, bytes, error));
    EXPECT_NE(error.find("1 048 576"), std::string::npos);
    Table wide;
    wide.rows = 1;
    wide.columns = 16385;
    error.clear();
    EXPECT_FALSE(xlsxBytes({wide}, bytes, error));
    EXPECT_FALSE(error.empty());
    // At the limit itself a column is still allowed: the last is XFD.
    Table widest;
    widest.rows = 1;
    widest.columns = 16384;
    widest.cells.resize(16384);
    widest.widths.assign(16384, 1);
    test::setText(widest, widest.cells.back(), u"край");
    ASSERT_TRUE(xlsxBytes({widest}, bytes, error)) << error;
    Workbook book(bytes);
    EXPECT_EQ(book.cell(1, "XFD1").value, "край");
    EXPECT_NE(book.sheet(1).find("<dimension ref=\"A1:XFD1\"/>"), std::string::npos);
    // And a row: the last is 1048576.
    Table tallest;
    tallest.rows = 1048576;
    tallest.columns = 1;
    tallest.cells.resize(1048576);
    tallest.widths.assign(1, 1);
    test::setText(tallest, tallest.cells.back(), u"низ");
    ASSERT_TRUE(xlsxBytes({tallest}, bytes, error)) << error;
    // Looked up by plain search: the cell pattern would crawl a sheet of a million rows.
    Workbook last(bytes);
    EXPECT_NE(last.sheet(1).rfind("<c r=\"A1048576\""), std::string::npos);
    EXPECT_EQ(last.strings, std::vector<std::string>{"низ"});
}

// The OpenDocument content: one row element per row, one cell element per column.
struct OdsSheet {
    std::vector<std::vector<std::string>> rows;  // each cell's whole element
};

std::vector<OdsSheet> odsSheets(const std::string& content) {
    std::vector<OdsSheet> out;
    const std::regex cellRe(
        "<table:covered-table-cell/>|<table:table-cell[^>]*/>|<table:table-cell[^>]*>.*?"
        "</table:table-cell>");
    for (const auto& t : all(content, std::regex("<table:table table:name=[^>]*>(.*?)"
                                                 "</table:table>"))) {
        OdsSheet sheet;
        for (const auto& r : all(t[1], std::regex("<table:table-row>(.*?)</table:table-row>"))) {
            sheet.rows.emplace_back();
            for (const auto& c : all(r[1], cellRe)) sheet.rows.back().push_back(c[0]);
        }
        out.push_back(sheet);
    }
    return out;
}

std::string attribute(const std::string& element, const std::string& name) {
    std::smatch m;
    if (!std::regex_search(element, m, std::regex(" " + name + "=\"([^\"]*)\""))) return "-";
    return m[1];
}

// The number format a cell style shows, in the spreadsheet's own words: "2 grouped",
// "0", "date".
std::string odsFormat(const std::string& content, const std::string& cellStyle) {
    std::smatch m;
    if (!std::regex_search(content, m,
                           std::regex("<style:style style:name=\"" + cellStyle +
                                      "\" style:family=\"table-cell\" "
                                      "style:data-style-name=\"([^\"]+)\"/>")))
        return "no cell style " + cellStyle;
    const std::string data = m[1];
    if (std::regex_search(
            content, m,
            std::regex("<number:date-style style:name=\"" + data + "\">(.*?)</number:date-style>")))
        return m[1] == "<number:day number:style=\"long\"/><number:text>.</number:text>"
                       "<number:month number:style=\"long\"/><number:text>.</number:text>"
                       "<number:year number:style=\"long\"/>"
                   ? "date"
                   : "odd date " + m[1].str();
    if (!std::regex_search(content, m,
                           std::regex("<number:number-style style:name=\"" + data +
                                      "\"><number:number ([^/]*)/></number:number-style>")))
        return "no number style " + data;
    const std::string number = " " + m[1].str();
    return attribute(number, "number:decimal-places") +
           (attribute(number, "number:grouping") == "true" ? " grouped" : "") +
           (attribute(number, "number:min-integer-digits") == "1" ? "" : " no leading zero");
}

TEST(WorkbookReadBack, OdsCellsSpansAndNumberStyles) {
    const std::string bytes = odsBytes({handMade(), oneCell(u"Итого", 1)});
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.compare(30, 8, "mimetype"), 0) << "the stored mimetype comes first";
    auto files = readZip(bytes);
    EXPECT_EQ(files["mimetype"], "application/vnd.oasis.opendocument.spreadsheet");
    EXPECT_NE(files["META-INF/manifest.xml"].find("manifest:full-path=\"content.xml\""),
              std::string::npos);
    EXPECT_TRUE(files.count("styles.xml"));
    const std::string content = files["content.xml"];
    const auto sheets = odsSheets(content);
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_NE(content.find("<table:table table:name=\"Таблица 2\">"), std::string::npos);
    const auto& rows = sheets[0].rows;
    ASSERT_EQ(rows.size(), 5u);
    for (const auto& row : rows) ASSERT_EQ(row.size(), 28u);

    EXPECT_EQ(attribute(rows[0][0], "table:number-rows-spanned"), "2");
    EXPECT_EQ(attribute(rows[0][0], "table:number-columns-spanned"), "-");
    EXPECT_EQ(attribute(rows[0][1], "table:number-columns-spanned"), "2");
    EXPECT_EQ(attribute(rows[0][1], "table:number-rows-spanned"), "-");
    EXPECT_EQ(attribute(rows[3][26], "table:number-columns-spanned"), "2");
    EXPECT_EQ(attribute(rows[3][26], "table:number-rows-spanned"), "2");
    for (auto [r, c] : {std::pair{0, 2}, {1, 0}, {3, 27}, {4, 26}, {4, 27}})
        EXPECT_EQ(rows[r][c], "<table:covered-table-cell/>") << r << "," << c;
    EXPECT_EQ(rows[0][3],
              "<table:table-cell office:value-type=\"string\"><text:p>2023</text:p>"
              "</table:table-cell>")
        << "a heading is text";

    struct Case {
        int r, c;
        std::string type, value, format;
    };
    const Case numbers[] = {
        {2, 1, "float", "1250.5", "2 grouped"},
        {2, 2, "float", "-15.5", "1"},
        {2, 7, "float", "42", "0"},
        {2, 8, "float", "12345", "0 grouped"},
        {2, 9, "float", "0.75", "2"},
        {2, 11, "float", "1000.125", "3 grouped"},
        {4, 25, "float", "-7.25", "2"},
        {2, 3, "date", "2023-12-31", "date"},
        {4, 1, "date", "2024-02-29", "date"},
    };
    for (const Case& n : numbers) {
        const std::string& cell = rows[n.r][n.c];
        SCOPED_TRACE(cell);
        EXPECT_EQ(attribute(cell, "office:value-type"), n.type);
        EXPECT_EQ(attribute(cell, n.type == "date" ? "office:date-value" : "office:value"),
                  n.value);
        EXPECT_EQ(odsFormat(content, attribute(cell, "table:style-name")), n.format);
    }
    EXPECT_EQ(rows[2][0],
              "<table:table-cell office:value-type=\"string\"><text:p>000123</text:p>"
              "</table:table-cell>");
    EXPECT_EQ(rows[2][4],
              "<table:table-cell office:value-type=\"string\"><text:p>строка</text:p>"
              "<text:p>вторая</text:p></table:table-cell>");
    EXPECT_EQ(rows[2][12],
              "<table:table-cell office:value-type=\"string\"><text:p>&lt;&amp;&gt;"
              "</text:p></table:table-cell>");
    EXPECT_EQ(rows[2][13], "<table:table-cell/>");
    // Every number style a cell may name is declared, up to fifteen decimals.
    EXPECT_EQ(odsFormat(content, "ce15g"), "15 grouped");
    EXPECT_EQ(odsFormat(content, "ce0"), "0");

    // Columns as wide as in the report: 0.4 cm and 0.22 cm a character.
    const auto columns = all(content, std::regex("<table:table-column table:style-name=\"([^\"]+)"
                                                 "\"/>"));
    ASSERT_EQ(columns.size(), 29u);
    std::map<std::string, std::string> widths;
    for (const auto& m : all(content, std::regex("<style:style style:name=\"(co\\d+)\" "
                                                 "style:family=\"table-column\"><style:table-"
                                                 "column-properties style:column-width=\"([^\"]+)"
                                                 "\"/>")))
        widths[m[1]] = m[2];
    EXPECT_EQ(widths[columns[0][1]], "1.72cm");
    EXPECT_EQ(widths[columns[1][1]], "2.60cm");
    EXPECT_EQ(widths[columns[2][1]], "1.06cm");
    EXPECT_EQ(widths[columns[28][1]], "1.28cm") << "the second table's one column of 4";
}

std::string csvLine(std::vector<std::string> fields) {
    fields.resize(28);
    std::string line;
    for (std::size_t k = 0; k < fields.size(); ++k) line += (k ? ";" : "") + fields[k];
    return line + "\r\n";
}

TEST(WorkbookReadBack, OdsOneLetterIsAStringCellAndAnEmptyCellIsNone) {
    for (const std::u16string& text : {std::u16string(u"x"), std::u16string(u"Я")}) {
        auto files = readZip(odsBytes({oneCell(text, 0)}));
        const std::string& content = files["content.xml"];
        EXPECT_NE(content.find("<table:table-cell office:value-type=\"string\"><text:p>"),
                  std::string::npos);
    }
    auto files = readZip(odsBytes({oneCell(u"", 0)}));
    EXPECT_EQ(files["content.xml"].find("office:value-type"), std::string::npos);
}

TEST(WorkbookReadBack, CsvQuotesWhatWouldSplitAFieldOrARow) {
    const std::string csv = tableCsv(handMade());
    std::vector<std::string> last(26);
    last[1] = "29.02.2024";
    last[25] = "-7,25";
    std::vector<std::string> total(27);
    total[0] = "Код";
    total[26] = "Итого";
    const std::string expected = "\xEF\xBB\xBF" + csvLine({"Код", "Сумма", "", "2023"}) +
                                 csvLine({"", "приход", "расход"}) +
                                 csvLine({"000123", "1250,50", "-15,5", "31.12.2023",
                                          "\"строка\nвторая\"", "\"a;\"\"b\"\"\"", "\" lead\"",
                                          "42", "12345", "0,75", "1,5", "1000,125", "<&>\x01"}) +
                                 csvLine(total) + csvLine(last);
    EXPECT_EQ(csv, expected);
    EXPECT_EQ(tableCsv(oneCell(u"end ", 0)), "\xEF\xBB\xBF\"end \"\r\n");
    EXPECT_EQ(tableCsv(oneCell(u"a\rb", 0)), "\xEF\xBB\xBF\"a\rb\"\r\n");
    EXPECT_EQ(tableCsv(oneCell(u"", 0)), "\xEF\xBB\xBF\r\n");
}

TEST(WorkbookReadBack, FormatsFollowTheExtension) {
    EXPECT_EQ(tableFormatOf("/tmp/a.XLSX"), TableFormat::Xlsx);
    EXPECT_EQ(tableFormatOf("a.Ods"), TableFormat::Ods);
    EXPECT_EQ(tableFormatOf("a.csv"), TableFormat::Csv);
    EXPECT_EQ(tableFormatOf("a.xls"), TableFormat::None);
    EXPECT_EQ(tableFormatOf("/tmp/dir.csv/report"), TableFormat::None) << "a dot in a folder";
    EXPECT_EQ(tableFormatOf("report"), TableFormat::None);
    EXPECT_EQ(tableFiles("/tmp/r.CSV", 3),
              (std::vector<std::string>{"/tmp/r-1.CSV", "/tmp/r-2.CSV", "/tmp/r-3.CSV"}));
    EXPECT_EQ(tableFiles("/tmp/r.xlsx", 3), (std::vector<std::string>{"/tmp/r.xlsx"}));

    const TableExportResult none = exportTables({}, "/tmp/never-written.xlsx");
    EXPECT_FALSE(none.ok);
    EXPECT_EQ(none.error, "В отчёте нет таблиц в рамках");
    const TableExportResult other = exportTables({oneCell(u"x", 0)}, "/tmp/never-written.xls");
    EXPECT_FALSE(other.ok);
    EXPECT_TRUE(other.files.empty());
}

}  // namespace
}  // namespace folvek
