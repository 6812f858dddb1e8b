// layouts.cfg: read whole, rewritten whole.
#include "layout_memory.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "file_replace.h"

namespace folvek::layout_memory {

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Calls visit(mode word, path) for every well-formed line.
template <typename Visit>
void forEachLine(const std::string& content, Visit visit) {
    std::istringstream lines(content);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto tab = line.find('\t');
        if (tab == std::string::npos || tab + 1 >= line.size()) continue;
        visit(line.substr(0, tab), line.substr(tab + 1));
    }
}

}  // namespace

LayoutMode lookup(const std::string& settingsDir, const std::string& documentPath) {
    LayoutMode found = LayoutMode::Auto;
    if (documentPath.empty()) return found;
    forEachLine(readAll(settingsDir + kFileName),
                [&](const std::string& word, const std::string& path) {
                    LayoutMode m = LayoutMode::Auto;
                    if (path == documentPath && layoutModeFromName(word, m)) found = m;
                });
    return found;
}

bool remember(const std::string& settingsDir, const std::string& documentPath, LayoutMode mode) {
    // A path with a line break cannot be one line of the file: it is never remembered.
    if (documentPath.empty() || documentPath.find_first_of("\r\n") != std::string::npos)
        return false;
    std::string out;
    forEachLine(readAll(settingsDir + kFileName),
                [&](const std::string& word, const std::string& path) {
                    if (path != documentPath) out += word + '\t' + path + '\n';
                });
    if (mode != LayoutMode::Auto)
        out += std::string(layoutModeName(mode)) + '\t' + documentPath + '\n';
    return saveFile(settingsDir + kFileName, out).ok();
}

}  // namespace folvek::layout_memory
