// Parsing the folvek-print command line.
#include "print_options.h"

#include <charconv>
#include <utility>

#include "cli_text.h"
#include "job_layout.h"
#include "page_layout_printer.h"
#include "table_export.h"
#include "text_encoding.h"

namespace folvek {

using cli::tr;

namespace {

bool parseInt(const std::string& s, int* out) {
    if (s.empty()) return false;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), *out);
    return ec == std::errc() && end == s.data() + s.size();
}

bool parseDouble(const std::string& s, double* out) {
    if (s.empty()) return false;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), *out);
    return ec == std::errc() && end == s.data() + s.size();
}

// A CUPS queue (with an optional /instance): printable, no blank, and not taken for an option.
bool isQueueName(const std::string& s) {
    if (s.empty() || s[0] == '-' || s[0] == '/') return false;
    for (const char c : s)
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F || c == '#' || c == '\\')
            return false;
    return true;
}

// An option for lp's -o: NAME or NAME=VALUE, one word, never taken for another option.
bool addLpOption(const std::string& value, PrintOptions* o, std::string* error) {
    bool sound = !value.empty() && value[0] != '-' && value[0] != '=';
    for (const char c : value)
        if (static_cast<unsigned char>(c) < ' ' || c == 0x7F) sound = false;
    if (!sound) {
        *error =
            tr("bad lp option \"%1\" (examples: sides=two-sided-long-edge, media=Letter)", value);
        return false;
    }
    o->lpOptions.push_back(value);
    return true;
}

// Several documents go to the printer or to --info one after another; a file or folder of
// pages holds one document.
bool checkDocuments(const PrintOptions& o, PrintOptions* out, std::string* error) {
    int fromStdin = 0;
    for (const std::string& in : o.inputs) fromStdin += in == "-";
    if (fromStdin > 1) {
        *error = tr("standard input (-) can be read once only");
        return false;
    }
    if (o.inputs.size() > 1 && (!o.pdfFile.empty() || !o.pngDir.empty() || !o.svgDir.empty())) {
        *error = tr("-o, --png and --svg take one document; several go with --lp or --info");
        return false;
    }
    *out = o;
    return true;
}

}  // namespace

bool parsePageRange(const std::string& text, int* first, int* last) {
    const auto dash = text.find('-');
    int a = 1, b = 0;
    if (dash == std::string::npos) {
        if (!parseInt(text, &a) || a < 1) return false;
        b = a;
    } else {
        const std::string left = text.substr(0, dash), right = text.substr(dash + 1);
        if (left.empty() && right.empty()) return false;
        if (!left.empty() && (!parseInt(left, &a) || a < 1)) return false;
        if (!right.empty() && (!parseInt(right, &b) || b < 1)) return false;
        if (b != 0 && b < a) return false;
    }
    *first = a;
    *last = b;
    return true;
}

