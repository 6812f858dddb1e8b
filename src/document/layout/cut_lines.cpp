// The note the headless tools write when lines are cut.
#include "cut_lines.h"

#include <cstdio>

#include "document_record.h"

namespace folvek {

std::string cutLinesWarning(const DocumentRecord& doc, const std::string& fitHint) {
    if (doc.linesCut <= 0) return {};
    const std::string lines =
        doc.linesCut == 1 ? "1 line is" : std::to_string(doc.linesCut) + " lines are";
    // With wrapping only a line that fills its page can be wider than its page's sheets.
    const std::string where =
        doc.isWrap ? "wider than their pages' continuation sheets" : "wider than the sheet";
    return "WARNING: " + lines + " " + where + " and cut (the widest has " +
           std::to_string(doc.widestLine) + " columns, a sheet holds " +
           std::to_string(doc.sheetColumns) + "); " + fitHint;
}

namespace {

std::string number(std::int64_t n) {
    return std::to_string(n);
}

// A height in hundredths of an inch as points with one decimal and a decimal comma.
std::string points(std::int32_t height) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", height * 0.72);
    std::string s = buf;
    for (char& c : s)
        if (c == '.') c = ',';
    if (s.size() > 2 && s.compare(s.size() - 2, 2, ",0") == 0) s.resize(s.size() - 2);
    return s;
}

// "1 знак", "2 знака", "5 знаков", "12 знаков", "132 знака".
std::string characters(std::int64_t n) {
    const std::int64_t last = n % 10, lastTwo = n % 100;
    const char* word = lastTwo >= 11 && lastTwo <= 14 ? "знаков"
                       : last == 1                    ? "знак"
                       : last >= 2 && last <= 4       ? "знака"
                                                      : "знаков";
    return number(n) + " " + word;
}

std::string widthFacts(const DocumentRecord& doc) {
    return "самая широкая — " + characters(doc.widestLine) + ", на листе помещается " +
           number(doc.sheetColumns);
}

}  // namespace

std::string widthStatus(const DocumentRecord& doc) {
    if (doc.linesCut > 0)
        return "Строк шире листа: " + number(doc.linesCut) +
               " — Вписать по ширине: " + kFitWidthKey;
    if (doc.FitWidth && doc.fitFontHeight > 0)
        return "Вписано по ширине: " + points(doc.fitFontHeight) + " пт" +
               (doc.fitLandscape ? ", альбомная" : "");
    return {};
}

std::string widthStatusTip(const DocumentRecord& doc) {
    if (doc.linesCut > 0)
        return "Строк, которые не помещаются на листе и обрезаются у его края: " +
               number(doc.linesCut) + " (" + widthFacts(doc) + ").\n" + kFitWidthKey +
               " («Вписать по ширине») уменьшает шрифт так, чтобы поместилась самая широкая "
               "строка.";
    if (doc.FitWidth && doc.fitFontHeight > 0)
        return "Шрифт уменьшен, чтобы самая широкая строка (" + characters(doc.widestLine) +
               ") поместилась на листе" +
               (doc.fitLandscape ? "; лист повёрнут, иначе шрифт был бы мельче 6 пт" : "") + ".\n" +
               kFitWidthKey + " возвращает размер шрифта из параметров.";
    return {};
}

std::string cutLinesDialogNote(const DocumentRecord& doc) {
    if (doc.linesCut <= 0) return {};
    return "Строк шире листа: " + number(doc.linesCut) + ", их концы не попадут на бумагу (" +
           widthFacts(doc) + ").\nВписать по ширине: " + kFitWidthKey +
           " или флажок «Вписывать по ширине листа» в параметрах.";
}

}  // namespace folvek
