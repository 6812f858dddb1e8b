// A zip archive built in memory: entries stored or deflated with zlib, the local headers, the
// central directory and its end record; nothing else of the format (no ZIP64: the archive and
// each entry stay below 2 GiB, which finish() checks). Enough for an OpenDocument file, whose
// "mimetype" must be the first entry, stored, and for an Excel workbook. The deflating runs on
// all cores (deflate_pool.h) while the caller writes the next entry; the archive's bytes do
// not depend on how many cores there are.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "deflate_pool.h"

namespace folvek {

class ZipBuilder {
  public:
    // False when the archive would hold more entries than the format counts.
    bool add(std::string_view name, std::string_view data, bool compress);
    // An entry written in pieces, deflated as they come, so that a large file is never whole
    // in memory: begin, write any number of times, end.
    bool begin(std::string_view name);
    bool write(std::string_view data);
    bool end();
    // The archive, or empty when it or an entry would pass the format's limits; the builder
    // is empty afterwards.
    std::string finish();

  private:
    struct Entry {
        std::string name;
        bool compressed = true;
        std::vector<std::shared_ptr<DeflatePiece>> pieces;  // a stored entry's data in one
    };
    void submit(bool last);
    std::vector<Entry> entries_;
    std::string pending_;  // of the entry being written, not yet a piece
    bool open_ = false;
    DeflatePool pool_;
};

}  // namespace folvek
