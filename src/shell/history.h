// The recent-file history (history.cfg in the settings directory): per document, the settings
// file that was in use when the user last left it.
//
// File names on Linux are case-sensitive, so the history never upper-cases anything: document
// paths are compared exactly as the canonical path gives them, and the default test compares
// the settings name exactly with "FOLVK95.INI" ("folvk95.ini" is another file here and keeps its
// entry). The file is a DOS text file: CR is dropped and Ctrl-Z ends it when read, lines end
// with CR LF when written.
//
// Lines are taken whole, however long, so a long path is found again. A path or settings name
// holding a tab, a line end or another control byte is stored escaped: the line then begins
// with '%' (no absolute path does) and such bytes and '%' itself are written as %XX. A
// settings name longer than IniFileName may hold is never taken (a cut name is another file).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace folvek {

struct ShellState;

namespace history {

inline constexpr const char* kFileName = "history.cfg";
inline constexpr const char* kDefaultSettings = "FOLVK95.INI";
inline constexpr std::size_t kIniNameBytes = 4096;  // a longer settings name is ignored

struct Entry {
    std::string document;  // field 1
    std::string settings;  // field 2
    bool hasTab = false;   // a line without a tab has no second field
};

// The content under the text-mode rules: CR dropped, Ctrl-Z ends it.
std::string fromTextMode(std::string_view raw);
// LF becomes CR LF.
std::string toTextMode(std::string_view text);

bool isSwitchedOff(std::string_view content);  // begins with "NOHISTORY"
bool isDefaultSettings(const std::string& iniFileName);
// The entries in order, blank lines left out; `visit` returns false to stop.
void forEachEntry(std::string_view content, const std::function<bool(const Entry&)>& visit);
std::vector<Entry> parse(std::string_view content);
// One line of the file for an entry, escaped where the entry needs it.
std::string entryLine(const std::string& document, const std::string& settings);

enum class ReadResult { Missing, Failed, Ok };
// Reads the whole file and applies the text-mode rules.
ReadResult readFile(const std::string& path, std::string& content);

// Lookup: at the first entry for the document, a second field replaces iniFileName (a name too
// long for it is ignored). Returns true when iniFileName was replaced. Nothing happens for an empty
// document path.
bool lookup(const std::string& historyPath, const std::string& documentPath,
            std::string& iniFileName);

// Save: rewrites the file (through a temporary file renamed over it) with every old entry in
// order, the document's entry updated in place, appended, or dropped when the default settings
// file is in use. Leaves the file as it was when it is switched off or cannot be read.
// Returns true when the file was written; *failed (when given) tells a file that should have been
// written but could not be (unreadable, or the rewrite failed) from one that needed no write.
bool save(const std::string& historyPath, const std::string& documentPath,
          const std::string& iniFileName, bool* failed = nullptr);

// The same on the process's shell state, with history.cfg in the settings directory.
bool lookup(ShellState& shell);
bool save(const ShellState& shell, bool* failed = nullptr);
std::string historyPath(const ShellState& shell);

}  // namespace history
}  // namespace folvek
