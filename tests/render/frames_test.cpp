// Report frames in code page 866, converted as the loader converts them (look-alike bytes in
// the text, box codes beside it), must come out as joined lines: every arm of every box character
// is covered by drawn segments and no box character is printed as text.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "codepage.h"
#include "line_art.h"
#include "page_renderer.h"
#include "recording_device.h"

namespace folvek::test {
namespace {

// Code page 866 from 0xB0 to 0xDF, and the arms (Up Down Left Right) of each character.
const std::u32string kBox866 = U"░▒▓│┤╡╢╖╕╣║╗╝╜╛┐└┴┬├─┼╞╟╚╔╩╦╠═╬╧╨╤╥╙╘╒╓╫╪┘┌█▄▌▐▀";
const char* const kArms[48] = {
    "",   "",   "",    "UD",   "UDL",  "UDL", "UDL",  "DL",  "DL",  "UDL",  "UD",  "DL",
    "UL", "UL", "UL",  "DL",   "UR",   "ULR", "DLR",  "UDR", "LR",  "UDLR", "UDR", "UDR",
    "UR", "DR", "ULR", "DLR",  "UDR",  "LR",  "UDLR", "ULR", "ULR", "DLR",  "DLR", "UR",
    "UR", "DR", "DR",  "UDLR", "UDLR", "UL",  "DR",   "",    "",    "",     "",    ""};

std::string to866(const std::u32string& line, std::string* plain) {
    std::string out;
    for (char32_t ch : line) {
        const auto at = kBox866.find(ch);
        if (at == std::u32string::npos) {
            out.push_back(static_cast<char>(ch));
            if (ch != U' ') plain->push_back(static_cast<char>(ch));
        } else {
            out.push_back(static_cast<char>(0xB0 + at));
        }
    }
    return out;
}

// Union of drawn segments along one line of the page.
bool coveredAt(const RecordingDevice& dc, bool horizontal, int at, int from, int to) {
    std::vector<std::pair<int, int>> spans;
    for (auto& s : dc.segments) {
        if (horizontal && s.y1 == at && s.y2 == at) spans.push_back(std::minmax(s.x1, s.x2));
        if (!horizontal && s.x1 == at && s.x2 == at) spans.push_back(std::minmax(s.y1, s.y2));
    }
    std::sort(spans.begin(), spans.end());
    int reach = from;
    for (auto [a, b] : spans)
        if (a <= reach && b > reach) reach = b;
    return reach >= to;
}

// The arm from `centre` to `edge` along the line `at`: drawn on the centre line, or (a double
// arm) on one of the two lines beside it, 1 to the left and 2 to the right of a vertical
// centre line, 1 above and 2 below a horizontal one. The inner line of a double arm turns off
// at the other line of the crossing arm, up to 3 units before the centre at either end.
bool armDrawn(const RecordingDevice& dc, bool horizontal, int at, int centre, int edge) {
    auto span = [&](int offset, int shorten, int shortenEdge) {
        const int dir = edge > centre ? 1 : -1;
        const int from = centre + dir * shorten, to = edge - dir * shortenEdge;
        return coveredAt(dc, horizontal, at + offset, std::min(from, to), std::max(from, to));
    };
    // A single line meeting a double one stops at its nearer line, up to 2 before a centre.
    return span(0, 2, 2) || span(horizontal ? 1 : -1, 3, 3) || span(horizontal ? -2 : 2, 3, 3);
}

void expectJoined(const std::vector<std::u32string>& frame) {
    TestRecord t;
    std::vector<std::string> lines;
    std::string plain;
    for (auto& f : frame) lines.push_back(to866(f, &plain));
    t.setLines(lines);
    t->convertCodePage(1);  // as the loader converts a DOS file
    t->paginate();
    RecordingDevice dc;
    drawPage(*t, dc, 1, true);

    std::string printed;
    for (char ch : dc.allText())
        if (ch != ' ') printed.push_back(ch);
    EXPECT_EQ(printed, plain);
    for (std::size_t k = 0; k < frame.size(); ++k) {
        for (std::size_t c = 0; c < frame[k].size(); ++c) {
            const auto at = kBox866.find(frame[k][c]);
            if (at == std::u32string::npos) continue;
            const int x = int(c) * 10 + 5, mid = -int(k) * 16 - 8;
            for (const char* arm = kArms[at]; *arm; ++arm) {
                bool ok = false;
                switch (*arm) {
                    case 'U':
                        ok = armDrawn(dc, false, x, mid, mid + 16);
                        break;
                    case 'D':
                        ok = armDrawn(dc, false, x, mid, mid - 16);
                        break;
                    case 'L':
                        ok = armDrawn(dc, true, mid, x, x - 10);
                        break;
                    case 'R':
                        ok = armDrawn(dc, true, mid, x, x + 10);
                        break;
                }
                EXPECT_TRUE(ok) << "row " << k << " column " << c << " arm " << *arm;
            }
        }
    }
}

TEST(Frames, SingleWithTeesAndCrosses) {
    expectJoined({U"┌────┬────┐", U"│ ab │ cd │", U"├────┼────┤", U"│ ef │ gh │", U"└────┴────┘"});
}

TEST(Frames, Double) {
    expectJoined(
        {U"╔════╦════╗", U"║ ab ║ cd ║", U"╠════╬════╣", U"║ 12 ║ 34 ║", U"╚════╩════╝  total"});
}

TEST(Frames, Mixed) {
    expectJoined({U"╒═══╤═══╕", U"│ a │ b │", U"╞═══╪═══╡", U"╘═══╧═══╛"});
    expectJoined({U"╓───╥───╖", U"║ a ║ b ║", U"╟───╫───╢", U"╙───╨───╜"});
    expectJoined({U"╔═══╤═══╗", U"║ a │ b ║", U"╟───┼───╢", U"║ c │ d ║", U"╚═══╧═══╝"});
}

TEST(Frames, IndentedWithASeparatorRightAboveTheBottom) {
    expectJoined({U"   ┌──┬──┐", U"   │a │b │", U"   ├──┼──┤", U"   └──┴──┘"});
}

TEST(Frames, ShadesAndBlocksStayText) {
    for (int dos : {0xB0, 0xB1, 0xB2, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF}) {
        const auto b = boxLookalike(static_cast<std::uint8_t>(dos));
        EXPECT_FALSE(isLineChar(b)) << dos;
        EXPECT_NE(b, 0xA6);
        EXPECT_TRUE(b != 'L' && b != 'T' && b != 0xAC && b != 0xE3) << dos;
    }
    const std::string nine = std::string("+-=|LT") + char(0xA6) + char(0xAC) + char(0xE3);
    for (int dos = 0xB3; dos <= 0xDA; ++dos)
        EXPECT_NE(nine.find(char(boxLookalike(static_cast<std::uint8_t>(dos)))), std::string::npos)
            << dos;
}

}  // namespace
}  // namespace folvek::test
