// Writing the OpenDocument spreadsheet's XML and packing it.
#include "ods_writer.h"

#include <cstdio>
#include <map>

#include "sheet_text.h"
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

// The cell styles in use, one per number format.
class Styles {
  public:
    std::string nameFor(const CellValue& v) {
        const std::string format = numberFormat(v);
        auto it = names_.find(format);
        if (it != names_.end()) return it->second;
        const std::string n = std::to_string(names_.size() + 1);
        const std::string dataStyle = "N" + n, cellStyle = "ce" + n;
        if (v.kind == ValueKind::Date) {
            xml_ += "<number:date-style style:name=\"" + dataStyle +
                    "\"><number:day number:style=\"long\"/><number:text>.</number:text>"
                    "<number:month number:style=\"long\"/><number:text>.</number:text>"
                    "<number:year number:style=\"long\"/></number:date-style>";
        } else {
            xml_ += "<number:number-style style:name=\"" + dataStyle +
                    "\"><number:number number:decimal-places=\"" + std::to_string(v.decimals) +
                    "\" number:min-integer-digits=\"1\"" +
                    (v.grouped ? " number:grouping=\"true\"" : "") + "/></number:number-style>";
        }
        xml_ += "<style:style style:name=\"" + cellStyle +
                "\" style:family=\"table-cell\" style:data-style-name=\"" + dataStyle + "\"/>";
        names_[format] = cellStyle;
        return cellStyle;
    }
    const std::string& xml() const { return xml_; }

  private:
    std::map<std::string, std::string> names_;
    std::string xml_;
};

void cellXml(const Table& t, std::int32_t r, std::int32_t c, Styles& styles, std::string& out) {
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
        char value[48];
        std::snprintf(value, sizeof value, "%.15g", v.number);
        out += " table:style-name=\"" + styles.nameFor(v) +
               "\" office:value-type=\"float\" office:value=\"" + value + '"';
    } else if (v.kind == ValueKind::Date) {
        char value[16];
        std::snprintf(value, sizeof value, "%04d-%02d-%02d", v.year, v.month, v.day);
        out += " table:style-name=\"" + styles.nameFor(v) +
               "\" office:value-type=\"date\" office:date-value=\"" + value + '"';
    } else if (!cell.text.empty()) {
        out += " office:value-type=\"string\"";
    }
    if (cell.text.empty()) {
        out += "/>";
        return;
    }
    out += '>';
    std::size_t start = 0;
    while (true) {  // one paragraph per line of the cell
        const std::size_t end = cell.text.find(u'\n', start);
        out += "<text:p>" + xmlEscape(std::u16string_view(cell.text).substr(start, end - start)) +
               "</text:p>";
        if (end == std::u16string::npos) break;
        start = end + 1;
    }
    out += "</table:table-cell>";
}

std::string contentXml(const std::vector<Table>& tables) {
    Styles styles;
    std::string body;
    for (std::size_t k = 0; k < tables.size(); ++k) {
        const Table& t = tables[k];
        body += "<table:table table:name=\"" + sheetName(k) + "\">";
        for (std::int32_t c = 0; c < t.columns; ++c)
            body += "<table:table-column table:style-name=\"co" + std::to_string(k) + '_' +
                    std::to_string(c) + "\"/>";
        for (std::int32_t r = 0; r < t.rows; ++r) {
            body += "<table:table-row>";
            for (std::int32_t c = 0; c < t.columns; ++c) cellXml(t, r, c, styles, body);
            body += "</table:table-row>";
        }
        body += "</table:table>";
    }
    std::string columns;  // each column as wide as in the report, some 0.22 cm a character
    for (std::size_t k = 0; k < tables.size(); ++k)
        for (std::int32_t c = 0; c < tables[k].columns; ++c) {
            char width[32];
            std::snprintf(width, sizeof width, "%.2fcm", 0.4 + 0.22 * tables[k].widths[c]);
            columns += "<style:style style:name=\"co" + std::to_string(k) + '_' +
                       std::to_string(c) +
                       "\" style:family=\"table-column\"><style:table-column-properties "
                       "style:column-width=\"" +
                       width + "\"/></style:style>";
        }
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content") +
           kOfficeNamespaces + "><office:automatic-styles>" + columns + styles.xml() +
           "</office:automatic-styles><office:body><office:spreadsheet>" + body +
           "</office:spreadsheet></office:body></office:document-content>\n";
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
        !zip.add("styles.xml", styles, true) || !zip.add("content.xml", contentXml(tables), true))
        return {};
    return zip.finish();
}

}  // namespace folvek
