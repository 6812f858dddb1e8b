// Parsing the folvek-print command line.
#include "print_options.h"

#include <charconv>
#include <utility>

#include "text_encoding.h"

namespace folvek {

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
                *error = arg + " needs " + what;
                return false;
            }
            value = args[++i];
            return true;
        };
        if (arg == "-h" || arg == "--help") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "-o" || arg == "--output") {
            if (!need("a PDF file name")) return false;
            o.pdfFile = value;
        } else if (arg == "--png") {
            if (!need("a directory")) return false;
            o.pngDir = value;
        } else if (arg == "--svg") {
            if (!need("a directory")) return false;
            o.svgDir = value;
        } else if (arg == "--dpi") {
            if (!need("a resolution")) return false;
            if (!parseInt(value, &o.dpi) || o.dpi < 10 || o.dpi > 2400) {
                *error = "--dpi wants a number from 10 to 2400, not \"" + value + "\"";
                return false;
            }
        } else if (arg == "--engine") {
            if (!need("direct or qt")) return false;
            if (value != "direct" && value != "qt") {
                *error = "--engine wants direct or qt, not \"" + value + "\"";
                return false;
            }
            o.qtEngine = value == "qt";
        } else if (arg == "--info") {
            o.info = true;
        } else if (arg == "--lp") {
            o.lp = true;
        } else if (arg == "--printer") {
            if (!need("a print queue")) return false;
            if (!isQueueName(value)) {
                *error = "bad print queue name \"" + value + "\"";
                return false;
            }
            o.printer = value;
        } else if (arg == "--watch") {
            if (!need("a folder")) return false;
            if (value.empty()) {
                *error = "--watch wants a folder";
                return false;
            }
            o.watchDir = value;
        } else if (arg == "--settle") {
            if (!need("milliseconds")) return false;
            if (!parseInt(value, &o.settleMs) || o.settleMs < 0 || o.settleMs > 3600000) {
                *error = "--settle wants milliseconds from 0 to 3600000, not \"" + value + "\"";
                return false;
            }
        } else if (arg == "--max-wait") {
            if (!need("seconds")) return false;
            if (!parseInt(value, &o.maxWaitS) || o.maxWaitS < 1 || o.maxWaitS > 86400) {
                *error = "--max-wait wants seconds from 1 to 86400, not \"" + value + "\"";
                return false;
            }
        } else if (arg == "--pdf-dir") {
            if (!need("a folder")) return false;
            if (value.empty()) {
                *error = "--pdf-dir wants a folder";
                return false;
            }
            o.pdfDir = value;
        } else if (arg == "--delete") {
            o.deleteDone = true;
        } else if (arg == "--title") {
            if (!need("a job name")) return false;
            if (value.empty()) {
                *error = "--title wants a name";
                return false;
            }
            o.title = value;
        } else if (arg == "--ini") {
            if (!need("a settings file")) return false;
            o.iniFile = value;
        } else if (arg == "--dos") {
            o.dos = 1;
            o.encoding.clear();
        } else if (arg == "--windows") {
            o.dos = 0;
            o.encoding.clear();
        } else if (arg == "--encoding") {
            if (!need("an encoding")) return false;
            if (!encodingChoiceFromOption(value)) {
                *error = "unknown encoding \"" + value + "\" (auto, cp866, cp1251, koi8-r, utf-8)";
                return false;
            }
            o.encoding = value;
            o.dos = -1;
        } else if (arg == "--landscape") {
            o.orientation = 1;
        } else if (arg == "--portrait") {
            o.orientation = 0;
        } else if (arg == "--pages") {
            if (!need("a page range")) return false;
            if (!parsePageRange(value, &o.firstPage, &o.lastPage)) {
                *error = "bad page range \"" + value + "\" (examples: 3, 2-5, 4-)";
                return false;
            }
        } else if (arg == "--paper") {
            if (!need("a paper name")) return false;
            o.paper = value;
        } else if (arg == "--margin") {
            if (!need("millimetres")) return false;
            if (!parseDouble(value, &o.marginMm) || o.marginMm < 0 || o.marginMm > 50) {
                *error = "--margin wants millimetres from 0 to 50, not \"" + value + "\"";
                return false;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            *error = "unknown option " + arg;
            return false;
        } else {
            if (!o.input.empty()) {
                *error = "one document at a time (" + o.input + ", " + arg + ")";
                return false;
            }
            o.input = arg;
        }
    }
    if (!o.watchDir.empty()) {
        // The watch prints every file of the folder, each named after itself.
        if (!o.input.empty() || !o.pdfFile.empty() || !o.pngDir.empty() || !o.svgDir.empty() ||
            o.info || !o.title.empty()) {
            *error = "--watch takes no FILE, -o, --png, --svg, --info or --title";
            return false;
        }
        if (!o.pdfDir.empty() && (o.lp || !o.printer.empty())) {
            *error = "--watch prints either through CUPS (--printer) or to --pdf-dir, not both";
            return false;
        }
        *out = o;
        return true;
    }
    for (const auto& [given, name] :
         {std::pair{!o.pdfDir.empty(), "--pdf-dir"}, std::pair{o.deleteDone, "--delete"},
          std::pair{o.settleMs != 1000, "--settle"}, std::pair{o.maxWaitS != 60, "--max-wait"}})
        if (given) {
            *error = std::string(name) + " goes with --watch";
            return false;
        }
    if ((!o.printer.empty() || !o.title.empty()) && !o.lp) {
        *error = (o.printer.empty() ? "--title" : "--printer") + std::string(" goes with --lp");
        return false;
    }
    if (o.pdfFile == "-" && o.info) {
        *error = "-o - and --info both write to standard output";
        return false;
    }
    if (o.lp && o.input.empty()) o.input = "-";
    *out = o;
    return true;
}

