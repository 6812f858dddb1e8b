// The workbook's fixed XML parts.
#include "xlsx_parts.h"

#include <algorithm>

#include "sheet_text.h"

namespace folvek::xlsx {

namespace {

constexpr const char* kXmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr const char* kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* kRelationships =
    "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr const char* kOfficeRelationships =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr int kMaxDecimals = 15;
constexpr int kFirstNumberStyle = 3;
constexpr int kDateStyle = kFirstNumberStyle + 2 * (kMaxDecimals + 1);
constexpr int kFirstCustomFormat = 164;

std::string sheetPart(std::size_t k) {
    return "worksheets/sheet" + std::to_string(k + 1) + ".xml";
}

// The format of style kFirstNumberStyle + n: Excel's own id for those it has built in.
int formatId(int n, std::string& code) {
    CellValue v;
    v.kind = ValueKind::Number;
    v.decimals = n / 2;
    v.grouped = n % 2;
    code = numberFormat(v);
    if (code == "0") return 1;
    if (code == "0.00") return 2;
    if (code == "#,##0") return 3;
    if (code == "#,##0.00") return 4;
    return kFirstCustomFormat + n;
}

std::string cellFormats() {
    const std::string border = "fillId=\"0\" borderId=\"1\" xfId=\"0\" applyBorder=\"1\" ";
    const std::string top = "<alignment vertical=\"top\" wrapText=\"1\"/></xf>";
    std::string numFmts, xfs;
    int customs = 0;
    for (int n = 0; n <= 2 * kMaxDecimals + 2; ++n) {
        std::string code = "dd.mm.yyyy";
        const int id = n == 2 * (kMaxDecimals + 1) ? kFirstCustomFormat + n : formatId(n, code);
        if (id >= kFirstCustomFormat && ++customs)
            numFmts +=
                "<numFmt numFmtId=\"" + std::to_string(id) + "\" formatCode=\"" + code + "\"/>";
        xfs += "<xf numFmtId=\"" + std::to_string(id) + "\" fontId=\"0\" " + border +
               "applyNumberFormat=\"1\" applyAlignment=\"1\">" + top;
    }
    return "<numFmts count=\"" + std::to_string(customs) + "\">" + numFmts + "</numFmts>" +
           "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/>"
           "</font><font><b/><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font>"
           "</fonts><fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill>"
           "<patternFill patternType=\"gray125\"/></fill></fills><borders count=\"2\"><border>"
           "<left/><right/><top/><bottom/><diagonal/></border><border>"
           "<left style=\"thin\"><color auto=\"1\"/></left><right style=\"thin\"><color "
           "auto=\"1\"/></right><top style=\"thin\"><color auto=\"1\"/></top><bottom "
           "style=\"thin\"><color auto=\"1\"/></bottom><diagonal/></border></borders>"
           "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
           "borderId=\"0\"/></cellStyleXfs><cellXfs count=\"" +
           std::to_string(kDateStyle + 1) +
           "\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
           "<xf numFmtId=\"0\" fontId=\"1\" " +
           border +
           "applyFont=\"1\" applyAlignment=\"1\"><alignment horizontal=\"center\" "
           "vertical=\"center\" wrapText=\"1\"/></xf><xf numFmtId=\"0\" fontId=\"0\" " +
           border + "applyAlignment=\"1\">" + top + xfs + "</cellXfs>";
}

}  // namespace

int numberStyle(const CellValue& v) {
    if (v.kind == ValueKind::Date) return kDateStyle;
    return kFirstNumberStyle + 2 * std::clamp(v.decimals, 0, kMaxDecimals) + (v.grouped ? 1 : 0);
}

std::string contentTypes(std::size_t sheets) {
    std::string xml = std::string(kXmlHead) +
                      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                      "content-types\"><Default Extension=\"rels\" ContentType=\"application/"
                      "vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
                      "ContentType=\"application/xml\"/><Override PartName=\"/xl/workbook.xml\" "
                      "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml."
                      "sheet.main+xml\"/><Override PartName=\"/xl/styles.xml\" ContentType=\""
                      "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
                      "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/"
                      "vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>";
    for (std::size_t k = 0; k < sheets; ++k)
        xml += "<Override PartName=\"/xl/" + sheetPart(k) +
               "\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml."
               "worksheet+xml\"/>";
    return xml + "</Types>";
}

std::string packageRelationships() {
    return std::string(kXmlHead) + "<Relationships xmlns=\"" + kRelationships +
           "\"><Relationship Id=\"rId1\" Type=\"" + kOfficeRelationships +
           "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
}

std::string workbook(std::size_t sheets) {
    std::string xml = std::string(kXmlHead) + "<workbook xmlns=\"" + kMain + "\" xmlns:r=\"" +
                      kOfficeRelationships +
                      "\"><workbookPr/><bookViews><workbookView/></bookViews><sheets>";
    for (std::size_t k = 0; k < sheets; ++k)
        xml += "<sheet name=\"" + sheetName(k) + "\" sheetId=\"" + std::to_string(k + 1) +
               "\" r:id=\"rId" + std::to_string(k + 1) + "\"/>";
    return xml + "</sheets></workbook>";
}

std::string workbookRelationships(std::size_t sheets) {
    std::string xml = std::string(kXmlHead) + "<Relationships xmlns=\"" + kRelationships + "\">";
    for (std::size_t k = 0; k < sheets; ++k)
        xml += "<Relationship Id=\"rId" + std::to_string(k + 1) + "\" Type=\"" +
               kOfficeRelationships + "/worksheet\" Target=\"" + sheetPart(k) + "\"/>";
    return xml + "<Relationship Id=\"rId" + std::to_string(sheets + 1) + "\" Type=\"" +
           kOfficeRelationships + "/styles\" Target=\"styles.xml\"/><Relationship Id=\"rId" +
           std::to_string(sheets + 2) + "\" Type=\"" + kOfficeRelationships +
           "/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>";
}

std::string styles() {
    return std::string(kXmlHead) + "<styleSheet xmlns=\"" + kMain + "\">" + cellFormats() +
           "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/>"
           "</cellStyles></styleSheet>";
}

}  // namespace folvek::xlsx
