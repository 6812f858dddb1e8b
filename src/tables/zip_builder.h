// A zip archive built in memory: entries stored or deflated with zlib, the local headers, the
// central directory and its end record; nothing else of the format (no ZIP64: the archive and
// each entry stay below 4 GiB, which add() checks). Enough for an OpenDocument file, whose
// "mimetype" must be the first entry, stored.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace folvek {

class ZipBuilder {
  public:
    // False when the entry or the archive would pass the format's 4 GiB limits.
    bool add(std::string_view name, std::string_view data, bool compress);
    // An entry written in pieces, deflated as they come, so that a large file is never whole
    // in memory: begin, write any number of times, end. False once a limit is passed.
    bool begin(std::string_view name);
    bool write(std::string_view data);
    bool end();
    // The archive; the builder is empty afterwards.
    std::string finish();

  private:
    void header(std::string& to, bool central, std::string_view name, std::uint16_t method,
                std::uint32_t crc, std::uint32_t packed, std::uint32_t size, std::uint32_t offset);
    std::string out_;
    // The entry being streamed.
    struct Stream;
    std::shared_ptr<Stream> stream_;
    std::string directory_;
    std::uint16_t count_ = 0;
};

}  // namespace folvek
