// The one document, settings and layout record: the line store, the two pictures, the eight
// style fonts, every print setting (named after its settings key) and the layout that
// pagination computes. Operations live in the files named after them: loading in loader.cpp,
// the profile in profile.cpp, styles in style_scan.cpp, fonts and pages in pagination.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bmp_out.h"
#include "job_layout.h"
#include "layout_device.h"
#include "line_store.h"
#include "log_font.h"
#include "picture_source.h"
#include "printer_codes.h"
#include "text_encoding.h"

namespace folvek {

inline constexpr std::size_t kDocumentLineLimit = std::size_t{1} << 22;
// FontSize beyond this (a hundred inches) is taken as this: no font is that large, and the
// whole int range would overflow the metrics arithmetic.
inline constexpr std::int32_t kFontSizeLimit = 10000;

class MessageSink;
class PrinterSettings;

// What the record needs from the process around it.
struct RecordContext {
    MessageSink* messages = nullptr;     // never null in use; tests pass a recorder
    PrinterSettings* printer = nullptr;  // the application's printer, may be null
    // The screen's device, used when the printer gives none; may be empty.
    std::function<std::unique_ptr<LayoutDevice>()> screenDevice;
    std::string programDir;          // settings directory, ends with '/'
    bool orientationForced = false;  // /l or /p given: the settings' Orient is not applied at start
    // Told when settings the program writes on its own (zoom, font, the parameters dialog's OK)
    // could not be written back to their file, with the path and why; when it is set, such a
    // failure is said there instead of in a message box. Saving under a new name always says it
    // in a box.
    std::function<void(const std::string& path, const std::string& why)> settingsNotSaved;
};

class DocumentRecord {
  public:
    // Reads the settings from `iniFileName` (bare names live in the program directory), hands the
    // orientation to the printer unless forced, loads `path` when not empty and paginates.
    DocumentRecord(RecordContext context, const std::string& iniFileName, const std::string& path);
    DocumentRecord(const DocumentRecord&) = delete;
    DocumentRecord& operator=(const DocumentRecord&) = delete;
    virtual ~DocumentRecord();

    // Virtual operations, in this order.
    virtual const char* lineAt(std::int32_t index);
    virtual const char* nextLine();
    virtual const char* prevLine();
    virtual std::unique_ptr<LayoutDevice> printerDC();
    virtual void convertCodePage(int direction);    // nonzero: DOS (866) to Windows (1251)
    virtual int saveProfile(const char* fileName);  // null: write to iniPath
    virtual void loadProfile(const std::string& fileName);

    // Loading (loader.cpp).
    int loadText(const std::string& path);
    // The last load through Document read the text: the history and the recent list record
    // only documents that opened.
    bool opened = false;
    int freeText();

    // The encoding the next load uses: the command line's, else the `Encoding` setting, where
    // Auto means detection with the user's IsDos as the fallback.
    EncodingChoice encodingInForce() const { return encodingOverride.value_or(Encoding); }
    // The user's IsDos (settings file, command line, dialog), whatever the last load's encoding
    // put into IsDos since; this is what saveProfile writes.
    std::int32_t userIsDos() const {
        return isDosByLoad && IsDos == *isDosByLoad ? isDosBeforeLoad : IsDos;
    }
    // IsDos as the user's own choice.
    void setIsDos(std::int32_t on) {
        IsDos = on;
        isDosByLoad.reset();
    }

    // After a load: the job's own pages when the file lays itself out (job_layout.cpp).
    void readJob(const std::string& path);
    // The pages shown are the job's own, not the lines laid out as a report.
    bool jobLaidOut() const { return jobLayout != nullptr; }

    // Starting style of every line (style_scan.cpp).
    void scanStyles();

    // Fonts and pages (pagination.cpp).
    void createFonts();
    void deleteFonts();
    int paginate();
    // The picture of `file` (none when empty) at `compress` per cent, read again only when its
    // file changed since `source`.
    void usePicture(BmpOut& pic, PictureSource& source, const std::string& file,
                    std::int32_t compress);
    void fitPrinterPitch(LayoutDevice& dc);
    // Page size, grid and line pitch measured on dc with the current fonts.
    void measurePage(LayoutDevice& dc);
    // Columns per sheet for a character width, at least 1.
    std::int32_t columnsFor(double width) const;
    // The page walk: the page count, linesCut and widestLine (b: the bottom picture's height).
    std::int64_t walkPages(std::int32_t b);
    // FitWidth: the widest line's visible length over the whole document (fit_width.cpp).
    std::int32_t widestVisibleLine();
    // Shrinks the eight fonts to the largest height at which `widest` columns fit the printable
    // width; true when the result is still readable (or nothing needed shrinking).
    bool fitFontToWidth(LayoutDevice& dc, std::int32_t widest);
    // Runs the fit on dc, turning a portrait printer to landscape first when portrait would
    // make the text unreadable; dc may be replaced by the landscape device.
    void fitToWidth(std::unique_ptr<LayoutDevice>& dc);
    // Hands the printer back its portrait orientation when the last fit turned it.
    void undoFitOrientation();
    std::int32_t wrapExtra(std::int32_t n) const;
    // Text rows that a picture of height h takes from a page (rounded to the nearest row).
    std::int32_t pictureRows(std::int32_t h) const;
    // Rows of page p: linesPerPage less the pictures shown on it.
    std::int32_t capacity(std::int32_t p) const;

