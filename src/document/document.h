// The document a window shows: the record of its lines, settings and layout, and the one place
// where each kind of change runs its steps in the right order and then tells its listeners once.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document_record.h"

namespace folvek {

// What a change touched, as bits; a listener refreshes what it shows of it.
enum DocumentChange : unsigned {
    kTextChanged = 1u << 0,          // the lines were read again
    kLayoutChanged = 1u << 1,        // pages, fonts, page size: page count and extent
    kPageChanged = 1u << 2,          // the current page
    kZoomChanged = 1u << 3,          // the view's scale: extent only
    kSettingsFileChanged = 1u << 4,  // another settings file, or a new one written
    kPathChanged = 1u << 5,          // another file is shown, or the shown one took a new name
    // With kTextChanged: the rest of a file whose head was shown has been appended. The same
    // read of the same file, not a new one: whoever follows the file's reads ignores it.
    kLoadCompleted = 1u << 6,
};

// What the program around the document fixes for its loads, over the settings file: the
// command line's /d, /w and --encoding, a print job's options. Each unset member leaves the
// settings' own value. The encoding holds until another settings file is read.
struct LoadOptions {
    // The user's IsDos; also fixes the encoding to 866 (on) or 1251 (off).
    std::optional<bool> dos;
    // Fixes the encoding, over what `dos` fixed (detection is off unless it is Auto).
    std::optional<EncodingChoice> encoding;
    // The report's or the job's own pages, or the reader's choice.
    std::optional<LayoutMode> layout;
    std::optional<bool> fitWidth;  // the font shrinks until the widest line fits the sheet
    // Reads printer jobs into their own pages (a layer above knows the languages); null leaves
    // the one the record has, which at first is none: every file is laid out as a report.
    JobReader* jobReader = nullptr;
};

// Applies `options` to `record`, before its next load.
void applyLoadOptions(DocumentRecord& record, const LoadOptions& options);

// The encoding a text was read in, for the status bar and the editor.
struct ShownEncoding {
    TextEncoding encoding = TextEncoding::Cp1251;
    Utf16Form utf16 = Utf16Form::None;
    bool detected = false;        // told by detection, not fixed
    std::int64_t unmappable = 0;  // characters 1251 lacks, shown as '?'
};

class DocumentListener {
  public:
    virtual ~DocumentListener() = default;
    virtual void documentChanged(unsigned changes) = 0;
    // The lines are about to be replaced: whoever reads them (a search on another thread)
    // must stop reading first.
    virtual void linesAboutToChange() {}
};

class ProgressiveLoad;

class Document {
  public:
    // Reads the settings from `iniFileName` (see DocumentRecord); no text is loaded yet.
    Document(RecordContext context, const std::string& iniFileName);
    ~Document();  // stops a load still running
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    DocumentRecord& record() { return *record_; }
    const DocumentRecord& record() const { return *record_; }

    // The file shown, as it was asked for (canonical); empty when none is. Every entry point
    // that reads a file makes it the shown one, also when it could not be read: the caption
    // names what was asked for.
    const std::string& path() const { return path_; }
    bool hasPath() const { return !path_.empty(); }
    // The shown file's name without its folder; empty when none is shown.
    std::string fileName() const;
    // The encoding the shown text was read in.
    ShownEncoding encoding() const;

    // Fixes what the next loads read the file with (see LoadOptions); nothing is read now.
    void setLoadOptions(const LoadOptions& options);

    void addListener(DocumentListener* listener);
    void removeListener(DocumentListener* listener);

    // The text of `path` replaces the shown one and is laid out with the current settings.
    // False when the file could not be read (the loader has said why).
    bool load(const std::string& path);
    // As load, but a big file's first pages can be shown at once: only its head is cut and laid
    // out, and its rest is cut on another thread while loading() is true. Until then the page
    // count is the head's, and whatever needs the whole text waits. Small files, UTF-16 and
    // printer jobs are loaded whole (document_progressive.cpp).
    bool loadProgressive(const std::string& path);
    bool loading() const { return rest_ != nullptr; }
    // Every load, reload and settings read from now on reads a big file as loadProgressive does
    // (the viewer's window); off, each reads the whole file before it returns (printing).
    void setProgressive(bool on) { progressive_ = on; }
    // Called on the loading thread when its work ends; whoever sets it has loadCompleted() run
    // on the document's own thread.
    void setLoadFinishedHook(std::function<void()> hook) { loadFinished_ = std::move(hook); }
    // Once the loading thread has ended: the rest is appended, the whole laid out again and the
    // listeners told of the text and layout once. Nothing otherwise.
    void loadCompleted();
    // Waits for the loading thread and completes the load; nothing when none runs.
    void finishLoading();
    // The text of `path` is read again (it changed on disk) and laid out; the page shown stays,
    // clamped to the new page count.
    void reload(const std::string& path);
    // Another settings file is read (a bare name lives in the settings directory) and the text,
    // when `path` is not empty, is read again with it. False when the text could not be read.
    bool openWithSettings(const std::string& path, const std::string& iniFileName);
    // Another settings file is read and the shown text laid out with it; the text keeps its
    // conversion, as it was read. The settings list is not told: the list may be the one that
    // asked.
    void settingsFileLoaded(const std::string& iniFileName);
    // The settings were edited in place; `reloadFrom` not empty reads the text again from there
    // first (its conversion depends on the settings).
    void settingsEdited(const std::string& reloadFrom = std::string());
    // The user's base font changed: it is written to the settings file, then the layout follows.
    void fontChanged();
    void orientationChanged(int orientation);
    // The fit to the sheet's width turned on or off; written to the settings file, then the
    // layout follows (the printer may turn to landscape for it, or back).
    void fitWidthChanged(bool on);
    // The printer's paper or device changed under the same settings.
    void paperChanged();
    // The view's scale (1..11), written to the settings file.
    void zoomChanged(int zoom);
    // The shown text is read again from its file (no file: nothing happens); the page stays.
    void reload();
    // The shown text was saved under `path` (Save As), which is the one shown from now on; it is
    // read from there. False when it could not be read.
    bool savedAs(const std::string& path);
    // The user chose the report's or the job's own pages for the shown file: it is read again
    // with that choice.
    void layoutModeChanged(LayoutMode mode);
    // Shows page `page`, clamped into 1..pageCount.
    void goToPage(int page);
    // Something outside the record changed that listeners show (a new settings file in the
    // directory): only the notification.
    void notify(unsigned changes);

  private:
    void relayout(bool withStyles);
    void replacingLines();
    void tellReplacingLines();
    // Makes `path` the shown file; kPathChanged when it is another one.
    unsigned showPath(const std::string& path);
    // Reads `path` into the freed lines, whole or by its head (progressive_); true when read.
    bool readText(const std::string& path);

    std::unique_ptr<DocumentRecord> record_;
    std::vector<DocumentListener*> listeners_;
    std::string path_;
    std::function<void()> loadFinished_;
    std::unique_ptr<ProgressiveLoad> rest_;  // the rest of a file still being read
    bool progressive_ = false;
    // A reload's page beyond the head's pages: shown once the count is known, unless the user
    // left headPage_, the page shown meanwhile. 0: none.
    std::int32_t pendingPage_ = 0;
    std::int32_t headPage_ = 0;
};

}  // namespace folvek