const char* printUsage() {
    return "Usage: folvek-print [options] FILE\n"
           "       folvek-print --lp [--printer QUEUE] [options] < JOB\n"
           "       folvek-print --watch DIR [--printer QUEUE | --pdf-dir OUT] [options]\n"
           "Lays out a DOS or Windows text report as the viewer prints it and writes the pages,\n"
           "or prints them. FILE - is standard input.\n"
           "\n"
           "Output (at least one):\n"
           "  -o, --output OUT.pdf  write the pages to one PDF file (- for standard output;\n"
           "                        a device or pipe is written to, never replaced)\n"
           "  --png DIR             one PNG image per page (page-0001.png, ...)\n"
           "  --svg DIR             one SVG image per page\n"
           "  --info                print the layout as JSON on standard output\n"
           "  --lp                  print through CUPS (lp); without FILE the job is read from\n"
           "                        standard input, so that a DOS emulator's printer port can\n"
           "                        be sent to this command; an empty job prints nothing\n"
           "  --printer QUEUE       the print queue for --lp (default: the default queue)\n"
           "  --title NAME          the job's name in the queue (default: the file's name,\n"
           "                        folvek-print for standard input)\n"
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
           "                        default FOLVK95.INI)\n"
           "  --dos, --windows      the text is in code page 866 / 1251 (default: settings)\n"
           "  --encoding NAME       auto, cp866, cp1251, koi8-r or utf-8 (default: the\n"
           "                        settings' Encoding, where auto tells it from the text)\n"
           "  --landscape, --portrait\n"
           "  --paper NAME          A4 (default), A3, A5, Letter, Legal\n"
           "  --margin MM           unprintable border of the sheet (default 5)\n"
           "  --pages A-B           only these pages (3, 2-5, 4-)\n"
           "  --dpi N               PNG/SVG resolution (default 150)\n"
           "  --engine direct|qt    PDF writer: our own (default) or Qt's, for comparison\n"
           "\n"
           "  --help, --version\n"
           "\n"
           "Exit status:\n"
           "  0  the pages were written (or printed) and nothing went wrong, or the job on\n"
           "     standard input was empty and nothing was printed\n"
           "  1  the job failed: the document could not be read, the output not written or\n"
           "     the print system refused the job\n"
           "  2  bad command line\n"
           "  With --watch: 0 when stopped by a signal, 1 when DIR cannot be watched or\n"
           "  disappears.\n"
           "  3  the pages were written, but an error was reported on the way (a missing\n"
           "     picture, margins too large for the page)\n";
}

}  // namespace folvek