    RecordContext context;

    // Document.
    LineStore lines;
    std::int32_t maxLineLength = 0;
    // A file of more lines is shown up to this many: one of nothing but line or page breaks
    // would otherwise cost gigabytes for empty pages. shownInPart: the last load stopped there.
    std::size_t lineLimit = kDocumentLineLimit;
    bool shownInPart = false;
    // A file of this many bytes or more is cut on two cores, its second half on a thread of its
    // own; splitLoad says whether the last load kept that half's lines.
    std::int64_t splitLoadFrom = std::int64_t{4} << 20;
    bool splitLoad = false;
    // A file of this many bytes or more is shown by its head while its rest is read
    // (Document::loadProgressive).
    std::int64_t progressiveFrom = std::int64_t{1} << 20;
    TextEncoding textEncoding = TextEncoding::Cp1251;  // of the loaded text
    Utf16Form utf16 = Utf16Form::None;                 // the file's form when it is UTF-16
    bool encodingDetected = false;                     // told by detection, not fixed
    std::int64_t unmappableChars = 0;                  // characters 1251 lacks, shown as '?'
    PrinterLayout printerLayout;                       // what the printer codes set
    std::optional<EncodingChoice> encodingOverride;    // /d, /w, --encoding; loadProfile clears
    // IsDos as the last load set it from the encoding, and the user's value it replaced.
    std::optional<std::int32_t> isDosByLoad;
    std::int32_t isDosBeforeLoad = 0;

    // Settings (keys of the settings file). The six font keys live in logFont.
    LogFont logFont;
    std::string EditFontName = "fixedsys";  // the editor's face; application-wide, read only
    long double TopMargin = 0;
    long double BottomMargin = 0;
    long double LeftMargin = 0;
    std::int32_t PenWidth = 0;
    std::string TopFile;
    std::string BottFile;
    std::int32_t IsTopPicture = 0;
    std::int32_t IsBotPicture = 0;
    std::int32_t Compress1 = 100;
    std::int32_t Compress2 = 100;
    std::int32_t InAll1 = 0;
    std::int32_t InAll2 = 0;
    std::int32_t asBackground = 0;
    std::int32_t inTextEnd = 0;
    std::int32_t IsNumPage = 1;
    std::int32_t IsDos = 0;
    std::int32_t isWrap = 0;
    std::int32_t HeightString = 100;
    std::int32_t Zoom = 3;
    std::int32_t Orient = 0;
    EncodingChoice Encoding = EncodingChoice::Auto;
    std::int32_t FitWidth = 0;  // the font shrinks until the widest line fits the sheet
    std::string iniPath;        // the settings file last read or written

    // Layout.
    std::int32_t curPage = 1;
    std::int32_t pageCount = 1;
    std::int32_t pageHeight = 0;  // tenths of an inch
    std::int32_t pageWidth = 0;   // tenths of an inch
    LogFont fonts[8];
    const LogFont* curFont = nullptr;
    std::int32_t lineHeight = 1;  // hundredths of an inch, kept >= 1
    double charWidth = 1;         // hundredths of an inch, kept > 0
    std::int32_t linesPerPage = 0;
    std::int32_t charsPerLine = 0;
    BmpOut topPicture;
    BmpOut botPicture;
    // The files the two pictures were read from: a layout reads a picture again only when its
    // file changed, and reading a settings file forgets them.
    PictureSource topSource;
    PictureSource botSource;
    // What does not reach the paper: lines whose columns run past the printable width (beyond
    // the last continuation sheet when wrapping), and the widest drawn line in columns.
    std::int32_t linesCut = 0;
    std::int32_t widestLine = 0;
    std::int32_t sheetColumns = 0;  // columns that reach the paper: to the edge, or a strip
    // The fit's result: the font height it chose (0: the settings' own size was kept) and
    // whether it turned the printer to landscape for it.
    std::int32_t fitFontHeight = 0;
    bool fitLandscape = false;

    // Names the layout: every pagination takes a number no record of this process had before,
    // so what a drawer keeps about a layout (the page starts) is never taken for another's.
    std::uint64_t layoutGeneration = 0;

    // The layout the user chose for this file (--layout, the viewer's command), and what the
    // last load made of it: the job's own pages, or null for the report layout.
    LayoutMode layoutMode = LayoutMode::Auto;
    std::shared_ptr<const JobLayout> jobLayout;
    JobVerdict jobVerdict;
    // Reads printer jobs into their own pages; null: every file is laid out as a report. Set
    // by the program around the record (a layer that knows the printer languages).
    JobReader* jobReader = nullptr;
};

}  // namespace folvek
