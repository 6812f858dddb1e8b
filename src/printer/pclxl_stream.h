// PCL XL's binary stream (the little-endian binding PCL 6 drivers write): the stream header,
// data values with their types, attribute ids and operators, and the embedded data blocks that
// follow the operators that read data. A reader takes one operator at a time with the
// attributes given to it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace folvek::printer {

// A value given to an attribute: a number, a pair, a box or an array of numbers.
struct PxlValue {
    enum class Shape : std::uint8_t { None, Scalar, Xy, Box, Array };
    Shape shape = Shape::None;
    std::uint8_t type = 0;  // 0 ubyte, 1 uint16, 2 uint32, 3 sint16, 4 sint32, 5 real32
    // scalar: v[0]; xy: v[0], v[1]; box: x1, y1, x2, y2. Every number is within +-1e9.
    double v[4] = {0, 0, 0, 0};
    std::string_view array;   // an array's bytes, little endian
    std::uint32_t count = 0;  // an array's elements

    bool present() const { return shape != Shape::None; }
    double number() const { return v[0]; }
    double at(std::uint32_t i) const;  // an array's element; 0 past its end
};

enum class PxlTokenKind : std::uint8_t { Operator, Data, End, Error };

struct PxlToken {
    PxlTokenKind kind = PxlTokenKind::End;
    std::uint8_t op = 0;    // the operator's tag
    std::string_view data;  // embedded data
    std::string message;    // what was wrong (Error)
};

class PxlStream {
  public:
    // `job` is the whole job; reading starts at `start`, the first byte after the stream
    // header's line.
    PxlStream(std::string_view job, std::size_t start) : job_(job), pos_(start) {}

    // The next operator (its attributes in attr()) or embedded data block.
    PxlToken next();
    const PxlValue& attr(std::uint8_t id) const { return attrs_[id]; }
    std::size_t position() const { return pos_; }

  private:
    bool readNumber(std::uint8_t type, double& out);
    bool readValue(std::uint8_t tag, PxlValue& out, std::string& message);
    void clearAttributes();

    std::string_view job_;
    std::size_t pos_ = 0;
    std::array<PxlValue, 256> attrs_{};
    std::vector<std::uint8_t> set_;  // attribute ids given since the last operator
};

// The length of the stream header at `at` (") HP-PCL XL;..." up to and with its line feed), or
// 0 when no header for the little-endian binding starts there; `binding` gets its first byte.
std::size_t pxlStreamHeader(std::string_view job, std::size_t at, char& binding);

// Where PCL XL's stream header starts after the universal exit and job-language lines that
// may open a job; npos when the job is not PCL XL.
std::size_t pxlFindStream(std::string_view job);

}  // namespace folvek::printer
