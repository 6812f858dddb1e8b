// The command line of folvek-print.
#pragma once

#include <string>
#include <vector>

namespace folvek {

struct PrintOptions {
    std::string input;
    std::string pdfFile;     // -o
    std::string pngDir;      // --png
    std::string svgDir;      // --svg
    std::string tablesFile;  // --tables: the report's tables to .xlsx, .ods or .csv
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
    std::string iniFile = "FOLVK95.INI";  // bare names live in the settings directory
    int dos = -1;                         // --dos 1, --windows 0, -1: as the settings say
    std::string encoding;                 // --encoding: auto, cp866, cp1251, koi8-r, utf-8
    int orientation = -1;                 // --landscape 1, --portrait 0, -1: as the settings say
    int firstPage = 1;
    int lastPage = 0;  // 0: the last page
    std::string paper = "A4";
    double marginMm = 5.0;  // the unprintable border of the simulated printer
    bool help = false;
    bool version = false;
};

// Fills `out` from argv[1..]; false with `error` set on a bad command line.
bool parsePrintOptions(const std::vector<std::string>& args, PrintOptions* out, std::string* error);

// "3-7", "3", "3-", "-7" to a page range (0 as last means the document's last page).
bool parsePageRange(const std::string& text, int* first, int* last);

const char* printUsage();

}  // namespace folvek
