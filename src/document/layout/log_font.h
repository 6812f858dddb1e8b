// A logical-font record: what the settings say about a font, independent of any device.
// A device realises it when the record is selected (heights are in the device's logical units).
#pragma once

#include <cstdint>
#include <cstring>

namespace folvek {

struct LogFont {
    std::int32_t height = -13;  // < 0: character (em) height, > 0: cell height, logical units
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 400;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 1;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 7;
    std::uint8_t quality = 2;
    std::uint8_t pitchAndFamily = 0;
    char faceName[32] = "Courier New";

    void setFaceName(const char* name) {
        std::strncpy(faceName, name, sizeof faceName - 1);
        faceName[sizeof faceName - 1] = '\0';
    }
    bool operator==(const LogFont& o) const {
        return height == o.height && width == o.width && weight == o.weight && italic == o.italic &&
               underline == o.underline && strikeOut == o.strikeOut && charSet == o.charSet &&
               pitchAndFamily == o.pitchAndFamily && std::strcmp(faceName, o.faceName) == 0;
    }
};

}  // namespace folvek
