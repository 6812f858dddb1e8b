// UTF-16 to UTF-8, a block at a time: a code unit or a surrogate pair cut by the end of a block
// is finished by the next one. A surrogate without its other half becomes U+FFFD, which the
// loader shows as '?' and counts with the characters 1251 lacks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace folvek {

class Utf16Decoder {
  public:
    explicit Utf16Decoder(bool bigEndian) : big_(bigEndian) {}

    // Appends the UTF-8 of data[0..len) to out.
    void decode(const unsigned char* data, std::size_t len, std::string& out);
    // End of input: a half unit is dropped, a lone high surrogate becomes U+FFFD.
    void finish(std::string& out);

  private:
    void unit(std::uint16_t u, std::string& out);

    bool big_;
    int odd_ = -1;            // the first byte of a unit whose second is still to come
    std::uint16_t high_ = 0;  // a high surrogate waiting for its low one
};

}  // namespace folvek
