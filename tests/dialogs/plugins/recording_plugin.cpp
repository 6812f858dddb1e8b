// Stand-in external editors for the edit command's tests. Each call appends one line to the
// file named by FOLVEK_PLUGIN_LOG: the entry name and its arguments separated by '|' (the
// owner as "owner"/"null", a null /e as "<null>"). FOLVEK_PLUGIN_RESULT is the value returned;
// FOLVEK_PLUGIN_APPEND, when set, is appended to the document first.
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

[[maybe_unused]] void record(const std::string& line) {
    if (const char* log = std::getenv("FOLVEK_PLUGIN_LOG")) {
        if (std::FILE* f = std::fopen(log, "ab")) {
            std::fputs((line + "\n").c_str(), f);
            std::fclose(f);
        }
    }
}

[[maybe_unused]] std::string field(const char* s) {
    return s ? s : "<null>";
}

[[maybe_unused]] int finish(const char* path) {
    if (const char* extra = std::getenv("FOLVEK_PLUGIN_APPEND")) {
        if (std::FILE* f = std::fopen(path, "ab")) {
            std::fputs(extra, f);
            std::fclose(f);
        }
    }
    const char* result = std::getenv("FOLVEK_PLUGIN_RESULT");
    return result ? std::atoi(result) : 0;
}

}  // namespace

#ifdef WITH_EDITFILE2
extern "C" __attribute__((visibility("default"))) int editFile2(void* owner, const char* path,
                                                                const char* eValue, int isDos) {
    record("editFile2|" + std::string(owner ? "owner" : "null") + "|" + field(path) + "|" +
           field(eValue) + "|" + std::to_string(isDos));
    return finish(path);
}
#endif

#ifdef WITH_EDITFILE
extern "C" __attribute__((visibility("default"))) int editFile(void* owner, const char* path,
                                                               const char* eValue) {
    record("editFile|" + std::string(owner ? "owner" : "null") + "|" + field(path) + "|" +
           field(eValue));
    return finish(path);
}
#endif

#ifdef WITH_NEITHER
extern "C" __attribute__((visibility("default"))) int somethingElse() {
    return 0;
}
#endif
