// For tests: every setting a record holds, one plain-text line per group, for the corpus tests
// that compare what a settings file (or a dialog over it) leaves in the record.
#pragma once

#include <ostream>

#include "document_record.h"

namespace folvek::test {

inline void writeRecordSettings(std::ostream& out, const DocumentRecord& pg) {
    const LogFont& f = pg.logFont;
    out << "font " << f.height << " " << f.width << " " << f.weight << " " << int(f.italic)
        << int(f.underline) << int(f.strikeOut) << " " << int(f.charSet) << " "
        << int(f.pitchAndFamily) << " |" << f.faceName << "|\n";
    out << "edit font |" << pg.EditFontName << "|\n";
    out << "margins " << pg.TopMargin << " " << pg.BottomMargin << " " << pg.LeftMargin << " pen "
        << pg.PenWidth << "\n";
    out << "top |" << pg.TopFile << "| " << pg.IsTopPicture << " " << pg.Compress1 << " "
        << pg.InAll1 << "\n";
    out << "bottom |" << pg.BottFile << "| " << pg.IsBotPicture << " " << pg.Compress2 << " "
        << pg.InAll2 << "\n";
    out << "background " << pg.asBackground << " text end " << pg.inTextEnd << " numbers "
        << pg.IsNumPage << " dos " << pg.IsDos << " wrap " << pg.isWrap << " height "
        << pg.HeightString << " zoom " << pg.Zoom << " orient " << pg.Orient << " encoding "
        << static_cast<int>(pg.Encoding) << " fit " << pg.FitWidth << "\n";
}

}  // namespace folvek::test
