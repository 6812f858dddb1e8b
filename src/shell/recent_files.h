// The recent-documents list (recent.cfg in the settings directory): the last documents shown,
// newest first, each with the settings file it was shown with, for the file menu.
//
// history.cfg cannot serve here: it drops a document left with the default settings and keeps
// its entries in the order they were first written. The lines have history.cfg's format (the
// document, a tab, the settings file; escaped where needed; a DOS text file), so one reader
// serves both.
#pragma once

#include <string>
#include <vector>

#include "history.h"

namespace folvek {

struct ShellState;

namespace recent {

inline constexpr const char* kFileName = "recent.cfg";
inline constexpr std::size_t kMaxEntries = 10;

// The entries newest first, at most kMaxEntries, each document once; none when the file is
// missing or unreadable.
std::vector<history::Entry> read(const std::string& listPath);
// Puts the document first with its settings file, dropping an older entry of it and what falls
// beyond kMaxEntries. Returns false when the list could not be written (it stays as it was).
bool remember(const std::string& listPath, const std::string& document,
              const std::string& settings);
// Drops the document's entry (a file that no longer opens).
bool forget(const std::string& listPath, const std::string& document);

std::string listPath(const ShellState& shell);

}  // namespace recent
}  // namespace folvek
