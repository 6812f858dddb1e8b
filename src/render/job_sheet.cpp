// A job's page on a sheet: the fit, the mapping of the job's units onto the device, and the
// order of drawing (pictures, rules, then text with its box characters).
#include "job_sheet.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "job_places.h"
#include "printed_job.h"

namespace folvek {

namespace {

// The device's logical units become the job's own (jobSheetMap keeps this ratio).
constexpr int kScaleDenominator = 200000000;

}  // namespace

const printer::JobDocument* jobDocumentOf(const DocumentRecord& record) {
    const auto* job = dynamic_cast<const printer::PrintedJob*>(record.jobLayout.get());
    return job ? &job->document() : nullptr;
}

LogFont jobRunFont(const LogFont& base, const printer::JobTextRun& run, double emPerCell) {
    LogFont f = base;
    const double em = std::clamp<double>(run.cellHeight * emPerCell, 1, 1 << 24);
    f.height = -static_cast<std::int32_t>(std::lround(em));
    f.width = 0;
    f.weight = (run.style & (printer::kJobBold | printer::kJobDoubleStrike)) ? 700 : 400;
    f.italic = (run.style & printer::kJobItalic) ? 1 : 0;
    f.underline = (run.style & printer::kJobUnderline) ? 1 : 0;
    f.strikeOut = 0;
    return f;
}

std::vector<LogFont> jobFaces(const printer::JobDocument& job, const LogFont& base) {
    bool used[4] = {};
    for (const printer::JobPage& p : job.pages)
        for (const printer::JobTextRun& r : p.runs) {
            const LogFont f = jobRunFont(base, r, 1.0);
            used[(f.weight > 400 ? 1 : 0) + (f.italic ? 2 : 0)] = true;
        }
    std::vector<LogFont> faces;
    for (int i = 0; i < 4; ++i) {
        if (!used[i]) continue;
        LogFont f = base;
        f.weight = (i & 1) ? 700 : 400;
        f.italic = (i & 2) ? 1 : 0;
        f.underline = 0;
        faces.push_back(f);
    }
    return faces;
}

JobFit jobFit(const DocumentRecord& record, const printer::JobPage& page) {
    JobFit fit;
    fit.left = record.LeftMargin;
    fit.top = record.TopMargin;
    const long double perUnit = 100.0L / printer::kUnitsPerInch;
    const long double roomW = record.pageWidth * 10.0L - record.LeftMargin;
    const long double roomH = record.pageHeight * 10.0L - record.TopMargin - record.BottomMargin;
    long double f = 1;
    if (page.width > 0) f = std::min(f, roomW / (page.width * perUnit));
    if (page.height > 0) f = std::min(f, roomH / (page.height * perUnit));
    // Margins that leave no room still show the form, as small as a stamp.
    if (!(f > 0.01L)) f = 0.01L;
    fit.scale = f * perUnit;
    return fit;
}

int drawJobSheet(const DocumentRecord& record, DeviceContext& dc, std::int32_t page,
                 bool printing) {
    dc.saveState();
    dc.setLoEnglish();
    if (!printing) dc.scaleViewport(record.Zoom, 2, record.Zoom, 2);
    dc.setTransparentText();
    const int previousPen = dc.currentPenWidth();
    dc.selectPen(record.PenWidth);
    if (!printing) {
        dc.moveTo(record.pageWidth * 10, 0);
        dc.lineTo(record.pageWidth * 10, -record.pageHeight * 10);
        dc.lineTo(0, -record.pageHeight * 10);
    }
    const printer::JobDocument* job = jobDocumentOf(record);
    if (job && page >= 1 && static_cast<std::size_t>(page) <= job->pages.size()) {
        const printer::JobPage& p = job->pages[static_cast<std::size_t>(page - 1)];
        const JobSheetMap map = jobSheetMap(record, p);
        const auto num = static_cast<int>(std::lround(map.unit * kScaleDenominator));
        dc.scaleViewport(num, kScaleDenominator, num, kScaleDenominator);
        const long double unit = map.unit;
        const std::int64_t originX = map.originX, originY = map.originY;
        const int pen = record.PenWidth > 0
                            ? static_cast<int>(std::min<long double>(record.PenWidth / unit, 1e8L))
                            : 0;
        drawJobPage(p, record.logFont, kJobEmPerCell, dc, originX, originY, pen);
    }
    dc.selectPen(previousPen);
    return dc.restoreState(-1) ? 1 : 0;
}

}  // namespace folvek
