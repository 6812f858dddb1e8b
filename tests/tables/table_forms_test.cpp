// The clipboard forms and the CSV of a table with a merged heading: spans, values carried in
// the attributes spreadsheets read, codes kept as text, quoting.
#include <gtest/gtest.h>

#include "clipboard_forms.h"
#include "csv_writer.h"
#include "sheet_text.h"
#include "table_finder.h"

namespace folvek {
namespace {

Table sample() {
    CharGrid g;
    for (const std::u16string row : {
             u"┌──────┬───────────────┐",
             u"│ Код  │     Сумма     │",
             u"│      ├───────┬───────┤",
             u"│      │ приход│ расход│",
             u"├──────┼───────┼───────┤",
             u"│000123│1 250,5│a;\"b\"  │",
             u"└──────┴───────┴───────┘",
         })
        g.addRow(row);
    return findTables(g).tables.at(0);
}

TEST(TableForms, HtmlKeepsMergesAndValues) {
    const Table t = sample();
    const std::string html = tablesHtml({&t});
    EXPECT_NE(html.find("<th rowspan=\"2\">Код</th>"), std::string::npos) << html;
    EXPECT_NE(html.find("<th colspan=\"2\">Сумма</th>"), std::string::npos) << html;
    EXPECT_NE(html.find("sdval=\"1250.5\""), std::string::npos) << html;
    EXPECT_NE(html.find("sdnum=\"1033;0;#,##0.0\""), std::string::npos) << html;
    EXPECT_NE(html.find("sdnum=\"1033;0;@\" style=\"mso-number-format:'\\@'\">000123"),
              std::string::npos)
        << html;
    EXPECT_NE(html.find("a;&quot;b&quot;"), std::string::npos) << html;
}

TEST(TableForms, TsvAndCsv) {
    const Table t = sample();
    EXPECT_EQ(tablesTsv({&t}),
              u"Код\tСумма\t\n\tприход\tрасход\n000123\t1250,5\t\"a;\"\"b\"\"\"\n");
    EXPECT_EQ(tableCsv(t),
              "\xEF\xBB\xBF"
              "Код;Сумма;\r\n;приход;расход\r\n000123;1250,5;\"a;\"\"b\"\"\"\r\n");
}

TEST(TableForms, XmlTextKeepsWhatXmlAllowsAndSpellsItInUtf8) {
    // Escapes, a control byte and a lone surrogate half dropped, two- three- and four-byte
    // characters, a non-character dropped; the same once more behind text already written.
    std::u16string text = u"a&<>\"\x01\tb\u00E9\u4E2D\U0001F600";
    text += char16_t(0xD800);
    text += u"c\uFFFE";
    const std::string want =
        "a&amp;&lt;&gt;&quot;\tb\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80"
        "c";
    EXPECT_EQ(xmlEscape(text), want);
    std::string out = "<t>";
    appendXml(out, text);
    appendXml(out, u"");
    appendXml(out, text);
    EXPECT_EQ(out, "<t>" + want + want);
}

}  // namespace
}  // namespace folvek
