// Where the settings directory is and creating it on first use.
#include "shell_state.h"
#include "system_reason.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace folvek {

namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string withSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

std::string homeDirectory() {
    std::string home = env("HOME");
    if (!home.empty()) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && *pw->pw_dir) return pw->pw_dir;
    return "/tmp";
}

}  // namespace

std::string settingsDirectory() {
    if (std::string dir = env("FOLVEK_HOME"); !dir.empty()) return withSlash(dir);
    // XDG says relative values are to be ignored.
    if (std::string xdg = env("XDG_CONFIG_HOME"); !xdg.empty() && xdg[0] == '/')
        return withSlash(withSlash(xdg) + "folvek");
    return withSlash(homeDirectory()) + ".config/folvek/";
}

bool ensureSettingsDirectory(std::string* error) {
    const std::string dir = settingsDirectory();
    // Create every missing component from the root down.
    for (std::size_t pos = 1; pos <= dir.size(); ++pos) {
        if (pos != dir.size() && dir[pos] != '/') continue;
        std::string part = dir.substr(0, pos);
        if (part.empty() || part == "/") continue;
        if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
            if (error) *error = part + ": " + systemReason(errno);
            return false;
        }
    }
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        if (error) *error = dir + ": not a directory";
        return false;
    }
    return true;
}

ShellState& shellState() {
    static ShellState state;
    return state;
}

}  // namespace folvek
