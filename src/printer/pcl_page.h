// The sheets a PCL 5 job prints on: the paper sizes a page-size command names, and the logical
// page inside each (the area PCL positions are measured in, a little narrower than the paper).
#pragma once

#include <cstdint>

#include "job_page.h"

namespace folvek::printer {

struct PclPaper {
    JobUnits width = 0;   // portrait
    JobUnits height = 0;  // portrait
    bool metric = false;  // ISO and JIS sizes: their logical page sits a little further out
};

// The paper for a page-size value (1 executive, 2 letter, 3 legal, 26 A4 ...); false for a
// value no printer knows (the paper is left as it was).
bool pclPaperForSize(int size, PclPaper& paper);
PclPaper pclDefaultPaper();

// The physical page and the logical page on it in one orientation.
struct PclPageGeometry {
    JobUnits paperWidth = 0, paperHeight = 0;  // as the job's orientation turns the sheet
    JobUnits logicalLeft = 0;                  // left edge of the logical page on the sheet
    JobUnits logicalWidth = 0, logicalHeight = 0;
};

// Orientation 0 portrait, 1 landscape, 2 reverse portrait, 3 reverse landscape.
PclPageGeometry pclGeometry(const PclPaper& paper, int orientation);

}  // namespace folvek::printer
