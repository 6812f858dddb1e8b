// Reading, looking up and rewriting history.cfg.
#include "history.h"

#include "file_lock.h"
#include "file_replace.h"
#include "shell_state.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

namespace folvek::history {

namespace {

constexpr char kCtrlZ = 0x1a;
constexpr std::string_view kOffMarker = "NOHISTORY";

// Through the shared writer, so a full disk or a crash never leaves half a history.
bool replaceFile(const std::string& path, const std::string& bytes) {
    return saveFile(path, bytes).ok();
}

}  // namespace

std::string fromTextMode(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (char c : raw) {
        if (c == kCtrlZ) break;
        if (c != '\r') out.push_back(c);
    }
    return out;
}

std::string toTextMode(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

bool isSwitchedOff(std::string_view content) {
    return content.starts_with(kOffMarker);
}

bool isDefaultSettings(const std::string& iniFileName) {
    return iniFileName == kDefaultSettings;
}

namespace {

// Bytes that would break the line format, and '%' itself, are written as %XX.
bool needsEscape(char c) {
    return c == '%' || static_cast<unsigned char>(c) < 0x20;
}

std::string escape(std::string_view s) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        if (needsEscape(c)) {
            const unsigned char u = static_cast<unsigned char>(c);
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && hexDigit(s[i + 1]) >= 0 && hexDigit(s[i + 2]) >= 0) {
            out += static_cast<char>(hexDigit(s[i + 1]) * 16 + hexDigit(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

Entry entryOf(std::string_view line) {
    Entry e;
    const bool escaped = line.starts_with('%');
    if (escaped) line.remove_prefix(1);
    const std::size_t tab = line.find('\t');
    std::string_view doc = line.substr(0, tab);
    std::string_view ini;
    if (tab != std::string_view::npos) {
        e.hasTab = true;
        ini = line.substr(tab + 1);
        ini = ini.substr(0, ini.find('\t'));
    }
    e.document = escaped ? unescape(doc) : std::string(doc);
    e.settings = escaped ? unescape(ini) : std::string(ini);
    return e;
}

}  // namespace

void forEachEntry(std::string_view content, const std::function<bool(const Entry&)>& visit) {
    std::size_t pos = 0;
    while (pos < content.size()) {
        std::size_t end = content.find('\n', pos);
        if (end == std::string_view::npos) end = content.size();
        const std::string_view line = content.substr(pos, end - pos);
        pos = end + 1;
        if (line.empty()) continue;  // blank lines hold nothing and cost nothing
        if (!visit(entryOf(line))) return;
    }
}

std::vector<Entry> parse(std::string_view content) {
    std::vector<Entry> entries;
    forEachEntry(content, [&](const Entry& e) {
        entries.push_back(e);
        return true;
    });
    return entries;
}

std::string entryLine(const std::string& document, const std::string& settings) {
    const auto plain = [](const std::string& s) {
        for (char c : s)
            if (c != '%' && needsEscape(c)) return false;
        return true;
    };
    if (plain(document) && plain(settings) && !document.starts_with('%') &&
        !document.starts_with(kOffMarker))
        return document + '\t' + settings + '\n';
    // Escaped, an entry for a path "NOHISTORY…" cannot switch the history off when the lines
    // before it were dropped.
    return '%' + escape(document) + '\t' + escape(settings) + '\n';
}

ReadResult readFile(const std::string& path, std::string& content) {
    // Only regular files are histories: a FIFO in its place would hang the start-up, a device
    // (a link to /dev/zero) would never end.
    std::string raw;
    if (!readWholeFile(path, raw))
        return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    content = fromTextMode(raw);
    return ReadResult::Ok;
}

bool lookup(const std::string& historyPath, const std::string& documentPath,
            std::string& iniFileName) {
    if (documentPath.empty()) return false;
    std::string content;
    if (readFile(historyPath, content) != ReadResult::Ok) return false;
    if (isSwitchedOff(content)) return false;
    bool found = false;
    forEachEntry(content, [&](const Entry& e) {
        if (e.document != documentPath) return true;
        // A name is taken whole or not at all: a cut one would name another file.
        if (e.hasTab && e.settings.size() <= kIniNameBytes) {
            iniFileName = e.settings;
            found = true;
        }
        return false;
    });
    return found;
}

bool save(const std::string& historyPath, const std::string& documentPath,
          const std::string& iniFileName, bool* failed) {
    if (failed) *failed = false;
    if (documentPath.empty()) return false;
    // Another instance saving at the same moment waits, then merges its entry into what this
    // one wrote (and the other way round): no entry is lost.
    const FileLock lock(historyPath);
    std::string content;
    switch (readFile(historyPath, content)) {
        case ReadResult::Failed:  // an unreadable history is left as it was
            if (failed) *failed = true;
            return false;
        case ReadResult::Missing:
            content.clear();
            break;
        case ReadResult::Ok:
            if (isSwitchedOff(content)) return false;
            break;
    }

    const bool isDefault = isDefaultSettings(iniFileName);
    std::string out;
    bool written = false;
    forEachEntry(content, [&](const Entry& e) {
        if (e.document == documentPath) {
            if (!isDefault) {
                out += entryLine(documentPath, iniFileName);
                written = true;
            }
        } else if (!e.document.empty()) {
            out += entryLine(e.document, e.settings);
        }
        return true;
    });
    if (!written && !isDefault) out += entryLine(documentPath, iniFileName);
    const bool ok = replaceFile(historyPath, toTextMode(out));
    if (failed) *failed = !ok;
    return ok;
}

bool lookup(ShellState& shell) {
    return lookup(shell.programDir + kFileName, shell.documentPath, shell.IniFileName);
}

bool save(const ShellState& shell, bool* failed) {
    return save(shell.programDir + kFileName, shell.documentPath, shell.IniFileName, failed);
}

std::string historyPath(const ShellState& shell) {
    return shell.programDir + kFileName;
}

}  // namespace folvek::history
