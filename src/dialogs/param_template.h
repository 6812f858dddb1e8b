// The page parameters dialog's template PARAM and the identifiers of its controls.
#pragma once

#include "dialog_template.h"

namespace folvek {

enum ParamControl : int {
    kParamOk = 1,
    kParamCancel = 2,
    kParamSaveAs = 6,
    kParamLeftMargin = 101,
    kParamTopMargin = 102,
    kParamBottomMargin = 103,
    kParamTopFile = 104,
    kParamIsTopPicture = 105,
    kParamBottFile = 106,
    kParamIsBotPicture = 107,
    kParamIsNumPage = 108,
    kParamIsDos = 109,
    kParamCompress1 = 110,
    kParamCompress2 = 111,
    kParamPenWidth = 113,
    kParamTopChoose = 115,
    kParamBotChoose = 116,
    kParamHeightString = 117,
    kParamInAll1 = 118,
    kParamInAll2 = 119,
    kParamIsWrap = 120,
    kParamFontName = 122,
    kParamFontPoints = 124,
    kParamChooseFont = 125,
    kParamAsBackground = 126,
    kParamPortrait = 127,
    kParamLandscape = 128,
    kParamInTextEnd = 130,
    kParamEncoding = 131,  // "Кодировка": the settings' Encoding
    kParamFitWidth = 132,  // the settings' FitWidth
};

const DialogTemplate& paramTemplate();

}  // namespace folvek
