// A zip archive built in memory: entries stored or deflated with zlib, the local headers, the
// central directory and its end record; nothing else of the format (no ZIP64: the archive and
// each entry stay below 4 GiB, which add() checks). Enough for an OpenDocument file, whose
// "mimetype" must be the first entry, stored.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace folvek {

class ZipBuilder {
  public:
    // False when the entry or the archive would pass the format's 4 GiB limits.
    bool add(std::string_view name, std::string_view data, bool compress);
    // The archive; the builder is empty afterwards.
    std::string finish();

  private:
    std::string out_;
    std::string directory_;
    std::uint16_t count_ = 0;
};

}  // namespace folvek
