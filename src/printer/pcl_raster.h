// PCL 5 raster graphics: rows sent in compression modes 0 (none), 1 (run-length), 2 (TIFF
// PackBits), 3 (delta row), 5 (adaptive) and 9 (compressed replacement delta row), decoded
// against the seed row and collected into 1-bit pictures at the raster resolution.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "job_page.h"

namespace folvek::printer {

class JobPageBuilder;

// Decodes one row's data in a compression mode (0, 1, 2, 3 or 9) into `row`, whose size is the
// row width in bytes; delta modes change the seed row already in it. False for a mode it does
// not know (the row is left as it was).
bool pclDecodeRow(int mode, std::string_view data, std::vector<std::uint8_t>& row);

class PclRaster {
  public:
    explicit PclRaster(JobPageBuilder& builder) : builder_(builder) {}

    // Settings that hold between pictures.
    void setResolution(double dpi);
    int resolution() const { return dpi_; }
    void setCompression(int mode) { compression_ = mode; }
    int compression() const { return compression_; }
    void setSourceWidth(double dots);
    void setSourceHeight(double rows);
    void resetSettings();

    bool active() const { return active_; }
    // Starts a picture with its top-left corner at (x, y) on the sheet; rows are clipped at
    // `maxWidth` to the right and at `pageBottom`.
    void start(JobUnits x, JobUnits y, JobUnits maxWidth, JobUnits pageBottom);
    // One row of data in the current compression mode (mode 5 may hold several rows).
    void transfer(std::string_view data);
    // Moves down `rows` rows, each blank, and clears the seed row.
    void skipRows(double rows);
    // Ends the picture; returns the y below its last row.
    JobUnits end();
    JobUnits left() const { return x_; }
    JobUnits nextRowY() const;
    // Draws what was collected so far (before the sheet is ejected).
    void flush();

    bool hadInk() const { return hadInk_; }

  private:
    void addRow(const std::vector<std::uint8_t>& row);
    std::int64_t rowTop(std::int64_t index) const;
    void adaptive(std::string_view data);

    JobPageBuilder& builder_;
    int dpi_ = 75;
    int compression_ = 0;
    std::int32_t sourceWidth_ = 0, sourceHeight_ = 0;  // 0: not set

    bool active_ = false;
    bool hadInk_ = false;
    JobUnits x_ = 0, y_ = 0, pageBottom_ = 0;
    std::int32_t width_ = 0, rowBytes_ = 0;
    std::int64_t rowIndex_ = 0;  // rows of this picture so far, blank ones included
    std::vector<std::uint8_t> seed_;
    // Rows not yet handed to the page: blockRows_ rows from row blockStart_.
    std::vector<std::uint8_t> block_;
    std::int64_t blockStart_ = 0, blockRows_ = 0, trailingBlank_ = 0;
};

}  // namespace folvek::printer
