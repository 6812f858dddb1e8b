// Layout as JSON: the numbers pagination computed, plus the sheet they were computed for.
#include "layout_info.h"

#include <cstdio>

#include "document_record.h"
#include "page_layout_printer.h"

namespace folvek {

namespace {

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", u);
            out += esc;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace

std::string layoutInfoJson(const DocumentRecord& doc, const PageLayoutPrinter& printer) {
    const QSizeF area = printer.printableSizeMm();
    char buf[1024];
    const char* encoding = encodingLabel(doc.textEncoding, doc.utf16);
    std::snprintf(buf, sizeof buf,
                  "{\n"
                  "  \"pageCount\": %d,\n"
                  "  \"linesPerPage\": %d,\n"
                  "  \"charsPerLine\": %d,\n"
                  "  \"lineHeight\": %d,\n"
                  "  \"charWidth\": %.4f,\n"
                  "  \"pageWidth\": %d,\n"
                  "  \"pageHeight\": %d,\n"
                  "  \"pageWidthMm\": %.1f,\n"
                  "  \"pageHeightMm\": %.1f,\n"
                  "  \"landscape\": %s,\n"
                  "  \"isDos\": %d,\n"
                  "  \"encoding\": \"%s\",\n"
                  "  \"encodingDetected\": %s,\n"
                  "  \"unmappable\": %lld,\n"
                  "  \"printerCpi\": %.2f,\n"
                  "  \"printerLpi\": %.2f,\n"
                  "  \"printerPageLines\": %d,\n"
                  "  \"printerPageInches\": %d,\n"
                  "  \"printerOrientation\": %d,\n"
                  "  \"linesCut\": %d,\n"
                  "  \"widestLine\": %d,\n"
                  "  \"sheetColumns\": %d,\n"
                  "  \"fitWidth\": %s,\n"
                  "  \"fitFontHeight\": %d,\n",
                  doc.pageCount, doc.linesPerPage, doc.charsPerLine, doc.lineHeight, doc.charWidth,
                  doc.pageWidth, doc.pageHeight, area.width(), area.height(),
                  printer.landscape() ? "true" : "false", doc.IsDos, encoding,
                  doc.encodingDetected ? "true" : "false",
                  static_cast<long long>(doc.unmappableChars), doc.printerLayout.cpi,
                  doc.printerLayout.lpi, doc.printerLayout.pageLines, doc.printerLayout.pageInches,
                  doc.printerLayout.orientation, doc.linesCut, doc.widestLine, doc.sheetColumns,
                  doc.FitWidth ? "true" : "false", doc.fitFontHeight);
    std::string out = buf;
    // Which layout the file went to and why: the job's own pages or the report's.
    const JobVerdict& v = doc.jobVerdict;
    out += "  \"layout\": \"";
    out += doc.jobLaidOut() ? "job" : "report";
    out += "\",\n  \"layoutChosen\": \"";
    out += layoutModeName(doc.layoutMode);
    out += "\",\n  \"layoutReason\": " + jsonString(v.reason);
    out += ",\n  \"printerLanguage\": " + jsonString(v.language);
    std::snprintf(buf, sizeof buf,
                  ",\n  \"formWidthInches\": %.2f,\n  \"formHeightInches\": %.2f,\n"
                  "  \"jobWarnings\": [",
                  v.formWidthInches, v.formHeightInches);
    out += buf;
    for (std::size_t i = 0; i < v.warnings.size(); ++i)
        out += (i ? ", " : "") + jsonString(v.warnings[i]);
    out += "]\n}\n";
    return out;
}

}  // namespace folvek
