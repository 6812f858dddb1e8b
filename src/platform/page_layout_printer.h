// A printer without a print system: paper, orientation, unprintable margins and resolution for
// PDF and image output. Layout measures on it as it would on a real printer's device.
#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <QSizeF>

#include "printer_settings.h"

namespace folvek {

class PageLayoutPrinter : public PrinterSettings {
  public:
    static constexpr double kDefaultMarginMm = 5.0;
    static constexpr int kDefaultResolution = 600;

    explicit PageLayoutPrinter(QPageSize::PageSizeId paper = QPageSize::A4);

    bool hasDeviceMode() const override { return true; }
    bool orientationSupported() const override { return true; }
    void setLandscape(bool landscape) override { landscape_ = landscape; }
    bool landscape() const override { return landscape_; }
    std::unique_ptr<LayoutDevice> createLayoutDevice() override;

    void setPaper(QPageSize::PageSizeId paper) { paper_ = paper; }
    QPageSize::PageSizeId paper() const { return paper_; }
    // The unprintable border on every side, millimetres (clamped to >= 0).
    void setHardwareMarginMm(double mm) { marginMm_ = mm < 0 ? 0 : mm; }
    double hardwareMarginMm() const { return marginMm_; }
    // A wider border on the right only (a print job's right margin); the left and top edges,
    // where drawing starts, stay where the hardware margin puts them.
    void setExtraRightMarginMm(double mm) { extraRightMm_ = mm < 0 ? 0 : mm; }
    double extraRightMarginMm() const { return extraRightMm_; }
    // Pixels per inch of the measuring device (layout is the same at any resolution).
    void setResolution(int dpi) { dpi_ = dpi > 0 ? dpi : kDefaultResolution; }
    int resolution() const { return dpi_; }

    // The sheet in the current orientation and its printable area, millimetres.
    QSizeF paperSizeMm() const;
    QSizeF printableSizeMm() const;
    // Paper, orientation and the hardware margins as a Qt page layout (for PDF output).
    QPageLayout pageLayout() const;

  private:
    QPageSize::PageSizeId paper_;
    bool landscape_ = false;
    double marginMm_ = kDefaultMarginMm;
    double extraRightMm_ = 0;
    int dpi_ = kDefaultResolution;
};

// "A4", "a3", "Letter", ... to a page size; false for names not offered.
bool paperFromName(const QString& name, QPageSize::PageSizeId* out);

}  // namespace folvek
