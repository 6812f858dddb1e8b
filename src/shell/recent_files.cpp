// Reading and rewriting recent.cfg.
#include "recent_files.h"

#include "file_lock.h"
#include "file_replace.h"
#include "shell_state.h"

namespace folvek::recent {

namespace {

std::vector<history::Entry> parseList(const std::string& content) {
    std::vector<history::Entry> out;
    history::forEachEntry(content, [&out](const history::Entry& e) {
        if (e.document.empty()) return true;
        for (const history::Entry& seen : out)
            if (seen.document == e.document) return true;
        out.push_back(e);
        return out.size() < kMaxEntries;
    });
    return out;
}

bool write(const std::string& path, const std::vector<history::Entry>& entries) {
    std::string text;
    for (const history::Entry& e : entries) text += history::entryLine(e.document, e.settings);
    return saveFile(path, history::toTextMode(text)).ok();
}

}  // namespace

std::vector<history::Entry> read(const std::string& listPath) {
    std::string content;
    if (history::readFile(listPath, content) != history::ReadResult::Ok) return {};
    return parseList(content);
}

bool remember(const std::string& listPath, const std::string& document,
              const std::string& settings) {
    if (document.empty()) return true;
    const FileLock lock(listPath);
    std::vector<history::Entry> entries = read(listPath);
    if (!entries.empty() && entries.front().document == document &&
        entries.front().settings == settings)
        return true;  // nothing to write
    std::erase_if(entries, [&](const history::Entry& e) { return e.document == document; });
    entries.insert(entries.begin(), history::Entry{document, settings, true});
    if (entries.size() > kMaxEntries) entries.resize(kMaxEntries);
    return write(listPath, entries);
}

bool forget(const std::string& listPath, const std::string& document) {
    const FileLock lock(listPath);
    std::vector<history::Entry> entries = read(listPath);
    const std::size_t before = entries.size();
    std::erase_if(entries, [&](const history::Entry& e) { return e.document == document; });
    return entries.size() == before || write(listPath, entries);
}

std::string listPath(const ShellState& shell) {
    return shell.programDir + kFileName;
}

}  // namespace folvek::recent
