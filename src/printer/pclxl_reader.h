// The PCL XL reader: sessions, pages with their media and orientation, the page origin and
// cursor, the color space, images and rectangles, printed through the page builder. Vector
// paths and text in downloaded fonts are stepped over with one warning each.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "job_interpreter.h"
#include "page_builder.h"
#include "pclxl_fonts.h"
#include "pclxl_image.h"
#include "pclxl_path.h"
#include "pclxl_stream.h"

namespace folvek::printer {

class PxlReader {
  public:
    PxlReader(JobDocument& document, const JobOptions& options);
    void run(std::string_view job);

  private:
    // What PushGS saves and PopGS restores.
    struct GraphicsState {
        bool brushInk = true, penInk = true;
        double penWidth = 1;
        PxlColors colors;
    };

    // Reads one stream from its header; returns where reading stopped.
    std::size_t stream(std::string_view job, std::size_t header);
    void perform(std::uint8_t op, const PxlStream& s);
    void draw(std::uint8_t op, const PxlStream& s);  // the cursor, graphics state and paths
    void data(std::string_view bytes);

    void beginSession(const PxlStream& s);
    void beginPage(const PxlStream& s);
    void endPage();
    void setColorSpace(const PxlStream& s);
    void beginImage(const PxlStream& s);
    void rectangle(const PxlStream& s);
    void text(const PxlStream& s);
    void fontOperator(std::uint8_t op, const PxlStream& s);
    void pathOperator(std::uint8_t op, const PxlStream& s);
    void pathPoints(std::string_view bytes);
    void paintPath();
    PxlPath::Point onPage(double x, double y) const {
        return PxlPath::Point{originX_ + x * scaleX_, originY_ + y * scaleY_};
    }
    static bool inkOf(const PxlStream& s, bool current);

    JobDocument& document_;
    JobPageBuilder builder_;
    PxlImage image_;
    PxlFonts fonts_;
    std::uint32_t charCode_ = 0;  // of the ReadChar whose data comes next

    double scaleX_ = kUnitsPerInch / 300.0, scaleY_ = kUnitsPerInch / 300.0;  // JobUnits a unit
    bool inPage_ = false;
    double originX_ = 0, originY_ = 0;  // the page origin, in JobUnits
    double cursorX_ = 0, cursorY_ = 0;  // from the origin, in user units
    GraphicsState gs_;
    PxlPath path_;
    bool evenOdd_ = false;
    std::int32_t dpi_ = 300;  // the session's resolution, at which paths are drawn
    // What painting paths may still spend on this page (rows times edges scanned): a page of
    // drawings takes far less; a loop of hostile paths is cut short.
    static constexpr std::int64_t kPaintWorkPerPage = 30'000'000;
    std::int64_t paintWork_ = kPaintWorkPerPage;
    // Points of a path operator that come as embedded data.
    std::int64_t pointCount_ = 0;
    int pointType_ = 0;
    std::vector<GraphicsState> saved_;

    // The last operator that reads data, and what its attributes said.
    std::uint8_t dataOp_ = 0;
    std::int64_t startLine_ = -1, blockHeight_ = 0;
    int compression_ = 0, padBytes_ = 4;
};

}  // namespace folvek::printer
