// The document's lines: a sequence of NUL-terminated byte strings with one shared cursor
// and a 16-bit starting style per line. Texts live in a chunked arena owned by the store, so
// a line costs its bytes plus a pointer and a style word, and seeking to a line is O(1).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace folvek {

class LineStore {
  public:
    LineStore() = default;
    LineStore(const LineStore&) = delete;
    LineStore& operator=(const LineStore&) = delete;
    ~LineStore() = default;

    // Copies the text (len bytes, no NUL inside) to the end; the new line becomes current.
    void append(const char* text, std::size_t len);
    // Fast path for the loader: room for maxLen bytes plus the NUL, then commit the real length.
    char* beginAppend(std::size_t maxLen);
    void endAppend(std::size_t len);

    const char* currentText() const;     // null when empty
    std::uint16_t currentStyle() const;  // 0 when empty
    void setCurrentStyle(std::uint16_t style);

    bool first();
    bool last();
    bool next();
    bool prev();
    bool seek(std::int32_t n);  // 1-based; past the end leaves the cursor on the last line
    void clear();               // drops every line and the texts' storage

    // Direct access used by whole-document passes that do not need the cursor.
    std::size_t size() const { return texts_.size(); }
    bool empty() const { return texts_.empty(); }
    const char* textAt(std::size_t i) const { return texts_[i]; }
    char* mutableTextAt(std::size_t i) { return const_cast<char*>(texts_[i]); }
    std::uint16_t styleAt(std::size_t i) const { return styles_[i]; }
    void setStyleAt(std::size_t i, std::uint16_t s) { styles_[i] = s; }
    std::int64_t currentIndex() const { return cur_; }  // -1 when empty
    void reserveLines(std::size_t n);
    // Room for as many more lines as `bytes` of a report usually make (up to `limit`); only a
    // hint: running out of memory here reserves nothing.
    void reserveLinesFor(std::uint64_t bytes, std::size_t limit);
    // Moves every line of `tail` (its texts, styles and box codes) after the last line of this
    // store; `tail` is left empty. The texts stay where they are.
    void appendStore(LineStore& tail);
    // Moves every line of `head` before the first line of this store, in the room this store
    // has: when it reserved enough, nothing is copied but the pointers, and no second array is
    // made of them. `head` is left empty.
    void prependStore(LineStore& head);
    void swap(LineStore& other) noexcept;
    void shrinkToFit();
    std::size_t memoryUsed() const;  // bytes held by texts, pointers and styles

    // Box-drawing codes (box_cells.h) beside the texts, for lines that hold box characters.
    // setBoxCodes takes one code per byte of line i (0 where there is no box character); lines
    // are filed in increasing order of i. boxCodes fills out[0..n) with the codes of bytes
    // offset..offset+n of line i and returns true, or returns false (out untouched) when the
    // line holds none. Kept as runs of equal codes: a frame line costs a few bytes per run.
    void setBoxCodes(std::size_t i, const std::uint8_t* codes, std::size_t len);
    bool boxCodes(std::size_t i, std::size_t offset, std::uint8_t* out, std::size_t n) const;
    bool hasBoxCodes(std::size_t i) const;
    void clearBoxCodes();
    // Forgets the box codes of line i and of every line after it.
    void dropBoxCodesFrom(std::size_t i);
    // Set when the lines were converted from code page 866: the byte 0xA6 then only ever stands
    // for the double vertical, which is not filed (the commonest box character costs nothing).
    bool doubleBarsImplied() const { return doubleBarsImplied_; }
    void setDoubleBarsImplied() { doubleBarsImplied_ = true; }

  private:
    struct Chunk {
        std::unique_ptr<char[]> data;
        std::size_t size = 0;
        std::size_t used = 0;
    };
    char* room(std::size_t bytes);

    std::vector<const char*> texts_;
    std::vector<std::uint16_t> styles_;
    std::vector<Chunk> chunks_;
    // A run of equal codes, `gap` bytes after the end of the run before it (in the same line).
    // Three bytes: a frame line of a hundred bytes costs some thirty.
    struct BoxRun {
        std::uint8_t gap, length, code;
    };
    struct BoxLine {
        std::uint32_t line, firstRun;  // its runs end where the next line's begin
    };
    static constexpr std::size_t kRunsPerChunk = 1 << 15;
    const BoxLine* findBoxLine(std::size_t i) const;
    const BoxRun& runAt(std::size_t r) const {
        return boxRuns_[r / kRunsPerChunk][r % kRunsPerChunk];
    }
    void pushRun(BoxRun run);
    std::vector<BoxLine> boxLines_;
    // Fixed chunks, so that growing never copies (nor doubles the peak of) what is held.
    std::vector<std::unique_ptr<BoxRun[]>> boxRuns_;
    std::size_t boxRunCount_ = 0;
    bool doubleBarsImplied_ = false;
    std::int64_t cur_ = -1;
    char* pending_ = nullptr;
};

}  // namespace folvek
