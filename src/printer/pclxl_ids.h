// The PCL XL attribute ids and operator tags the reader acts on, as the protocol reference
// numbers them.
#pragma once

#include <cstdint>

namespace folvek::printer::pxl {

// Attribute ids.
enum : std::uint8_t {
    aPaletteDepth = 0x02,
    aColorSpace = 0x03,
    aNullBrush = 0x04,
    aNullPen = 0x05,
    aPaletteData = 0x06,
    aGrayLevel = 0x09,
    aRgbColor = 0x0b,
    aMediaSize = 0x25,
    aOrientation = 0x28,
    aPageAngle = 0x29,
    aPageOrigin = 0x2a,
    aCustomMediaSize = 0x2f,
    aCustomMediaSizeUnits = 0x30,
    aBoundingBox = 0x42,
    aEndPoint = 0x45,
    aFillMode = 0x46,
    aPenWidth = 0x4b,
    aPoint = 0x4c,
    aNumberOfPoints = 0x4d,
    aPointType = 0x50,
    aControlPoint1 = 0x51,
    aControlPoint2 = 0x52,
    aColorDepth = 0x62,
    aBlockHeight = 0x63,
    aColorMapping = 0x64,
    aCompressMode = 0x65,
    aDestinationSize = 0x67,
    aSourceHeight = 0x6b,
    aSourceWidth = 0x6c,
    aStartLine = 0x6d,
    aPadBytesMultiple = 0x6e,
    aMeasure = 0x86,
    aCharCode = 0xa2,
    aFontName = 0xa8,
    aTextData = 0xab,
    aXSpacingData = 0xaf,
    aYSpacingData = 0xb0,
    aUnitsPerMeasure = 0x89,
};

// Operators.
enum : std::uint8_t {
    oBeginSession = 0x41,
    oBeginPage = 0x43,
    oEndPage = 0x44,
    oBeginFontHeader = 0x4f,
    oReadFontHeader = 0x50,
    oEndFontHeader = 0x51,
    oBeginChar = 0x52,
    oReadChar = 0x53,
    oPopGS = 0x60,
    oPushGS = 0x61,
    oSetBrushSource = 0x63,
    oSetColorSpace = 0x6a,
    oSetCursor = 0x6b,
    oSetCursorRel = 0x6c,
    oSetFillMode = 0x6e,
    oSetFont = 0x6f,
    oSetPageOrigin = 0x75,
    oSetPageRotation = 0x76,
    oSetPenSource = 0x79,
    oSetPenWidth = 0x7a,
    oCloseSubPath = 0x84,
    oNewPath = 0x85,
    oPaintPath = 0x86,
    oBezierPath = 0x93,
    oBezierRelPath = 0x95,
    oLinePath = 0x9b,
    oLineRelPath = 0x9d,
    oRectangle = 0xa0,
    oRectanglePath = 0xa1,
    oText = 0xa8,
    oTextPath = 0xa9,
    oBeginImage = 0xb0,
    oReadImage = 0xb1,
    oEndImage = 0xb2,
};

}  // namespace folvek::printer::pxl
