// Translation and the standard-error lines of folvek-print.
#include "cli_text.h"

#include "system_reason.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>
#include <clocale>
#include <cstdio>

namespace folvek::cli {

namespace {

constexpr const char* kContext = "folvek-print";
constexpr const char* kCoreContext = "layout";

QString translated(const char* context, const char* text, int n = -1) {
    return QCoreApplication::translate(context, text, nullptr, n);
}

std::string utf8(const QString& s) {
    return s.toUtf8().toStdString();
}

QString arg(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// One line of a layout message in the run's language; a "FILE: REASON" line keeps its file and
// has its reason translated.
std::string coreLine(const std::string& line) {
    const QString whole = translated(kCoreContext, line.c_str());
    if (whole != arg(line)) return utf8(whole);
    const auto colon = line.rfind(": ");
    if (colon == std::string::npos) return line;
    const std::string reason = line.substr(colon + 2);
    return line.substr(0, colon + 2) + utf8(translated(kCoreContext, reason.c_str()));
}

}  // namespace

void installTranslations() {
    auto* app = QCoreApplication::instance();
    auto* translator = new QTranslator(app);
    // Russian under a Russian locale; English under any other, the C locale included.
    const bool russian = QLocale().language() == QLocale::Russian;
    if (translator->load(russian ? QStringLiteral(":/i18n/folvek-print_ru.qm")
                                 : QStringLiteral(":/i18n/folvek-print.qm")))
        QCoreApplication::installTranslator(translator);
    // Qt set the C library's locale from the environment: its error texts would follow a
    // German or French locale while ours are English.
    if (!russian) std::setlocale(LC_MESSAGES, "C");
    // The core's own Russian wording of system errors too.
    setSystemReasonsInRussian(russian);
}

std::string tr(const char* text) {
    return utf8(translated(kContext, text));
}

std::string tr(const char* text, const std::string& a1) {
    return utf8(translated(kContext, text).arg(arg(a1)));
}

std::string tr(const char* text, const std::string& a1, const std::string& a2) {
    return utf8(translated(kContext, text).arg(arg(a1), arg(a2)));
}

std::string trN(const char* text, long long n, const std::string& a1, const std::string& a2) {
    QString s = translated(kContext, text, static_cast<int>(n));
    if (s.contains(QLatin1String("%1"))) s = s.arg(arg(a1));
    if (s.contains(QLatin1String("%2"))) s = s.arg(arg(a2));
    return utf8(s);
}

void say(const std::string& text) {
    std::fprintf(stderr, "folvek-print: %s\n", text.c_str());
}

std::string coreText(const std::string& text) {
    std::string out;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = coreLine(text.substr(start, end - start));
        start = end + 1;
        if (line.empty()) continue;
        if (!out.empty()) {
            // "Ошибка открытия рисунка!" is a box's heading; on one line it leads the file.
            if (out.back() == '!') out.pop_back();
            out += ": ";
        }
        out += line;
    }
    return out;
}

MsgAnswer CliMessages::show(const std::string& text, const std::string&, MsgIcon icon,
                            MsgButtons buttons) {
    if (icon == MsgIcon::Error) ++errors;
    // The layout is redone for each step of a run (a new document is laid out empty first), and
    // a missing picture says so each time; once is enough on a terminal.
    const std::string line = coreText(text);
    if (shown_.insert(line).second) say(line);
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
}

}  // namespace folvek::cli
