// Small rules of the watched folder that need no file system: the names of numbered copies
// and file names made safe for a one-line message.
#pragma once

#include <cstddef>
#include <string>

namespace folvek {

// "REPORT.PRN" with n = 2 is "REPORT-2.PRN"; n = 0 gives the name itself.
std::string numberedName(const std::string& name, int n);

// The PDF for a print file: "REPORT.PRN" -> "REPORT.pdf", numbered "REPORT-1.pdf".
std::string pdfNameFor(const std::string& name, int n);

// The name for messages and logs: valid UTF-8 stays, every other byte and every control
// character becomes \xHH (a newline \n), so that one file is one line.
std::string printableName(const std::string& name);

}  // namespace folvek
