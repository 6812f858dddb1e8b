// The command line of folvek-print.
#pragma once

#include <string>
#include <vector>

namespace folvek {

struct PrintOptions {
    std::vector<std::string> inputs;  // the documents, in order; "-" is standard input
    std::string pdfFile;              // -o
    std::string pngDir;               // --png
    std::string svgDir;               // --svg
    std::string tablesFile;           // --tables: the report's tables to .xlsx, .ods or .csv
    int dpi = 150;
    bool qtEngine = false;  // --engine qt: Qt's PDF writer instead of our own
    bool info = false;
    bool lp = false;          // --lp: print through CUPS; no FILE (or -): the job on standard input
    std::string printer;      // --printer: the queue for --lp; empty: the default queue
    std::string title;        // --title: the job's name in the queue; empty: the file's name
    std::string watchDir;     // --watch: print every file dropped in this folder
    int settleMs = 1000;      // --settle: a file unchanged this long is complete
    int maxWaitS = 60;        // --max-wait: printed after this long even while it grows
    std::string pdfDir;       // --pdf-dir: with --watch, PDF files instead of printing
    bool deleteDone = false;  // --delete: with --watch, delete printed files
    bool force = false;       // --force: print what is not a print job
    std::string iniFile = "FOLVK95.INI";  // bare names live in the settings directory
    bool iniGiven = false;                // --ini: the file must exist
    int dos = -1;                         // --dos 1, --windows 0, -1: as the settings say
    std::string encoding;                 // --encoding: auto, cp866, cp1251, koi8-r, utf-8
    std::string layout;                   // --layout: job, report; empty: the file decides
    int orientation = -1;                 // --landscape 1, --portrait 0, -1: as the settings say
    int fit = -1;                         // --fit 1, --no-fit 0, -1: the settings' FitWidth
    int firstPage = 1;
    int lastPage = 0;  // 0: the last page
    std::string paper = "A4";
    double marginMm = 5.0;  // the unprintable border of the simulated printer
    bool help = false;
    bool version = false;

    // Habits of lp and of the other text printers.
    bool quiet = false;                  // -q: no summary line per document
    int copies = 1;                      // -n with --lp
    std::vector<std::string> lpOptions;  // -o after --lp, --lp-option: handed to lp as -o
};

// Fills `out` from argv[1..]; false with `error` set (in the run's language) on a bad command
// line. After --lp, -o is lp's option (as lp spells it), before it the PDF to write.
bool parsePrintOptions(const std::vector<std::string>& args, PrintOptions* out, std::string* error);

// "3-7", "3", "3-", "-7" to a page range (0 as last means the document's last page).
bool parsePageRange(const std::string& text, int* first, int* last);

const char* printUsage();

// The layout options of the command line as arguments for each job of the watched folder
// (quiet: the folder's own log says what was printed).
std::vector<std::string> layoutArguments(const PrintOptions& opt);

}  // namespace folvek
