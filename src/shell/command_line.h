// Reading the command line into the shell state, and the canonical form of the document path.
#pragma once

#include <string>

#include "shell_state.h"

namespace folvek {

// Reads argv[1..argc-1]: "/x..." options by their second character (either case), anything
// else is the document. An argument beginning with '/' is a path, not an option, when it names
// an existing file or directory, or when it holds a further '/' and is not /i or /e. Of repeated
// options the last one counts; a later document replaces an earlier one. Relative document paths
// are taken from `cwd` (empty: the process's directory). programDir is left as the caller set it.
void parseCommandLine(int argc, const char* const* argv, ShellState& state,
                      const std::string& cwd = {});

// Absolute, '/'-separated, with "." and ".." resolved lexically (never above the root) and
// repeated separators folded; case and a trailing '/' are kept. Relative paths are joined to
// `cwd` (empty: the process's directory).
std::string canonicalPath(const std::string& path, const std::string& cwd = {});

// The current working directory, or "/" when it cannot be determined.
std::string currentDirectory();

// True when an argument that begins with '/' is an absolute path rather than an option.
bool looksLikeAbsolutePath(const char* arg);

// The /m value: optional blanks and sign, then decimal digits; no digits give 0. Saturates.
int parseSignedDecimal(const char* text);

// Why the parsed command line cannot be run ("" when it can): more than kMaxBatchCopies
// copies, or /i naming a folder.
std::string commandLineRefusal(const ShellState& state);

}  // namespace folvek
