// What a CUPS job asks of folvektopdf: the options string that the scheduler passes as the fifth
// argument, read into the layout choices the filter understands. No Qt, so it is tested alone.
#pragma once

#include <string>
#include <utility>
#include <vector>
#include "job_layout.h"

namespace folvek {

// name=value pairs as the scheduler writes them: separated by blanks, values optionally quoted
// with ' or " (backslash escapes the next character); a bare "name" is name=true and a bare
// "noname" is name=false.
std::vector<std::pair<std::string, std::string>> parseCupsOptions(const std::string& text);

enum class JobEncoding { Auto, Dos, Windows };

struct FilterJob {
    std::string settingsName;               // empty: the default settings file
    int orientation = -1;                   // 1 landscape, 0 portrait, -1 as the settings say
    std::string paper;                      // "A4", "Letter", ...; empty: A4
    double cpi = 0;                         // characters per inch; 0: as the settings say
    double lpi = 0;                         // lines per inch; 0: as the settings say
    double marginPt[4] = {-1, -1, -1, -1};  // left, right, top, bottom in points; -1: settings
    JobEncoding encoding = JobEncoding::Auto;
    int fit = -1;  // folvek-fit: 1 fit the widest line to the sheet, 0 not, -1 as the settings say
    std::string pageRanges;  // checked; selecting the pages is left to pdftopdf downstream
    LayoutMode layout = LayoutMode::Auto;  // folvek-layout: the job's own pages or the report's
    bool force = false;                    // folvek-force: print what is not a print job
};

struct JobOptions {
    FilterJob job;
    std::vector<std::string> warnings;  // options that were given but cannot be honoured
    std::string error;                  // set when the job must not print
};

// Reads the options that concern the layout; options meant for other filters are ignored.
JobOptions readJobOptions(const std::vector<std::pair<std::string, std::string>>& options);

// A settings name names a file inside the system settings directory and nothing else.
bool isPlainSettingsName(const std::string& name);

// "A4", "iso_a4_210x297mm", "na_letter_8.5x11in", "Letter,tray-1", ... to one of the paper
// names the layout offers; empty when none of the list's entries is one.
std::string paperFromMedia(const std::string& media);

// "1-3,5,7-": numbers and ranges separated by commas, as pdftopdf reads them.
bool isPageRangeList(const std::string& text);

// The paper of a queue's PPD file (its *DefaultPageSize) as one of the layout's paper names;
// empty when it names none.
std::string paperFromPpd(const std::string& ppd);

// `text` with every control character written as \n, \r, \t or \xHH: one line of our own in
// the scheduler's log, whatever bytes a job's options or names hold.
std::string escapeControls(const std::string& text);

// An option's value for a message: in double quotes, controls escaped, quotes backslashed.
std::string quotedValue(const std::string& value);

}  // namespace folvek
