// Paper sizes and logical pages of PCL 5. The logical page is offset from the paper's left edge
// by 1/4 inch in portrait and 1/5 inch in landscape (71 and 59 dots of 300 for the metric
// sizes), and is as long as the paper.
#include "pcl_page.h"

namespace folvek::printer {
namespace {

constexpr JobUnits inches(double in) {
    return static_cast<JobUnits>(in * kUnitsPerInch + 0.5);
}
constexpr JobUnits mm(double millimetres) {
    return static_cast<JobUnits>(millimetres * kUnitsPerInch / 25.4 + 0.5);
}
constexpr JobUnits kDot300 = kUnitsPerInch / 300;

struct PaperEntry {
    int size;
    PclPaper paper;
};

constexpr PaperEntry kPapers[] = {
    {1, {inches(7.25), inches(10.5), false}},   // executive
    {2, {inches(8.5), inches(11), false}},      // letter
    {3, {inches(8.5), inches(14), false}},      // legal
    {6, {inches(11), inches(17), false}},       // ledger
    {25, {mm(148), mm(210), true}},             // A5
    {26, {mm(210), mm(297), true}},             // A4
    {27, {mm(297), mm(420), true}},             // A3
    {45, {mm(182), mm(257), true}},             // JIS B5
    {46, {mm(257), mm(364), true}},             // JIS B4
    {71, {mm(100), mm(148), true}},             // Hagaki postcard
    {72, {mm(148), mm(200), true}},             // Oufuku-Hagaki
    {80, {inches(3.875), inches(7.5), false}},  // Monarch envelope
    {81, {inches(4.125), inches(9.5), false}},  // Com-10 envelope
    {90, {mm(110), mm(220), true}},             // DL envelope
    {91, {mm(162), mm(229), true}},             // C5 envelope
    {100, {mm(176), mm(250), true}},            // B5 envelope
};

}  // namespace

bool pclPaperForSize(int size, PclPaper& paper) {
    for (const auto& entry : kPapers) {
        if (entry.size == size) {
            paper = entry.paper;
            return true;
        }
    }
    return false;
}

PclPaper pclDefaultPaper() {
    PclPaper a4;
    pclPaperForSize(26, a4);
    return a4;
}

PclPageGeometry pclGeometry(const PclPaper& paper, int orientation) {
    PclPageGeometry g;
    const bool landscape = orientation == 1 || orientation == 3;
    g.paperWidth = landscape ? paper.height : paper.width;
    g.paperHeight = landscape ? paper.width : paper.height;
    const int dots = landscape ? (paper.metric ? 59 : 60) : (paper.metric ? 71 : 75);
    g.logicalLeft = dots * kDot300;
    g.logicalWidth = g.paperWidth - 2 * g.logicalLeft;
    if (g.logicalWidth < kDot300) g.logicalWidth = kDot300;
    g.logicalHeight = g.paperHeight;
    return g;
}

}  // namespace folvek::printer