bool parsePrintOptions(const std::vector<std::string>& args, PrintOptions* out,
                       std::string* error) {
    PrintOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::string value;
        bool inlineValue = false;
        if (arg.rfind("--", 0) == 0) {
            const auto eq = arg.find('=');
            if (eq != std::string::npos) {
                value = arg.substr(eq + 1);
                arg.resize(eq);
                inlineValue = true;
            }
        }
        auto need = [&](const char* what) {
            if (inlineValue) return true;
            if (i + 1 >= args.size()) {
                *error = tr("%1 needs %2", arg, tr(what));
                return false;
            }
            value = args[++i];
            return true;
        };
        if (arg == "-h" || arg == "--help") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "-o" && o.lp) {
            // After --lp, lp's own spelling: an option for the print system.
            if (!need("an lp option")) return false;
            if (!addLpOption(value, &o, error)) return false;
        } else if (arg == "-o" || arg == "--output") {
            if (!need("a PDF file name")) return false;
            o.pdfFile = value;
        } else if (arg == "--lp-option") {
            if (!need("an lp option")) return false;
            if (!addLpOption(value, &o, error)) return false;
        } else if (arg == "-n" || arg == "--copies") {
            if (!need("a number of copies")) return false;
            if (!parseInt(value, &o.copies) || o.copies < 1 || o.copies > 999) {
                *error = tr("%1 wants a number of copies from 1 to 999, not \"%2\"", arg, value);
                return false;
            }
        } else if (arg == "-q" || arg == "--quiet") {
            o.quiet = true;
        } else if (arg == "--png") {
            if (!need("a directory")) return false;
            o.pngDir = value;
        } else if (arg == "--svg") {
            if (!need("a directory")) return false;
            o.svgDir = value;
        } else if (arg == "--tables") {
            if (!need("an .xlsx, .ods or .csv file")) return false;
            if (tableFormatOf(value) == TableFormat::None) {
                *error =
                    "--tables wants a file ending in .xlsx, .ods or .csv, not \"" + value + "\"";
                return false;
            }
            o.tablesFile = value;
        } else if (arg == "--dpi") {
            if (!need("a resolution")) return false;
            if (!parseInt(value, &o.dpi) || o.dpi < 10 || o.dpi > 2400) {
                *error = tr("--dpi wants a number from 10 to 2400, not \"%1\"", value);
                return false;
            }
        } else if (arg == "--engine") {
            if (!need("direct or qt")) return false;
            if (value != "direct" && value != "qt") {
                *error = tr("--engine wants direct or qt, not \"%1\"", value);
                return false;
            }
            o.qtEngine = value == "qt";
        } else if (arg == "--layout") {
            if (!need("job or report")) return false;
            LayoutMode mode = LayoutMode::Auto;
            if (!layoutModeFromName(value, mode)) {
                *error = "--layout wants job, report or auto, not \"" + value + "\"";
                return false;
            }
            o.layout = value;
        } else if (arg == "--info") {
            o.info = true;
        } else if (arg == "--lp") {
            o.lp = true;
        } else if (arg == "--printer" || arg == "-P" || arg == "-d") {
            if (!need("a print queue")) return false;
            if (!isQueueName(value)) {
                *error = tr("bad print queue name \"%1\"", value);
                return false;
            }
            o.printer = value;
        } else if (arg == "--watch") {
            if (!need("a folder")) return false;
            if (value.empty()) {
                *error = tr("--watch wants a folder");
                return false;
            }
            o.watchDir = value;
        } else if (arg == "--settle") {
            if (!need("milliseconds")) return false;
            if (!parseInt(value, &o.settleMs) || o.settleMs < 0 || o.settleMs > 3600000) {
                *error = tr("--settle wants milliseconds from 0 to 3600000, not \"%1\"", value);
                return false;
            }
        } else if (arg == "--max-wait") {
            if (!need("seconds")) return false;
            if (!parseInt(value, &o.maxWaitS) || o.maxWaitS < 1 || o.maxWaitS > 86400) {
                *error = tr("--max-wait wants seconds from 1 to 86400, not \"%1\"", value);
                return false;
            }
        } else if (arg == "--pdf-dir") {
            if (!need("a folder")) return false;
            if (value.empty()) {
                *error = tr("--pdf-dir wants a folder");
                return false;
            }
            o.pdfDir = value;
        } else if (arg == "--delete") {
            o.deleteDone = true;
        } else if (arg == "--force") {
            o.force = true;
        } else if (arg == "--title") {
            if (!need("a job name")) return false;
            if (value.empty()) {
                *error = tr("--title wants a name");
                return false;
            }
            o.title = value;
        } else if (arg == "--ini") {
            if (!need("a settings file")) return false;
            if (value.empty()) {
                *error = tr("--ini wants a settings file");
                return false;
            }
            o.iniFile = value;
            o.iniGiven = true;
        } else if (arg == "--dos") {
            o.dos = 1;
            o.encoding.clear();
        } else if (arg == "--windows") {
            o.dos = 0;
            o.encoding.clear();
        } else if (arg == "--encoding") {
            if (!need("an encoding")) return false;
            if (!encodingChoiceFromOption(value)) {
                *error = tr("unknown encoding \"%1\" (auto, cp866, cp1251, koi8-r, utf-8)", value);
                return false;
            }
            o.encoding = value;
            o.dos = -1;
        } else if (arg == "--landscape") {
            o.orientation = 1;
        } else if (arg == "--portrait") {
            o.orientation = 0;
        } else if (arg == "--fit" || arg == "--no-fit") {
            o.fit = arg == "--fit" ? 1 : 0;
        } else if (arg == "--pages") {
            if (!need("a page range")) return false;
            if (!parsePageRange(value, &o.firstPage, &o.lastPage)) {
                *error = tr("bad page range \"%1\" (examples: 3, 2-5, 4-)", value);
                return false;
            }
        } else if (arg == "--paper") {
            if (!need("a paper name")) return false;
            QPageSize::PageSizeId id;
            if (!paperFromName(QString::fromStdString(value), &id)) {
                *error = tr("unknown paper \"%1\" (A4, A3, A5, Letter, Legal)", value);
                return false;
            }
            o.paper = value;
        } else if (arg == "--margin") {
            if (!need("millimetres")) return false;
            if (!parseDouble(value, &o.marginMm) || o.marginMm < 0 || o.marginMm > 50) {
                *error = tr("--margin wants millimetres from 0 to 50, not \"%1\"", value);
                return false;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            *error = tr("unknown option %1", arg);
            return false;
        } else {
            o.inputs.push_back(arg);
        }
    }
    if (!o.watchDir.empty()) {
        // The watch prints every file of the folder, each named after itself.
        if (!o.inputs.empty() || !o.pdfFile.empty() || !o.pngDir.empty() || !o.svgDir.empty() ||
            !o.tablesFile.empty() || o.info || !o.title.empty()) {
            *error = tr("--watch takes no FILE, -o, --png, --svg, --tables, --info or --title");
            return false;
        }
        if (!o.pdfDir.empty() && (o.lp || !o.printer.empty())) {
            *error = tr("--watch prints either through CUPS (--printer) or to --pdf-dir, not both");
            return false;
        }
        *out = o;
        return true;
    }
    for (const auto& [given, name] :
         {std::pair{!o.pdfDir.empty(), "--pdf-dir"}, std::pair{o.deleteDone, "--delete"},
          std::pair{o.settleMs != 1000, "--settle"}, std::pair{o.maxWaitS != 60, "--max-wait"}})
        if (given) {
            *error = tr("%1 goes with --watch", name);
            return false;
        }
    if (!o.lp) {
        for (const auto& [given, name] :
             {std::pair{!o.printer.empty(), "--printer"}, std::pair{o.copies != 1, "-n"},
              std::pair{!o.lpOptions.empty(), "--lp-option"}})
            if (given) {
                *error = tr("%1 goes with --lp", name);
                return false;
            }
        if (!o.title.empty() && o.pdfFile.empty()) {
            *error = tr("--title goes with --lp or -o");
            return false;
        }
    }
    if (o.pdfFile == "-" && o.info) {
        *error = tr("-o - and --info both write to standard output");
        return false;
    }
    if (o.lp && o.inputs.empty()) o.inputs.push_back("-");
    return checkDocuments(o, out, error);
}

