// Reading a text file into the line store, in named steps: open and read the first block,
// settle the encoding from it, cut the file into lines (on two cores where it is big), file the
// look-alike frames, keep the figures layout needs, and say what went wrong.
#include <cstring>
#include <new>
#include <string>

#include "box_cells.h"
#include "codepage.h"
#include "document_open.h"
#include "document_record.h"
#include "encoding_choice.h"
#include "file_cut.h"
#include "messages.h"
#include "string_table.h"
#include "system_reason.h"

namespace folvek {

int DocumentRecord::loadText(const std::string& path) {
    OpenDocument doc;
    try {
        if (!openDocument(context, path, doc)) return 0;
    } catch (const std::bad_alloc&) {
        return 1;  // not even a block to read into: the document stays as it was
    }
    maxLineLength = 0;
    unmappableChars = 0;
    printerLayout = PrinterLayout{};
    shownInPart = false;
    splitLoad = false;
    lines.reserveLinesFor(static_cast<std::uint64_t>(doc.st.st_size), lineLimit);
    const std::size_t firstNewLine = lines.size();
    settleEncoding(*this, doc.block.get(), doc.have);

    FileCut cut(*this, doc, firstNewLine);
    try {
        cut.run();
    } catch (const std::bad_alloc&) {
        // Out of memory: keep the lines read so far.
    }
    cut.fileFrames();
    maxLineLength = cut.maxLength();
    unmappableChars = cut.unmappable();
    printerLayout = cut.printerLayout();
    splitLoad = cut.splitTaken();
    lines.shrinkToFit();

    if (firstNewLine != 0) scanStyles();  // lines held before this load: scanned after it
    if (doc.readFailed) reportUnopenable(context, path, systemReason(doc.readErrno));
    if (cut.cutShort()) {
        shownInPart = true;
        reportShownInPart(context, lines.size());
    }
    readJob(path);
    return 1;
}

int DocumentRecord::freeText() {
    lines.clear();
    jobLayout.reset();
    jobVerdict = JobVerdict{};
    return 1;
}

void DocumentRecord::convertCodePage(int direction) {
    const std::size_t n = lines.size();
    lines.clearBoxCodes();
    BoxLineCodes boxes;
    for (std::size_t i = 0; i < n; ++i) {
        if (direction) {
            convertDosLine(lines, i, boxes);
        } else {
            char* text = lines.mutableTextAt(i);
            ansiToOem(text, std::strlen(text));
        }
    }
    lines.last();
}

}  // namespace folvek
