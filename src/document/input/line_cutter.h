// Cuts a file's bytes into the document's lines while decoding them: DOS text-mode rules (CR
// returns to the line's start, Ctrl-Z ends the file), pieces of at most 1023 bytes of the
// decoded text or through the next LF, a NUL ends what is kept of a piece, every form feed
// becomes a page-break line, printer control codes become style tags, and characters struck
// over each other (backspace, lone CR) merge into bold or underlined ones.
#pragma once

#include <cstddef>
#include <cstdint>

#include "box_cells.h"
#include "line_store.h"
#include "printer_codes.h"
#include "text_encoding.h"

namespace folvek {

class LineCutter {
  public:
    static constexpr std::size_t kPiece = 1023;  // longest piece, LF included

    // scan: record each line's starting style (from `flags` on) while cutting.
    LineCutter(LineStore& lines, TextEncoding encoding, bool scan, std::uint16_t flags);

    // The store holds no more than `limit` lines; what follows is dropped and cutShort() says so.
    void setLineLimit(std::size_t limit) { limit_ = limit; }
    bool cutShort() const { return cutShort_; }

    // Returns false once Ctrl-Z was met (the rest of the file does not exist) or the store holds
    // its limit of lines.
    bool feed(const unsigned char* p, const unsigned char* end);
    // End of file: a partial piece still makes a line.
    void finish();

    // What a cutter standing at the start of a line carries into the lines after it: the
    // printer's state and the styles in force. A second cutter that starts with it where this
    // one stands cuts what follows exactly as this one would.
    struct Carry {
        PrinterCodes codes;
        std::uint16_t emitted = 0;
        bool styleDirty = false;
        std::uint16_t flags = 0;
        bool operator==(const Carry& o) const {
            return codes.sameStateAs(o.codes) && emitted == o.emitted &&
                   styleDirty == o.styleDirty && flags == o.flags;
        }
    };
    // True at the start of a line, between two bytes of no character and no command.
    bool atLineStart() const;
    Carry carry() const;
    // Takes over the carry of another cutter (before the first byte is fed).
    void resume(const Carry& c);
    // The layout of a document whose lines `head` cut up to where this cutter resumed.
    PrinterLayout printerLayoutAfter(const LineCutter& head) const;

    std::int32_t maxLength() const { return maxLength_; }
    std::int64_t unmappable() const { return unmappable_; }  // characters stored as '?'
    PrinterLayout printerLayout() const;

    // Every box-drawing and block character of every encoding is stored through here, by the
    // code-page-866 code of the DOS character it is (double and mixed ones keep their own).
    // The character's arms are kept beside the line (the text holds its look-alike).
    void putBoxChar(std::uint8_t cp866) {
        if (col_ <= kPiece) {
            box_[col_] = cp866;
            anyBox_ = true;
        }
        putCell(static_cast<char>(boxBytes_[cp866]));
    }

  private:
    const unsigned char* fast(const unsigned char* p, const unsigned char* end);
    bool slowByte(unsigned char b);
    bool control(unsigned char b);
    void emit(std::uint16_t v);
    void putCell(char c) {
        if (col_ == len_) {
            out_[len_++] = c;
            col_ = len_;
            ++chunkLen_;
        } else {
            overstrike(c);
        }
    }
    void overstrike(char c);
    void backspace();
    void utf8Start(unsigned char b);
    void utf8Continue(unsigned char b);
    void afterCodes();
    void foldPitch();
    void syncStyle();
    void appendTag(const char* tag, std::size_t n);
    void ensurePiece() {
        if (!out_) startPiece();
    }
    void startPiece();
    void commitPiece();
    void commitRebuilt();
    void scanLast(std::size_t len);
    void formFeed();
    void endChunk();
    void countDropped();
    void added();  // a line went into the store
    void fileBoxes(std::size_t lineIndex, std::uint8_t* box, std::size_t length);

    LineStore& lines_;
    const std::uint16_t* table_;
    const std::uint8_t* boxBytes_;
    bool asciiFast_;  // the 8-byte copy must stop at bytes >= 0x80 too
    bool utf8_;
    bool scan_;
    std::uint16_t flags_;

    char* out_ = nullptr;       // room of the piece being built (kPiece + 1 bytes)
    std::size_t len_ = 0;       // bytes in the piece
    std::size_t col_ = 0;       // where the next character is struck (< len_ after CR or BS)
    std::size_t chunkLen_ = 0;  // bytes of the chunk so far (decoded, LF counted)
    bool cut_ = false;          // a NUL was met: the rest of the chunk is dropped
    std::size_t cutAt_ = 0;
    std::int32_t maxLength_ = 0;
    std::int64_t unmappable_ = 0;

    bool anyOver_ = false;  // the piece has overstruck cells
    bool anyTag_ = false;   // the piece has tags written by the loader
    std::uint8_t over_[kPiece + 1] = {};
    bool tagByte_[kPiece + 1] = {};

    unsigned char pend_[4] = {};  // a UTF-8 sequence still missing bytes
    int pendLen_ = 0;
    int pendNeed_ = 0;

    // The 866 codes of the box characters of the piece, by byte; 0 for other bytes.
    std::uint8_t box_[kPiece + 1] = {};
    bool anyBox_ = false;
    std::uint8_t boxArms_[256];  // the code filed for each 866 byte, 0 for none

    std::size_t limit_ = SIZE_MAX;
    bool full_ = false;
    bool cutShort_ = false;

    PrinterCodes codes_;
    std::uint32_t codesGen_ = 0;
    bool styleDirty_ = false;
    bool pitchDirty_ = true;
    std::uint16_t emitted_ = 0;  // styles the loader's tags have switched on
    double cpiMin_ = 0, cpiMax_ = 0, lpiMin_ = 0, lpiMax_ = 0;
    bool pitchSeen_ = false;
};

}  // namespace folvek
