// HP PCL 5 parameterized escape sequences read a byte at a time: after ESC and the
// parameterized character (& ( ) *) come an optional group character and value fields, each
// closed by a parameter character (lower case: another field follows; upper case: the sequence
// ends). A W parameter announces that many data bytes, which belong to the sequence too.
#pragma once

#include <cstdint>

namespace folvek {

class PclSequence {
  public:
    enum class Step {
        Taken,      // the byte belongs to the sequence
        Parameter,  // the byte closed a field: parameter() and value() tell which and what
        Rejected,   // the byte cannot go on the sequence, which has ended; it is text
    };

    // group: the group character, or 0 when the first value follows the parameterized one.
    void start(unsigned char group);
    bool active() const { return state_ != State::Idle; }
    Step feed(unsigned char b);

    unsigned char group() const { return group_; }
    unsigned char parameter() const { return parameter_; }  // upper case
    double value() const { return value_; }
    bool hasValue() const { return hasValue_; }
    bool operator==(const PclSequence&) const = default;

  private:
    enum class State { Idle, Value, Data };
    void clearField();

    State state_ = State::Idle;
    State afterData_ = State::Idle;
    unsigned char group_ = 0, parameter_ = 0;
    double value_ = 0;
    bool hasValue_ = false;
    // The field being read.
    double whole_ = 0, fraction_ = 0, scale_ = 1;
    bool negative_ = false, dot_ = false, digits_ = false;
    int length_ = 0;
    std::uint32_t data_ = 0;  // data bytes still to skip
};

}  // namespace folvek
