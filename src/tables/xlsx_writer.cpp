// Writing each table as a worksheet and packing the workbook.
#include "xlsx_writer.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "sheet_text.h"
#include "texts_ahead.h"
#include "xlsx_parts.h"
#include "zip_builder.h"

namespace folvek {

namespace {

constexpr std::int32_t kMaxRows = 1048576, kMaxColumns = 16384;

// Whitespace at either end or a line break inside is kept only when the text says so.
bool needsPreserve(std::u16string_view text) {
    auto space = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; };
    return space(text.front()) || space(text.back()) || text.find(u'\n') != text.npos;
}

// Excel opens no cell of more text than this (in UTF-16 units); the rest is cut off.
constexpr std::size_t kMaxText = 32767;

std::u16string_view fitted(std::u16string_view text) {
    if (text.size() <= kMaxText) return text;
    const bool halfPair = text[kMaxText - 1] >= 0xD800 && text[kMaxText - 1] <= 0xDBFF;
    return text.substr(0, kMaxText - (halfPair ? 1 : 0));
}

// Each text once, in a table of shared strings, as Excel writes its own workbooks: a report's
// units, headings and names repeat, and the workbook comes out smaller and faster to pack.
class SharedStrings {
  public:
    std::uint32_t index(std::u16string_view text) {
        ++uses_;
        const auto [at, added] =
            index_.try_emplace(text, static_cast<std::uint32_t>(order_.size()));
        if (added) order_.push_back(text);
        return at->second;
    }
    std::string xml() const {
        std::string out =
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<sst "
            "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
            "count=\"" +
            std::to_string(uses_) + "\" uniqueCount=\"" + std::to_string(order_.size()) + "\">";
        for (const std::u16string_view text : order_) {
            out += needsPreserve(text) ? "<si><t xml:space=\"preserve\">" : "<si><t>";
            appendXml(out, text);
            out += "</t></si>";
        }
        return out + "</sst>";
    }

  private:
    std::unordered_map<std::u16string_view, std::uint32_t> index_;
    std::vector<std::u16string_view> order_;  // views of the tables' own texts
    std::size_t uses_ = 0;
};

// A whole number in decimal, without a temporary string: it is written several times a cell.
void appendUnsigned(std::string& out, std::size_t v) {
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, v);
    out.append(digits, r.ptr);
}

// "A1", "AB12": a cell's reference, at most 3 letters and 7 digits.
char* putReference(char* at, std::int32_t row, std::int32_t column) {
    char letters[4];
    int n = 0;
    for (std::int32_t c = column + 1; c > 0; c = (c - 1) / 26)
        letters[n++] = static_cast<char>('A' + (c - 1) % 26);
    while (n > 0) *at++ = letters[--n];
    return putUnsigned(at, static_cast<std::size_t>(row) + 1);
}

void appendReference(std::string& out, std::int32_t row, std::int32_t column) {
    char buf[32];
    out.append(buf, putReference(buf, row, column));
}

// A cell inside another's merge, or an empty one, keeps its style so that the borders show.
// A shared string's index is known only in the workbook's order, while sheets are written
// ahead on another core: the sheet's XML holds a mark with the cell instead, "\x01N\x01" (N
// the cell's place in the table), and "\x02" after each row. Neither byte can stand in XML.
constexpr char kStringMark = '\x01', kRowMark = '\x02';

// A cell's XML is put together in a buffer of its own and appended at once: a sheet's million
// cells cost one append each.
void cellXml(const Table& t, std::int32_t r, std::int32_t c, std::string& out) {
    const TableCell& cell = t.at(r, c);
    const CellValue v = cell.covered ? CellValue{} : valueOf(t, r, c);
    const int style = r < t.headingRows           ? xlsx::kHeadingStyle
                      : v.kind == ValueKind::Text ? xlsx::kTextStyle
                                                  : xlsx::numberStyle(v);
    char buf[kNumberRoom + 96];
    char* p = putBytes(buf, "<c r=\"");
    p = putReference(p, r, c);
    p = putBytes(p, "\" s=\"");
    p = putUnsigned(p, static_cast<std::size_t>(style));
    *p++ = '"';
    if (v.kind != ValueKind::Text) {
        p = putBytes(p, "><v>");
        p = writeNumber(p, v.number);  // a date's serial day, shown through its format
        p = putBytes(p, "</v></c>");
    } else if (cell.covered || cell.textSize == 0) {
        p = putBytes(p, "/>");
    } else {
        p = putBytes(p, " t=\"s\"><v>");
        *p++ = kStringMark;
        p = putUnsigned(p, std::size_t(r) * t.columns + c);
        *p++ = kStringMark;
        p = putBytes(p, "</v></c>");
    }
    out.append(buf, p);
}

