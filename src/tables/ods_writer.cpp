// Writing the OpenDocument spreadsheet's XML and packing it.
#include "ods_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

#include "sheet_text.h"
#include "texts_ahead.h"
#include "zip_builder.h"

namespace folvek {

namespace {

constexpr const char* kOfficeNamespaces =
    " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
    " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
    " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
    " xmlns:number=\"urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0\""
    " office:version=\"1.2\"";

// The cell styles: one per count of decimals, with and without group spaces, and one for dates,
// all declared before the sheets so that the content can be written as it is made.
constexpr int kMaxDecimals = 15;

std::string styleName(const CellValue& v) {
    if (v.kind == ValueKind::Date) return "ceD";
    return "ce" + std::to_string(std::min(v.decimals, kMaxDecimals)) + (v.grouped ? "g" : "");
}

std::string stylesXml() {
    std::string xml =
        "<number:date-style style:name=\"ND\"><number:day number:style=\"long\"/>"
        "<number:text>.</number:text><number:month number:style=\"long\"/>"
        "<number:text>.</number:text><number:year number:style=\"long\"/></number:date-style>"
        "<style:style style:name=\"ceD\" style:family=\"table-cell\" "
        "style:data-style-name=\"ND\"/>";
    for (int d = 0; d <= kMaxDecimals; ++d)
        for (const bool grouped : {false, true}) {
            const std::string n = std::to_string(d) + (grouped ? "g" : "");
            xml += "<number:number-style style:name=\"N" + n +
                   "\"><number:number number:decimal-places=\"" + std::to_string(d) +
                   "\" number:min-integer-digits=\"1\"" +
                   (grouped ? " number:grouping=\"true\"" : "") +
                   "/></number:number-style><style:style style:name=\"ce" + n +
                   "\" style:family=\"table-cell\" style:data-style-name=\"N" + n + "\"/>";
        }
    return xml;
}

void cellXml(const Table& t, std::int32_t r, std::int32_t c, std::string& out) {
    const TableCell& cell = t.at(r, c);
    if (cell.covered) {
        out += "<table:covered-table-cell/>";
        return;
    }
    out += "<table:table-cell";
    if (cell.columnSpan > 1)
        out += " table:number-columns-spanned=\"" + std::to_string(cell.columnSpan) + '"';
    if (cell.rowSpan > 1)
        out += " table:number-rows-spanned=\"" + std::to_string(cell.rowSpan) + '"';
    const CellValue v = valueOf(t, r, c);
    if (v.kind == ValueKind::Number) {
        // Put together in a buffer and appended at once: most of a report's cells are numbers.
        char buf[kNumberRoom + 96];
        char* p = putBytes(buf, " table:style-name=\"ce");
        p = putUnsigned(p, static_cast<std::size_t>(std::min(v.decimals, kMaxDecimals)));
        if (v.grouped) *p++ = 'g';
        p = putBytes(p, "\" office:value-type=\"float\" office:value=\"");
        p = writeNumber(p, v.number);
        *p++ = '"';
        out.append(buf, p);
    } else if (v.kind == ValueKind::Date) {
        char value[16];
        std::snprintf(value, sizeof value, "%04d-%02d-%02d", v.year, v.month, v.day);
        out += " table:style-name=\"" + styleName(v) +
               "\" office:value-type=\"date\" office:date-value=\"" + value + '"';
    } else if (cell.textSize > 0) {
        out += " office:value-type=\"string\"";
    }
    // A number or a date needs no text: the spreadsheet spells it in its cell's format, and
    // leaving it out keeps the content a third smaller.
    if (cell.textSize == 0 || v.kind != ValueKind::Text) {
        out += "/>";
        return;
    }
    out += '>';
    const std::u16string_view text = t.text(cell);
    std::size_t start = 0;
    while (true) {  // one paragraph per line of the cell
        const std::size_t end = text.find(u'\n', start);
        out += "<text:p>";
        appendXml(out, text.substr(start, end - start));
        out += "</text:p>";
        if (end == std::u16string_view::npos) break;
        start = end + 1;
    }
    out += "</table:table-cell>";
}

// One table's XML with a mark after each row, where the content may be cut into pieces; the
// mark is a byte that cannot stand in XML.
constexpr char kRowMark = '\x02';

std::string tableXml(const Table& t, std::size_t k) {
    std::string out = "<table:table table:name=\"" + sheetName(k) + "\">";
    for (std::int32_t c = 0; c < t.columns; ++c)
        out += "<table:table-column table:style-name=\"co" + std::to_string(t.widths[c]) + "\"/>";
    for (std::int32_t r = 0; r < t.rows; ++r) {
        out += "<table:table-row>";
        for (std::int32_t c = 0; c < t.columns; ++c) cellXml(t, r, c, out);
        out += "</table:table-row>";
        out += kRowMark;
    }
    out += "</table:table>";
    return out;
}

// The content, handed to `sink` in pieces of about a megabyte.
template <class Sink>
bool writeContent(const std::vector<Table>& tables, Sink&& sink) {
    std::string out = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") +
                      "<office:document-content" + kOfficeNamespaces + "><office:automatic-styles>";
    // Columns as wide as in the report, some 0.22 cm a character; one style per width.
    std::set<std::int32_t> widths;
    for (const Table& t : tables) widths.insert(t.widths.begin(), t.widths.end());
    for (std::int32_t w : widths) {
        char width[32];
        std::snprintf(width, sizeof width, "%.2fcm", 0.4 + 0.22 * w);
        out += "<style:style style:name=\"co" + std::to_string(w) +
               "\" style:family=\"table-column\"><style:table-column-properties "
               "style:column-width=\"" +
               width + "\"/></style:style>";
    }
    out += stylesXml();
    out += "</office:automatic-styles><office:body><office:spreadsheet>";
    // The next tables are written on the other core while this one is packed.
    TextsAhead sheets(tables.size(), [&tables](std::size_t k) { return tableXml(tables[k], k); });
    for (std::size_t k = 0; k < tables.size(); ++k) {
        const std::string xml = sheets.take(k);
        const char* p = xml.data();
        const char* const end = p + xml.size();
        while (true) {
            const char* mark = static_cast<const char*>(std::memchr(p, kRowMark, end - p));
            out.append(p, mark ? mark : end);
            if (!mark) break;
            p = mark + 1;
            if (out.size() > (1u << 20)) {
                if (!sink(out)) return false;
                out.clear();
            }
        }
    }
    out += "</office:spreadsheet></office:body></office:document-content>\n";
    return sink(out);
}

}  // namespace

std::string odsBytes(const std::vector<Table>& tables) {
    static const char kManifest[] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\""
        " manifest:version=\"1.2\">"
        "<manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.2\""
        " manifest:media-type=\"application/vnd.oasis.opendocument.spreadsheet\"/>"
        "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
        "<manifest:file-entry manifest:full-path=\"styles.xml\" manifest:media-type=\"text/xml\"/>"
        "</manifest:manifest>\n";
    const std::string styles =
        std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-styles") +
        kOfficeNamespaces + "/>\n";
    ZipBuilder zip;
    if (!zip.add("mimetype", "application/vnd.oasis.opendocument.spreadsheet", false) ||
        !zip.add("META-INF/manifest.xml", kManifest, true) ||
        !zip.add("styles.xml", styles, true) || !zip.begin("content.xml") ||
        !writeContent(tables, [&zip](const std::string& piece) { return zip.write(piece); }) ||
        !zip.end())
        return {};
    return zip.finish();
}

}  // namespace folvek
