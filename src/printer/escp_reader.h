// The reader of Epson-style jobs (ESC/P on 9 and 24 pins, ESC/P2, IBM Proprinter): walks the
// job byte by byte, keeps the printer's state and prints through the page builder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "escp_state.h"
#include "job_interpreter.h"
#include "page_builder.h"

namespace folvek::printer {

class EscPReader {
  public:
    EscPReader(std::string_view job, const JobOptions& options, JobLanguage dialect);
    JobDocument run();

  private:
    // Input.
    bool have(std::size_t n) const { return in_.size() - pos_ >= n; }
    std::uint8_t next() { return static_cast<std::uint8_t>(in_[pos_++]); }
    std::uint8_t peek(std::size_t ahead = 0) const {
        return static_cast<std::uint8_t>(in_[pos_ + ahead]);
    }
    unsigned word() {  // nL nH
        const unsigned lo = next();
        return lo | unsigned{next()} << 8;
    }
    bool need(std::size_t n);  // false (and a warning) when the job ends inside a command
    void skip(std::size_t n) { pos_ += n; }

    // Reset to the state after power-on (ESC @).
    void reset();

    // Text (escp_text.cpp).
    JobUnits pitchAdvance(bool forTabs) const;
    JobUnits charAdvance() const;
    JobUnits boxHeight() const;
    char32_t decode(std::uint8_t b) const;
    bool printable(std::uint8_t b) const;
    void printChar(char32_t c, std::uint16_t extraStyle = 0);
    void printByte(std::uint8_t b);
    void flushLine();
    void dropLine();
    void deleteLast();

    // Movement (escp_motion.cpp).
    void carriageReturn();
    void lineFeed(JobUnits dy);
    void formFeed();
    void moveDown(JobUnits dy);
    void moveTo(JobUnits y);
    void reverseFeed(JobUnits dy);
    void horizontalTab();
    void verticalTab();
    void backspace();
    void moveX(JobUnits x);
    void setHorizontalTabs();
    void setVerticalTabs();
    void setPageLength(JobUnits length);
    void noteRight(JobUnits right);

    // Commands (escp_commands.cpp, escp_modes.cpp, escp_paren.cpp).
    void control(std::uint8_t b);
    void escape();
    bool escapeMotion(std::uint8_t c);
    bool escapeMargins(std::uint8_t c);
    void skipUserCharacters();
    void skipEjl();
    bool escapeModes(std::uint8_t c);
    bool escapeStyle(std::uint8_t c);
    bool escapeOther(std::uint8_t c);
    bool proprinterEscape(std::uint8_t c);
    void proprinterBracket();
    void masterSelect(std::uint8_t n);
    void selectTable(std::uint8_t n);
    void assignTable(std::uint8_t slot, std::uint8_t d2, std::uint8_t d3);
    void parenCommand();
    bool parenMove(std::uint8_t c, const std::uint8_t* p, std::size_t n);
    void remoteMode();
    void setPageFormat(JobUnits top, JobUnits bottom);
    void skipUntilNul(std::size_t limit);

    // Graphics (escp_graphics.cpp, escp_raster.cpp).
    void bitImage(int mode);
    void nineDotImage();
    void printColumns(std::int32_t dpiX, int pinRows, int bytesPerColumn, std::int32_t pinDpi,
                      std::size_t columns);
    void rasterDot();
    void rasterLines();
    bool unpack(int compression, std::size_t size, std::vector<std::uint8_t>& out);
    void advanceX(std::int64_t dx);
    void placeRaster(std::int32_t dpiX, std::int32_t dpiY, std::int32_t width, std::int32_t rows,
                     std::int32_t rowBytes, const std::uint8_t* bits);

    // A printed character waiting in the line buffer (CAN and DEL may still take it back).
    struct Pending {
        JobUnits x, y, advance, height;
        std::uint16_t style;
        char32_t c;
    };

    std::string_view in_;
    std::size_t pos_ = 0;
    JobOptions options_;
    EscPModel model_;
    EscPState st_;
    JobDocument doc_;
    JobPageBuilder builder_;
    JobUnits carriage_ = 0;  // right edge of the print area
    JobUnits widest_ = 0;    // rightmost ink or character edge met
    JobUnits firstAdvance_ = 0;
    bool fedPast_ = false;  // the paper ran past the bottom onto a sheet still blank
    std::vector<Pending> line_;
    std::vector<std::uint8_t> scratch_;  // graphics rows
    std::vector<std::uint8_t> packed_;
};

}  // namespace folvek::printer
