// Small rules of the watched folder that need no file system: which files are not text, the
// names of numbered copies, and file names made safe for a one-line message.
#pragma once

#include <cstddef>
#include <string>

namespace folvek {

// The share (0..1) of bytes in `data` that no print file holds as text: NUL, and the control
// codes other than those that printers and DOS text use (tab, line and form feeds, carriage
// return, backspace, SO/SI, DC1-DC4, Ctrl-Z, ESC), and DEL.
double nonTextShare(const char* data, std::size_t size);

// The kind of file when `data` starts as one of the common binary formats that land in such a
// folder (an emulator's screenshots, sound and video captures, archives, programs), else null:
// their compressed bytes look too much like Cyrillic text for the share above to catch them.
const char* binaryFormat(const char* data, std::size_t size);

// "REPORT.PRN" with n = 2 is "REPORT-2.PRN"; n = 0 gives the name itself.
std::string numberedName(const std::string& name, int n);

// The PDF for a print file: "REPORT.PRN" -> "REPORT.pdf", numbered "REPORT-1.pdf".
std::string pdfNameFor(const std::string& name, int n);

// The name for messages and logs: valid UTF-8 stays, every other byte and every control
// character becomes \xHH (a newline \n), so that one file is one line.
std::string printableName(const std::string& name);

}  // namespace folvek
