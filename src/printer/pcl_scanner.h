// The bytes of a PCL 5 job cut into what the printer acts on: text bytes, two-character escapes
// (ESC E, ESC =, ESC 9) and the fields of parameterized sequences (ESC &l0o0l0E gives three),
// each with the data bytes a W parameter announces. It also skips what is not PCL 5: the job
// language's lines after a universal exit, HP-GL/2 blocks, and jobs in other languages.
#pragma once

#include <cstddef>
#include <string_view>

namespace folvek::printer {

struct PclCommand {
    enum class Kind : unsigned char { Text, Escape, Field };
    Kind kind = Kind::Text;
    // Text: the byte. Escape: the character after ESC. Field: the parameterized character
    // (& ( ) * %).
    unsigned char byte = 0;
    unsigned char group = 0;  // Field: the group character (lower case), 0 when none
    unsigned char param = 0;  // Field: the parameter character, upper case
    double value = 0;
    bool hasValue = false;
    bool signedValue = false;  // a + or - was given: a relative move
    std::string_view data;     // the data bytes of a W (or &p X) field
    bool dataCut = false;      // the job ended before the count the field announced

    // The value as a whole number, bounded so that any field converts safely.
    int intValue() const {
        return static_cast<int>(value < -1e9 ? -1e9 : value > 1e9 ? 1e9 : value);
    }
};

class PclScanner {
  public:
    explicit PclScanner(std::string_view job) : job_(job) {}

    // The next command; false at the end of the job.
    bool next(PclCommand& command);

    // After a universal exit: skips the job-language lines; returns the language the job
    // enters when it is not PCL ("PCLXL", "POSTSCRIPT"), else an empty view.
    std::string_view skipJobLanguage();
    // Skips everything up to the next universal exit (a job in a language we do not read).
    void skipToUniversalExit();
    // Skips an HP-GL/2 block: up to ESC % # A, ESC E or a universal exit.
    void skipHpgl();

    bool atEnd() const { return pos_ >= job_.size(); }
    std::size_t position() const { return pos_; }

  private:
    bool readField(PclCommand& command);

    std::string_view job_;
    std::size_t pos_ = 0;
    // Inside a parameterized sequence whose last field ended in lower case.
    bool inSequence_ = false;
    unsigned char lead_ = 0, group_ = 0;
};

}  // namespace folvek::printer