const char* printUsage() {
    return "Usage: folvek-print [options] FILE...\n"
           "       folvek-print --lp [-P QUEUE] [-n COPIES] [-o OPTION]... [options] [FILE...]\n"
           "       folvek-print --watch DIR [--printer QUEUE | --pdf-dir OUT] [options]\n"
           "Lays out DOS or Windows text reports as the viewer prints them and writes the pages,\n"
           "or prints them. FILE - is standard input. Each document done is reported on\n"
           "standard error as \"folvek-print: FILE: N pages\".\n"
           "\n"
           "Output (at least one):\n"
           "  -o, --output OUT.pdf  write the pages to one PDF file (- for standard output; a\n"
           "                        device or pipe is written to, never replaced); before\n"
           "                        --lp only: after --lp, -o is lp's own option, so use\n"
           "                        --output there\n"
           "  --png DIR             one PNG image per page (page-0001.png, ...)\n"
           "  --svg DIR             one SVG image per page\n"
           "  --tables OUT.xlsx|OUT.ods|OUT.csv\n"
           "                        the report's framed tables as cells: one sheet per table\n"
           "                        (XLSX, ODS) or one file per table (OUT-1.csv, OUT-2.csv,\n"
           "                        ...); a table continued over pages is one table with its\n"
           "                        heading once; numbers and dates become values, codes with\n"
           "                        leading zeros stay text (see the help); all pages\n"
           "  --info                print the layout as JSON on standard output (one object\n"
           "                        per document)\n"
           "  --lp                  print through CUPS (lp); without FILE the job is read from\n"
           "                        standard input, so that a DOS emulator's printer port can\n"
           "                        be sent to this command; an empty job prints nothing.\n"
           "                        Several documents are printed as one job each\n"
           "  -P, -d, --printer QUEUE\n"
           "                        the print queue for --lp (default: the default queue)\n"
           "  -n, --copies N        copies of each document for --lp (1 to 999)\n"
           "  -o OPTION             after --lp: an option handed to lp as -o OPTION, for\n"
           "                        example -o sides=two-sided-long-edge or -o InputSlot=Tray2\n"
           "  --lp-option OPTION    the same, anywhere on the command line\n"
           "  --title NAME          the job's name in the queue and the PDF's title (default:\n"
           "                        the file's name, folvek-print for standard input)\n"
           "  -q, --quiet           no \"FILE: N pages\" line; warnings and errors still show\n"
           "  --force               print a file that is not a print job (a picture, a\n"
           "                        program, an archive, random bytes), which --lp and\n"
           "                        --watch otherwise refuse\n"
           "\n"
           "Watched folder (for a DOS emulator's printer port written to files):\n"
           "  --watch DIR           print every new or changed file in DIR once it is\n"
           "                        complete, then move it to DIR/done/; a file that cannot\n"
           "                        be printed goes to DIR/failed/ with NAME.log beside it.\n"
           "                        Runs until stopped (SIGTERM, Ctrl-C); exits 1 when DIR\n"
           "                        disappears. As a service of the user:\n"
           "                        systemctl --user enable --now \\\n"
           "                          folvek-watch@$(systemd-escape --path ~/dos/print).service\n"
           "  --settle MS           complete when unchanged this long (default 1000)\n"
           "  --max-wait S          print a file that never stops growing after S seconds,\n"
           "                        with a warning (default 60)\n"
           "  --printer QUEUE       print on this queue (default: the default queue)\n"
           "  --pdf-dir OUT         write OUT/NAME.pdf instead of printing (never replacing a\n"
           "                        file: NAME-1.pdf, ...)\n"
           "  --delete              delete printed files instead of moving them to done/\n"
           "\n"
           "Layout:\n"
           "  --ini FILE            settings file (a bare name is in the settings directory;\n"
           "                        default FOLVK95.INI); a FILE that does not exist is an error\n"
           "  --dos, --windows      the text is in code page 866 / 1251 (default: settings)\n"
           "  --encoding NAME       auto, cp866, cp1251, koi8-r or utf-8 (default: the\n"
           "                        settings' Encoding, where auto tells it from the text)\n"
           "  --layout job|report   lay a printer job out as the printer would print it, or\n"
           "                        as a text report (default: the job's commands decide)\n"
           "  --landscape, --portrait\n"
           "  --fit, --no-fit       shrink the font until the widest line fits the sheet, in\n"
           "                        landscape when portrait would take it below 6 points\n"
           "                        (default: the settings' FitWidth; without the fit, lines\n"
           "                        wider than the sheet are cut and a WARNING line says so)\n"
           "  --paper NAME          A4 (default), A3, A5, Letter, Legal\n"
           "  --margin MM           unprintable border of the sheet (default 5)\n"
           "  --pages A-B           only these pages (3, 2-5, 4-)\n"
           "  --dpi N               PNG/SVG resolution (default 150)\n"
           "  --engine direct|qt    PDF writer: our own (default) or Qt's, for comparison\n"
           "\n"
           "  -h, --help, --version\n"
           "\n"
           "Characters that code page 1251 cannot hold (Greek, Chinese, most accented letters\n"
           "of a UTF-8 file) are printed as \"?\", and a warning counts them. A report that is\n"
           "really in another encoding reads right with --encoding; for other text, use a text\n"
           "editor.\n"
           "\n"
           "Messages are in Russian under a Russian locale (LANG=ru_RU.UTF-8), else in English.\n"
           "\n"
           "Exit status:\n"
           "  0  the pages were written (or printed) and nothing went wrong, or the job on\n"
           "     standard input was empty and nothing was printed\n"
           "  1  the job failed: a document or the settings file (--ini) could not be read,\n"
           "     the output not written or the print system refused the job\n"
           "  2  bad command line\n"
           "  3  the pages were written, but an error was reported on the way (a missing\n"
           "     picture, margins too large for the page)\n"
           "  With several documents, the worst of their statuses (1 over 3 over 0).\n"
           "  With --watch: 0 when stopped by a signal, 1 when DIR cannot be watched or\n"
           "  disappears.\n";
}

// The layout options of the command line, handed on to each job of the watched folder; the
// folder's own log says what was printed, so the jobs are quiet.
std::vector<std::string> layoutArguments(const PrintOptions& opt) {
    std::vector<std::string> args{"-q", "--paper=" + opt.paper,
                                  "--margin=" + std::to_string(opt.marginMm)};
    if (opt.iniGiven) args.push_back("--ini=" + opt.iniFile);
    if (opt.dos >= 0) args.push_back(opt.dos ? "--dos" : "--windows");
    if (!opt.encoding.empty()) args.push_back("--encoding=" + opt.encoding);
    if (opt.orientation >= 0) args.push_back(opt.orientation ? "--landscape" : "--portrait");
    if (opt.firstPage != 1 || opt.lastPage != 0)
        args.push_back("--pages=" + std::to_string(opt.firstPage) + "-" +
                       (opt.lastPage ? std::to_string(opt.lastPage) : std::string()));
    if (opt.fit >= 0) args.push_back(opt.fit ? "--fit" : "--no-fit");
    if (opt.qtEngine) args.push_back("--engine=qt");
    if (!opt.layout.empty()) args.push_back("--layout=" + opt.layout);
    if (opt.force) args.push_back("--force");
    return args;
}

}  // namespace folvek
