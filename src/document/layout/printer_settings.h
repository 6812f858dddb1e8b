// The application's printer as layout sees it: its device mode (orientation) and a device to
// measure pages on. The platform layer implements it over QPrinter; tests use a double.
#pragma once

#include <memory>

#include "layout_device.h"

namespace folvek {

class PrinterSettings {
  public:
    virtual ~PrinterSettings() = default;

    virtual bool hasDeviceMode() const = 0;
    virtual bool orientationSupported() const = 0;
    // Replaces the device mode's orientation (the private-copy-and-hand-back of the old API).
    virtual void setLandscape(bool landscape) = 0;
    virtual bool landscape() const = 0;

    // A device for the printer's current settings, or null when none can be created.
    virtual std::unique_ptr<LayoutDevice> createLayoutDevice() = 0;
};

// Hands the orientation setting (0 portrait, else landscape) to the printer.
void applyOrientation(PrinterSettings* printer, int orientation);

}  // namespace folvek
