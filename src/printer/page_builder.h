// Collects what an interpreter prints into JobPages: characters join into runs, dots of every
// density join into pictures per page, and hostile sizes are clipped with a warning. Both
// printer-language readers print through it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "job_interpreter.h"
#include "job_page.h"

namespace folvek::printer {

class JobPageBuilder {
  public:
    JobPageBuilder(JobDocument& document, const JobOptions& options);
    ~JobPageBuilder();
    JobPageBuilder(const JobPageBuilder&) = delete;
    JobPageBuilder& operator=(const JobPageBuilder&) = delete;

    // The form of the page being built and of the pages after it.
    void setPageSize(JobUnits width, JobUnits height);

    // One character with its baseline-left corner at (x, y). Characters that follow each
    // other at the same advance, height and style join the same run.
    void addChar(JobUnits x, JobUnits y, JobUnits advance, JobUnits cellHeight, std::uint16_t style,
                 char32_t c);

    // A block of dots at dpiX x dpiY: `rows` rows of `width` dots, top row first, rowBytes
    // bytes each, most significant bit leftmost, 1 = ink; its top-left corner at (x, y).
    void addDots(JobUnits x, JobUnits y, std::int32_t dpiX, std::int32_t dpiY, std::int32_t width,
                 std::int32_t rows, std::int32_t rowBytes, const std::uint8_t* bits);

    void addRule(JobUnits x, JobUnits y, JobUnits width, JobUnits height);

    // Ejects the sheet: the page is kept even when blank (a form feed on a blank form still
    // feeds a sheet).
    void endPage();
    // The end of the job: the last page is kept when anything was printed on it.
    void finish();

    // Bad input met: each distinct message is kept once.
    void warn(const std::string& message);

    bool pageEmpty() const;
    bool pageLimitReached() const;

  private:
    struct Canvas;  // the dots of one density on the page being built

    Canvas& canvasFor(std::int32_t dpiX, std::int32_t dpiY);
    void flushCanvases();
    void startPage();

    JobDocument& document_;
    JobOptions options_;
    JobPage page_;
    JobUnits width_ = 0, height_ = 0;  // the form of this page and the next ones
    std::vector<std::unique_ptr<Canvas>> canvases_;
    std::int64_t rasterDots_ = 0;  // dots the page's canvases hold room for
    std::int64_t pageChars_ = 0;
    bool dropping_ = false;  // the page limit was reached: what follows is not kept
};

}  // namespace folvek::printer
