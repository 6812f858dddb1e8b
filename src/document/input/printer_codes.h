// The printer control languages of files that DOS programs printed to disk (Epson ESC/P, IBM
// Proprinter and HP PCL 5): a byte-at-a-time reader that swallows every command with its
// parameter and data bytes and keeps the printer state the commands set (styles, pitch, line
// spacing, page length, orientation).
#pragma once

#include <cstdint>

#include "pcl_codes.h"

namespace folvek {

// What the commands told the printer about the page, for layout and --info.
struct PrinterLayout {
    double cpi = 0;               // densest pitch any text was printed in; 0: no pitch command
    double lpi = 0;               // densest line spacing text was printed with; 0: no command
    std::int32_t pageLines = 0;   // ESC C n, the last one given; 0: none
    std::int32_t pageInches = 0;  // ESC C 0 n
    std::int32_t orientation =
        -1;  // ESC&l#O, the first one: 0 portrait, 1 landscape, 2, 3 reversed; -1 none
    bool pitchChanged = false;  // text was printed in more than one pitch or spacing
    // A command that positions text, draws a picture or sets the form length was met: the
    // job may lay itself out (its interpreter decides).
    bool jobCommands = false;
};

class PrinterCodes {
  public:
    // True while a command is being read: every byte goes to feed().
    bool active() const { return state_ != State::Idle; }
    // Feeds a byte. Outside a command only ESC and the single control codes start one (the
    // caller passes nothing else); a byte that cannot continue the command ends it and is
    // given back (returns false: treat the byte as text).
    bool feed(unsigned char b);
    // The job is known to be PCL (it starts and ends with the printer reset ESC E): an ESC E
    // before text is a reset, not Epson's bold.
    void assumePcl() { pclDialect_ = true; }

    // Style flags of the printer state (bold 1, italic 2, underline 4).
    std::uint16_t style() const;
    // Characters per inch and lines per inch in effect now.
    double cpi() const;
    double lpi() const { return 216.0 / spacing216_; }
    bool pitchIsDefault() const { return !pitchSet_; }
    // PCL line termination (ESC&k1G, ESC&k3G): a carriage return also feeds a line.
    bool carriageReturnEndsLine() const { return crLf_; }
    std::int32_t pageLines() const { return pageLines_; }
    std::int32_t pageInches() const { return pageInches_; }
    std::int32_t orientation() const { return orientation_; }
    // A command that positions text, draws a picture or sets the form length was read.
    bool jobCommands() const { return jobCommands_; }
    // Counts up whenever style or pitch changed, so the reader can tell cheaply.
    std::uint32_t generation() const { return generation_; }
    // The same state, however many changes led to it.
    bool sameStateAs(const PrinterCodes& other) const;

  private:
    bool operator==(const PrinterCodes&) const = default;
    enum class State {
        Idle,
        Command,
        Params,
        Skip,
        UntilNul,
        AfterE,
        PclLead,
        PclGroup,
        Pcl,
        PjlStart,
        PjlLine,
        HpGl  // HP-GL/2 vector commands, up to the ESC that leaves them
    };
    void command(unsigned char c);
    bool styleCommand(unsigned char c);
    void finish();
    void reset();
    void changed() { ++generation_; }
    void epsonPitch() { pclCpi_ = 0, pitchSet_ = true; }
    // PCL (pcl_codes.cpp): telling the languages apart after ESC & ( ) *, and what the
    // sequences do.
    bool pclLead(unsigned char b);
    bool pclGroup(unsigned char b);
    void startPcl(unsigned char group);
    bool pclByte(unsigned char b);
    bool pjlByte(unsigned char b);
    void pclParameter();
    void epsonParams(int got);

    State state_ = State::Idle;
    unsigned char cmd_ = 0;
    unsigned char params_[4] = {};
    int need_ = 0;  // parameter bytes still to read
    int got_ = 0;
    std::uint32_t skip_ = 0;  // data bytes still to skip

    bool emphasized_ = false, doubleStrike_ = false, italic_ = false, underline_ = false;
    bool condensed_ = false, elite_ = false, fifteen_ = false, pitchSet_ = false;
    double pclCpi_ = 0;       // pitch a PCL command set; 0: the Epson flags decide
    double spacing216_ = 36;  // line spacing in 1/216 inch (1/6 inch)
    std::int32_t pageLines_ = 0, pageInches_ = 0, orientation_ = -1;

    PclSequence pcl_;
    // ESC E is bold in ESC/P and a reset in PCL: it is a reset while the file speaks PCL (a PCL
    // sequence came since the last Epson command) or when a PCL sequence follows it at once.
    bool pclDialect_ = false;
    bool afterE_ = false;  // the command being read follows an ESC E taken as bold
    bool crLf_ = false;
    bool pjl_ = false;   // the sequence read was the job-language exit: PJL lines may follow
    bool hpgl_ = false;  // the sequence read entered HP-GL/2
    std::uint32_t generation_ = 0;
    bool jobCommands_ = false;  // not part of the state: it only ever turns on
};

}  // namespace folvek
