// Report frames in code page 866, converted as the loader converts them, must come out as
// joined lines: every arm of every box character is covered by drawn segments and no box
// character is printed as text.
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

std::string to1251(const std::u32string& line, std::string* plain) {
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
    oemToAnsi(out.data(), out.size());
    return out;
}

// Union of drawn segments along one line of the page.
bool covered(const RecordingDevice& dc, bool horizontal, int at, int from, int to) {
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

void expectJoined(const std::vector<std::u32string>& frame) {
    TestPager t;
    std::vector<std::string> lines;
    std::string plain;
    for (auto& f : frame) lines.push_back(to1251(f, &plain));
    t.setLines(lines);
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
                        ok = covered(dc, false, x, mid, mid + 16);
                        break;
                    case 'D':
                        ok = covered(dc, false, x, mid - 16, mid);
                        break;
                    case 'L':
                        ok = covered(dc, true, mid, x - 10, x);
                        break;
                    case 'R':
                        ok = covered(dc, true, mid, x, x + 10);
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
