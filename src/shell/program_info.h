// What the viewer says about itself on the command line: --help and --version, asked before
// any window opens, so that neither becomes a document named "--help".
#pragma once

#include <string>

namespace folvek {

enum class InfoRequest { None, Help, Version };

// Looks for --help (-h, -?) or --version among the arguments. Values of Qt's own options
// (-platform xcb, -display :0, ...) are skipped. A document named so is opened as ./--help.
InfoRequest infoRequested(int argc, const char* const* argv);

// The usage text, ending in a line feed.
std::string viewerUsage();
// "folvek 2.12" and a line feed.
std::string viewerVersion();

}  // namespace folvek