void sheetHead(const Table& t, bool first, std::string& out) {
    out +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet xmlns=\""
        "http://schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:r=\"http://"
        "schemas.openxmlformats.org/officeDocument/2006/relationships\"><dimension ref=\"A1:";
    appendReference(out, std::max(t.rows, 1) - 1, std::max(t.columns, 1) - 1);
    out += std::string("\"/><sheetViews><sheetView workbookViewId=\"0\"") +
           (first ? " tabSelected=\"1\"" : "") + '>';
    if (t.headingRows > 0 && t.headingRows < t.rows) {
        out += "<pane ySplit=\"" + std::to_string(t.headingRows) + "\" topLeftCell=\"";
        appendReference(out, t.headingRows, 0);
        out += "\" activePane=\"bottomLeft\" state=\"frozen\"/><selection pane=\"bottomLeft\"/>";
    }
    out += "</sheetView></sheetViews><sheetFormatPr defaultRowHeight=\"15\"/>";
    if (t.columns > 0) {
        out += "<cols>";
        for (std::int32_t c = 0; c < t.columns; ++c)
            out += "<col min=\"" + std::to_string(c + 1) + "\" max=\"" + std::to_string(c + 1) +
                   "\" width=\"" + std::to_string(1 + t.widths[c]) + "\" customWidth=\"1\"/>";
        out += "</cols>";
    }
    out += "<sheetData>";
}

void sheetTail(const Table& t, std::string& out) {
    out += "</sheetData>";
    std::string merges;
    int count = 0;
    for (std::int32_t r = 0; r < t.rows; ++r)
        for (std::int32_t c = 0; c < t.columns; ++c) {
            const TableCell& cell = t.at(r, c);
            if (cell.covered || (cell.rowSpan == 1 && cell.columnSpan == 1)) continue;
            merges += "<mergeCell ref=\"";
            appendReference(merges, r, c);
            merges += ':';
            appendReference(merges, r + cell.rowSpan - 1, c + cell.columnSpan - 1);
            merges += "\"/>";
            ++count;
        }
    if (count)
        out += "<mergeCells count=\"" + std::to_string(count) + "\">" + merges + "</mergeCells>";
    out +=
        "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
        "footer=\"0.3\"/></worksheet>";
}

// A sheet's XML with its marks.
std::string markedSheet(const Table& t, std::size_t k) {
    std::string out;
    sheetHead(t, k == 0, out);
    for (std::int32_t r = 0; r < t.rows; ++r) {
        out += "<row r=\"";
        appendUnsigned(out, static_cast<std::size_t>(r) + 1);
        out += "\">";
        for (std::int32_t c = 0; c < t.columns; ++c) cellXml(t, r, c, out);
        out += "</row>";
        out += kRowMark;
    }
    sheetTail(t, out);
    return out;
}

// One sheet into the zip, its marks replaced by the shared strings' indices, in pieces of
// about a megabyte.
bool addSheet(ZipBuilder& zip, const Table& t, std::size_t k, const std::string& marked,
              SharedStrings& strings) {
    if (!zip.begin("xl/worksheets/sheet" + std::to_string(k + 1) + ".xml")) return false;
    std::string out;
    out.reserve(std::min<std::size_t>(marked.size(), (1u << 20) + 4096));
    const char* p = marked.data();
    const char* const end = p + marked.size();
    while (p < end) {
        // The XML holds no NUL, and the string ends with one.
        const char* mark = p + std::strcspn(p, "\x01\x02");
        out.append(p, mark);
        if (mark == end) break;
        if (*mark == kRowMark) {
            p = mark + 1;
            if (out.size() > (1u << 20)) {
                if (!zip.write(out)) return false;
                out.clear();
            }
            continue;
        }
        std::size_t cell = 0;
        for (p = mark + 1; *p != kStringMark; ++p) cell = cell * 10 + std::size_t(*p - '0');
        ++p;
        appendUnsigned(out, strings.index(fitted(t.text(t.cells[cell]))));
    }
    return zip.write(out) && zip.end();
}

}  // namespace

bool xlsxBytes(const std::vector<Table>& tables, std::string& bytes, std::string& error) {
    for (const Table& t : tables)
        if (t.rows > kMaxRows || t.columns > kMaxColumns) {
            error = "таблица больше листа Excel (1 048 576 строк, 16 384 столбца)";
            return false;
        }
    ZipBuilder zip;
    bool ok =
        zip.add("[Content_Types].xml", xlsx::contentTypes(tables.size()), true) &&
        zip.add("_rels/.rels", xlsx::packageRelationships(), true) &&
        zip.add("xl/workbook.xml", xlsx::workbook(tables.size()), true) &&
        zip.add("xl/_rels/workbook.xml.rels", xlsx::workbookRelationships(tables.size()), true) &&
        zip.add("xl/styles.xml", xlsx::styles(), true);
    SharedStrings strings;
    // The next sheets are written on the other core while this one is packed.
    TextsAhead sheets(tables.size(),
                      [&tables](std::size_t k) { return markedSheet(tables[k], k); });
    for (std::size_t k = 0; ok && k < tables.size(); ++k)
        ok = addSheet(zip, tables[k], k, sheets.take(k), strings);
    ok = ok && zip.add("xl/sharedStrings.xml", strings.xml(), true);
    if (ok) bytes = zip.finish();
    if (!ok || bytes.empty()) {
        error = "книга больше 2 ГБ или в ней больше 65 000 листов";
        return false;
    }
    return true;
}

}  // namespace folvek
