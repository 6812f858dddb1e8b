// The viewer's usage and version texts.
#include "program_info.h"

#include <cstring>

#ifndef FOLVEK_VERSION
#define FOLVEK_VERSION "2.12"
#endif

namespace folvek {

namespace {

// Qt's application options that take a value in the next argument.
bool qtOptionWithValue(const char* arg) {
    static const char* const names[] = {"platform",        "platformpluginpath",
                                        "platformtheme",   "plugin",
                                        "qmljsdebugger",   "style",
                                        "stylesheet",      "session",
                                        "display",         "geometry",
                                        "title",           "name",
                                        "qwindowgeometry", "qwindowicon",
                                        "qwindowtitle",    "widgetcount",
                                        "dialogs"};
    if (arg[0] != '-') return false;
    const char* name = arg + (arg[1] == '-' ? 2 : 1);
    if (std::strchr(name, '=')) return false;
    for (const char* n : names)
        if (std::strcmp(name, n) == 0) return true;
    return false;
}

}  // namespace

InfoRequest infoRequested(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0 || std::strcmp(a, "-?") == 0)
            return InfoRequest::Help;
        if (std::strcmp(a, "--version") == 0) return InfoRequest::Version;
        if (qtOptionWithValue(a)) ++i;
    }
    return InfoRequest::None;
}

std::string viewerUsage() {
    return "Usage: folvek [options] [FILE]\n"
           "Shows and prints plain-text reports of DOS and Windows programs.\n"
           "\n"
           "Options (a letter after a slash, in either case; a value follows the letter\n"
           "without a blank):\n"
           "  /w        the text is in the Windows code page (1251)\n"
           "  /d        the text is in the DOS code page (866) and is converted\n"
           "  /l, /p    print in landscape / portrait orientation\n"
           "  /iFILE    take the settings from FILE (a bare name is in the settings directory)\n"
           "  /mN       print N copies on the default printer without a dialog, then exit;\n"
           "            at most 999 (a larger N is taken for a typing slip: nothing is\n"
           "            printed and the exit status is 2)\n"
           "  /eADDR    recipient of the document when it is sent by e-mail\n"
           "  --help    show this text and exit\n"
           "  --version show the version and exit\n"
           "\n"
           "Qt's own options (-platform, -display, -style, ...) are accepted too.\n"
           "Settings: $FOLVEK_HOME, else $XDG_CONFIG_HOME/folvek (~/.config/folvek).\n";
}

std::string viewerVersion() {
    return std::string("folvek ") + FOLVEK_VERSION + "\n";
}

}  // namespace folvek
