// Drawing a printer job's own pages: the job's form fitted into the printable area and margins
// the settings choose, proportions kept, one form per sheet; text on the printer's grid in the
// settings' font, box characters as joined lines, pictures as 1-bit images, rules filled.
#pragma once

#include <cstdint>
#include <vector>

#include "device_context.h"
#include "document_record.h"
#include "job_page.h"

namespace folvek {

// The pages of the job the document shows, or null when it is laid out as a report.
const printer::JobDocument* jobDocumentOf(const DocumentRecord& record);

// Where a form goes on the sheet: its top-left corner, hundredths of an inch right of and below
// the printable area's corner, and how many hundredths one unit of the job takes. A form larger
// than the room is shrunk to fit whole; a smaller one prints at its own size.
struct JobFit {
    long double left = 0;
    long double top = 0;
    long double scale = 100.0L / printer::kUnitsPerInch;
};
JobFit jobFit(const DocumentRecord& record, const printer::JobPage& page);

// A text run's cell is a capital with its descender, four fifths of a monospaced face's em.
inline constexpr double kJobEmPerCell = 1.25;
// The font a text run is drawn in: the settings' face in the run's style, its em the run's
// cell height times emPerCell.
LogFont jobRunFont(const LogFont& base, const printer::JobTextRun& run,
                   double emPerCell = kJobEmPerCell);
// The faces (weight and slant) the job's text is drawn in, one font each.
std::vector<LogFont> jobFaces(const printer::JobDocument& job, const LogFont& base);

// Draws sheet `page` (1..pageCount) of the job; `printing` leaves out the preview's zoom and
// frame. Returns the RestoreDC result.
int drawJobSheet(const DocumentRecord& record, DeviceContext& dc, std::int32_t page, bool printing);

// One page of a job at the fit given, the device's logical units being the job's own with the
// form's corner at (originX, originY) and y upward (for drawJobSheet and tests).
void drawJobPage(const printer::JobPage& page, const LogFont& baseFont, double emPerCell,
                 DeviceContext& dc, std::int64_t originX, std::int64_t originY, int penWidth);

}  // namespace folvek
