// The command-line options and the canonical document path.
#include "command_line.h"

#include "decimal.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <cctype>
#include <climits>
#include <cstdint>
#include <vector>

namespace folvek {

std::string currentDirectory() {
    std::vector<char> buf(4096);
    while (::getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE || buf.size() > (1u << 20)) return "/";
        buf.resize(buf.size() * 2);
    }
    return buf.data();
}

std::string canonicalPath(const std::string& path, const std::string& cwd) {
    std::string full;
    if (!path.empty() && path[0] == '/') {
        full = path;
    } else {
        full = cwd.empty() ? currentDirectory() : cwd;
        full += '/';
        full += path;
    }
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i < full.size()) {
        std::size_t j = full.find('/', i);
        if (j == std::string::npos) j = full.size();
        std::string part = full.substr(i, j - i);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();  // the root has no parent
        } else if (!part.empty() && part != ".") {
            parts.push_back(std::move(part));
        }
        i = j + 1;
    }
    std::string out;
    for (const std::string& p : parts) {
        out += '/';
        out += p;
    }
    if (out.empty()) return "/";
    // "dir/" names a directory; keep saying so rather than turning it into a file name.
    const bool trailing = !path.empty() && path.back() == '/';
    if (trailing) out += '/';
    return out;
}

int parseSignedDecimal(const char* text) {
    return leadingDecimal(text);
}

bool looksLikeAbsolutePath(const char* arg) {
    // Options and absolute paths both begin with '/': "/mnt/r.txt" must not print a copy.
    struct stat st {};
    if (::stat(arg, &st) == 0) return true;
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(arg[1])));
    if (letter == 'i' || letter == 'e') return false;  // their values may be paths
    return arg[1] != '\0' && std::strchr(arg + 2, '/') != nullptr;
}

void parseCommandLine(int argc, const char* const* argv, ShellState& state,
                      const std::string& cwd) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!arg || !*arg) continue;  // an empty argument names nothing
        if (arg[0] != '/' || looksLikeAbsolutePath(arg)) {
            state.documentPath = canonicalPath(arg, cwd);
            continue;
        }
        const char* value = arg[1] ? arg + 2 : arg + 1;
        switch (std::tolower(static_cast<unsigned char>(arg[1]))) {
            case 'w':
                state.dosOverride = DosOverride::Windows;
                break;
            case 'd':
                state.dosOverride = DosOverride::Dos;
                break;
            case 'e':
                state.eValue = std::string(value);
                break;
            case 'l':
                state.orientation = 1;
                break;
            case 'p':
                state.orientation = 0;
                break;
            case 'i':
                state.IniFileName = value;
                state.iniGiven = true;
                break;
            case 'm': {
                int copies = parseSignedDecimal(value);
                state.batchCopies = copies == 0 ? 1 : copies;
                break;
            }
            default:
                break;  // unknown options are ignored
        }
    }
}

std::string commandLineRefusal(const ShellState& state) {
    if (state.batchCopies > kMaxBatchCopies)
        return "/m" + std::to_string(state.batchCopies) + ": не более " +
               std::to_string(kMaxBatchCopies) +
               " копий за один запуск; такое число похоже на опечатку, ничего не напечатано";
    if (state.iniGiven && !state.IniFileName.empty()) {
        const std::string& name = state.IniFileName;
        const std::string path =
            name.find('/') == std::string::npos ? state.programDir + name : name;
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            return "/i" + name + ": это папка, а не файл настроек";
    }
    return "";
}

}  // namespace folvek
