// A settings (INI) file in memory: sections in brackets, key=value lines. Section and key
// names match without regard to case and blanks around names and values do not count; every
// line the program does not change is written back as it was. Saving replaces the file in one
// step (a temporary file in the same directory renamed over it).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "file_replace.h"
#include "ini_encoding.h"

namespace folvek {

class IniFile {
  public:
    // Reads the file; false (and an empty file in memory) when it cannot be read.
    bool load(const std::string& path);

    // The value of the first key of that name in the first section of that name.
    std::optional<std::string> get(const std::string& section, const std::string& key) const;
    std::string get(const std::string& section, const std::string& key,
                    const std::string& fallback) const;

    // Replaces the key's value, adding the key (and the section) when missing.
    void set(const std::string& section, const std::string& key, const std::string& value);

    // Writes every line back in the file's own form: its byte-order mark, UTF-16 or bytes, and
    // its line ends (CR LF for a new file). Fails when the file could not be replaced; the
    // old file is then left as it was.
    SaveResult save(const std::string& path) const;

    const std::vector<std::string>& lines() const { return lines_; }
    const IniEncoding& encoding() const { return encoding_; }

  private:
    // Index of the section's header line, or npos.
    std::size_t findSection(const std::string& section) const;
    // End of the section that starts at header (the next header or the end).
    std::size_t sectionEnd(std::size_t header) const;
    std::size_t findKey(std::size_t header, const std::string& key) const;

    std::vector<std::string> lines_;
    IniEncoding encoding_;
};

}  // namespace folvek
