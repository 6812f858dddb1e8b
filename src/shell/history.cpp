// Reading, looking up and rewriting history.cfg.
#include "history.h"

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

std::string cut(std::string_view s, std::size_t n) {
    return std::string(s.substr(0, n));
}

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

std::vector<Entry> parse(std::string_view content) {
    std::vector<Entry> entries;
    std::size_t pos = 0;
    while (pos < content.size()) {
        // A piece ends after a line feed or after kPieceBytes bytes.
        std::size_t limit = std::min(content.size(), pos + kPieceBytes);
        std::size_t end = pos;
        while (end < limit && content[end] != '\n') ++end;
        if (end < limit) ++end;  // the line feed belongs to the piece
        std::string_view piece = content.substr(pos, end - pos);
        pos = end;

        Entry e;
        std::size_t f1 = piece.find_first_of("\t\n");
        e.document = cut(piece.substr(0, f1), kFieldBytes);
        if (f1 != std::string_view::npos && piece[f1] == '\t') {
            e.hasTab = true;
            std::string_view rest = piece.substr(f1 + 1);
            e.settings = cut(rest.substr(0, rest.find_first_of("\t\n")), kFieldBytes);
        }
        entries.push_back(std::move(e));
    }
    return entries;
}

ReadResult readFile(const std::string& path, std::string& content) {
    // O_NONBLOCK: a FIFO in its place must not hang the start-up.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    // A device (a link to /dev/zero or /dev/full) would never end; only files are histories.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ReadResult::Failed;
    }
    std::string raw;
    char buf[8192];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return ReadResult::Failed;
        }
        raw.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    content = fromTextMode(raw);
    return ReadResult::Ok;
}

bool lookup(const std::string& historyPath, const std::string& documentPath,
            std::string& iniFileName) {
    if (documentPath.empty()) return false;
    std::string content;
    if (readFile(historyPath, content) != ReadResult::Ok) return false;
    if (isSwitchedOff(content)) return false;
    for (const Entry& e : parse(content)) {
        if (e.document != documentPath) continue;
        if (!e.hasTab) return false;
        iniFileName = cut(e.settings, kIniNameBytes);
        return true;
    }
    return false;
}

bool save(const std::string& historyPath, const std::string& documentPath,
          const std::string& iniFileName, bool* failed) {
    if (failed) *failed = false;
    if (documentPath.empty()) return false;
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
    for (const Entry& e : parse(content)) {
        if (e.document == documentPath) {
            if (!isDefault) {
                out += documentPath + '\t' + iniFileName + '\n';
                written = true;
            }
        } else {
            out += e.document + '\t' + e.settings + '\n';
        }
    }
    if (!written && !isDefault) out += documentPath + '\t' + iniFileName + '\n';
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
