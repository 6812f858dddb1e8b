// Faster PDF streams. Qt's PDF writer deflates every page's content stream at zlib's default
// level, which costs more than drawing the pages; level 1 makes the streams about a tenth
// larger and the whole export about twice as fast. Qt offers no setting, so folvek-print
// provides zlib's deflateInit_ itself (the executable's definition takes precedence for the Qt
// libraries) and passes on to zlib's own with the default level replaced.
#include <dlfcn.h>

namespace {

constexpr int kZlibDefaultLevel = -1;
constexpr int kZlibBestSpeed = 1;

using DeflateInit = int (*)(void* stream, int level, const char* version, int streamSize);

DeflateInit zlibDeflateInit() {
    static const auto next = reinterpret_cast<DeflateInit>(dlsym(RTLD_NEXT, "deflateInit_"));
    return next;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int deflateInit_(void* stream, int level,
                                                                   const char* version,
                                                                   int streamSize) {
    const DeflateInit next = zlibDeflateInit();
    if (!next) return -2;  // Z_STREAM_ERROR: no zlib below us
    return next(stream, level == kZlibDefaultLevel ? kZlibBestSpeed : level, version, streamSize);
}
