// Pseudo-graphic line drawing: the nine bytes with which reports frame their tables are
// drawn as real lines joined to their neighbours in the row and in the rows above and below.
#pragma once

#include <cstdint>

#include "column_edges.h"
#include "device_context.h"

namespace folvek {

// Plus, minus, equals, vertical bar and broken bar: the bytes a neighbour may join to.
bool isLineChar(std::uint8_t b);

enum class LineClass { None, Corner, Horizontal, Vertical };
// Corner: + L 0xAC; horizontal: - = T 0xE3; vertical: | 0xA6.
LineClass lineClass(std::uint8_t b);

// Where a row lies on the page, in logical units (y grows upward).
struct RowGeometry {
    long double leftMargin = 0;
    long double charWidth = 1;
    std::int32_t rowTop = 0;
    std::int32_t lineHeight = 1;

    std::int32_t halfRow() const { return lineHeight / 2; }
    std::int32_t mid() const { return rowTop - halfRow(); }
    std::int32_t bottom() const { return rowTop - lineHeight; }
    // The middles of the neighbouring rows, where their horizontal lines run. Taken from the
    // rows' own geometry: with an odd pitch, rowTop + halfRow would fall one unit short.
    std::int32_t midAbove() const { return rowTop + lineHeight - halfRow(); }
    std::int32_t midBelow() const { return bottom() - halfRow(); }
    // The positions of this geometry's columns, when the row was given them (paintRow does):
    // the same values, found in a table.
    ColumnPositions* columns = nullptr;

    std::int32_t centre(std::int32_t c) const {
        if (columns) return columns->centre(c);
        return ColumnPositions::centreAt(leftMargin, charWidth, c);
    }
    std::int32_t edge(std::int32_t c) const {  // left edge of column c
        if (columns) return columns->edge(c);
        return ColumnPositions::edgeAt(leftMargin, charWidth, c);
    }
};

// The bytes around the one at `column`; 0 where there is none.
struct CellView {
    std::uint8_t self = 0, next1 = 0, next2 = 0, prev1 = 0, prev2 = 0, above = 0, below = 0;
    std::int32_t column = 0;
};

// The text run of the row being drawn.
class RunSink {
  public:
    virtual ~RunSink() = default;
    virtual void append(char b) = 0;
    virtual void flush() = 0;
};

// The open horizontal stroke of one row and the rules that open, extend and close it.
class LineArt {
  public:
    LineArt(DeviceContext& dc, const RowGeometry& row, RunSink& run, std::uint8_t prefixByte)
        : dc_(dc), row_(row), run_(run), prefix_(prefixByte) {}

    // A byte of lineClass other than None.
    void apply(const CellView& cell);
    // A text byte has just been appended at `column`: an open stroke ends before it.
    void afterText(std::int32_t column);
    // A box character drawn from its arms stands at `column`: an open stroke ends before it,
    // at its left edge when the character has a left arm to take the line on.
    void beforeBox(std::int32_t column, bool leftArm);
    // The strip ended after `columns` columns; closes an open stroke. True when one was open.
    bool endOfStrip(std::int32_t columns);

    int stroke() const { return stroke_; }

  private:
    void horizontal(const CellView& cell);
    void corner(const CellView& cell);
    void vertical(const CellView& cell);
    void close(std::int32_t endX);
    void segment(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
    std::int32_t centreOfPrevious(std::int32_t c) const {
        return static_cast<std::int32_t>(row_.leftMargin + c * row_.charWidth -
                                         row_.charWidth * 0.5L);
    }

    DeviceContext& dc_;
    RowGeometry row_;
    RunSink& run_;
    std::uint8_t prefix_;
    int stroke_ = 0;  // 0 none; 1 from the centre of its first cell; 2 from its left edge
    std::int32_t start_ = 0;
};

}  // namespace folvek
