// Layout as JSON: the numbers pagination computed, plus the sheet they were computed for.
#include "layout_info.h"

#include <cstdio>

#include "document_record.h"
#include "page_layout_printer.h"

namespace folvek {

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
                  "  \"fitFontHeight\": %d\n"
                  "}\n",
                  doc.pageCount, doc.linesPerPage, doc.charsPerLine, doc.lineHeight, doc.charWidth,
                  doc.pageWidth, doc.pageHeight, area.width(), area.height(),
                  printer.landscape() ? "true" : "false", doc.IsDos, encoding,
                  doc.encodingDetected ? "true" : "false",
                  static_cast<long long>(doc.unmappableChars), doc.printerLayout.cpi,
                  doc.printerLayout.lpi, doc.printerLayout.pageLines, doc.printerLayout.pageInches,
                  doc.printerLayout.orientation, doc.linesCut, doc.widestLine, doc.sheetColumns,
                  doc.FitWidth ? "true" : "false", doc.fitFontHeight);
    return buf;
}

}  // namespace folvek
