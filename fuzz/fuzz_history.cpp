// history.cfg from anywhere: looked up and rewritten. A lookup after a save finds what was
// saved; a save that did not write left the file as it was; every old entry survives a save.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz_support.h"
#include "history.h"

using namespace folvek;

namespace {

std::string readAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// Any bytes (tabs and line ends are escaped), within the length IniFileName may hold.
std::string field(std::string s, std::size_t limit) {
    if (s.size() > limit) s.resize(limit);
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Bytes in(data, size);
    const std::uint8_t mode = in.byte();
    // Document paths are canonical, so they begin with '/'.
    const std::string document = "/" + in.text(600);
    std::string settings = (mode & 1) ? std::string(history::kDefaultSettings)
                                      : field(in.text(300), history::kIniNameBytes);
    const std::string content = in.rest();
    const std::string path = fuzz::writeInput(history::kFileName, content.data(), content.size());

    std::string ini = "FOLVK95.INI";
    const bool found = history::lookup(path, document, ini);
    if (!found)
        FUZZ_CHECK(ini == "FOLVK95.INI");
    else
        FUZZ_CHECK(ini.size() <= history::kIniNameBytes);
    const std::vector<history::Entry> before = history::parse(history::fromTextMode(content));

    const bool saved = history::save(path, document, settings);
    const std::string after = readAll(path);
    if (!saved) {
        FUZZ_CHECK(after == content);
        FUZZ_CHECK(history::isSwitchedOff(history::fromTextMode(content)));
        return 0;
    }
    std::string back = "untouched";
    const bool again = history::lookup(path, document, back);
    if (history::isDefaultSettings(settings)) {
        FUZZ_CHECK(!again && back == "untouched");
    } else {
        FUZZ_CHECK(again);
        FUZZ_CHECK(back == settings);
    }
    // Every other entry is still there, in order.
    const std::vector<history::Entry> now = history::parse(history::fromTextMode(after));
    std::size_t j = 0;
    for (const history::Entry& e : before) {
        if (e.document == document || e.document.empty()) continue;  // blank entries are dropped
        while (j < now.size() && now[j].document != e.document) ++j;
        FUZZ_CHECK(j < now.size());
        FUZZ_CHECK(now[j].settings == e.settings);
        ++j;
    }
    return 0;
}
