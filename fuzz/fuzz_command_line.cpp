// Argument vectors from anywhere (the input split at NUL bytes): parsing never fails, and the
// document path it gives is canonical.
#include <cstdint>
#include <string>
#include <vector>

#include "command_line.h"
#include "fuzz_support.h"

using namespace folvek;

namespace {

void checkCanonical(const std::string& p) {
    FUZZ_CHECK(!p.empty() && p[0] == '/');
    FUZZ_CHECK(p.find("//") == std::string::npos);
    const std::string wrapped = p + "/";
    FUZZ_CHECK(wrapped.find("/./") == std::string::npos);
    FUZZ_CHECK(wrapped.find("/../") == std::string::npos);
    FUZZ_CHECK(canonicalPath(p, "/elsewhere") == p);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args{"folvek"};
    std::string cur;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(cur);
            cur.clear();
        } else {
            cur.push_back(static_cast<char>(data[i]));
        }
    }
    args.push_back(cur);
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    if (size && (data[0] & 1)) argv.push_back(nullptr);  // a null in the vector names nothing
    argv.push_back(nullptr);

    ShellState state;
    parseCommandLine(static_cast<int>(argv.size() - 1), argv.data(), state, "/tmp/work dir");
    if (!state.documentPath.empty()) checkCanonical(state.documentPath);
    FUZZ_CHECK(state.orientation >= -1 && state.orientation <= 1);
    for (const std::string& a : args) {
        checkCanonical(canonicalPath(a, "/base"));
        (void)parseSignedDecimal(a.c_str());
    }
    return 0;
}
