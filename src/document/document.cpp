// Each change's steps, in order, then one notification.
#include "document.h"

#include <algorithm>

#include "printer_settings.h"
#include "progressive_load.h"

namespace folvek {

Document::Document(RecordContext context, const std::string& iniFileName)
    : record_(std::make_unique<DocumentRecord>(std::move(context), iniFileName, std::string())) {}

void applyLoadOptions(DocumentRecord& record, const LoadOptions& options) {
    if (options.dos) {
        record.setIsDos(*options.dos ? 1 : 0);
        record.encodingOverride = *options.dos ? EncodingChoice::Cp866 : EncodingChoice::Cp1251;
    }
    if (options.encoding) record.encodingOverride = *options.encoding;
    if (options.layout) record.layoutMode = *options.layout;
    if (options.fitWidth) record.FitWidth = *options.fitWidth ? 1 : 0;
    if (options.jobReader) record.jobReader = options.jobReader;
}

std::string Document::fileName() const {
    const std::size_t slash = path_.find_last_of('/');
    return slash == std::string::npos ? path_ : path_.substr(slash + 1);
}

ShownEncoding Document::encoding() const {
    const DocumentRecord& p = *record_;
    return ShownEncoding{p.textEncoding, p.utf16, p.encodingDetected, p.unmappableChars};
}

void Document::setLoadOptions(const LoadOptions& options) {
    applyLoadOptions(*record_, options);
}

unsigned Document::showPath(const std::string& path) {
    if (path == path_) return 0;
    path_ = path;
    return kPathChanged;
}

void Document::addListener(DocumentListener* listener) {
    if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void Document::removeListener(DocumentListener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void Document::notify(unsigned changes) {
    // A listener may remove itself while being told.
    const std::vector<DocumentListener*> now = listeners_;
    for (DocumentListener* l : now)
        if (std::find(listeners_.begin(), listeners_.end(), l) != listeners_.end())
            l->documentChanged(changes);
}

void Document::replacingLines() {
    rest_.reset();  // a file still being read stops: these lines go
    pendingPage_ = 0;
    tellReplacingLines();
}

void Document::tellReplacingLines() {
    const std::vector<DocumentListener*> now = listeners_;
    for (DocumentListener* l : now) l->linesAboutToChange();
}

// The base font feeds the starting style of every line, so a new font needs the style scan
// after the layout; a reload scans while loading.
void Document::relayout(bool withStyles) {
    record_->paginate();
    if (withStyles) record_->scanStyles();
}

bool Document::load(const std::string& path) {
    const unsigned moved = showPath(path);
    replacingLines();
    record_->freeText();
    record_->opened = readText(path);
    const bool loaded = record_->opened;
    relayout(false);
    notify(kTextChanged | kLayoutChanged | moved);
    return loaded;
}

void Document::reload(const std::string& path) {
    const unsigned moved = showPath(path);
    // A reload while another one's page waits for the count keeps waiting for that page.
    std::int32_t page = record_->curPage;
    if (pendingPage_ != 0 && page == headPage_) page = pendingPage_;
    replacingLines();
    record_->freeText();
    record_->opened = readText(path);
    relayout(false);
    std::int32_t last = record_->pageCount;
    if (loading()) {
        // The head's last page may go on in the rest; a page further on waits for the count.
        last = record_->pageCount - 1;
        if (page > last) pendingPage_ = page;
    }
    record_->curPage = std::clamp<std::int32_t>(page, 1, std::max<std::int32_t>(1, last));
    headPage_ = record_->curPage;
    notify(kTextChanged | kLayoutChanged | kPageChanged | moved);
}

void Document::reload() {
    if (hasPath()) reload(path_);
}

bool Document::savedAs(const std::string& path) {
    return load(path);
}

void Document::layoutModeChanged(LayoutMode mode) {
    record_->layoutMode = mode;
    if (hasPath()) load(path_);
}

bool Document::openWithSettings(const std::string& path, const std::string& iniFileName) {
    const unsigned moved = showPath(path);
    DocumentRecord& p = *record_;
    p.loadProfile(iniFileName);
    applyOrientation(p.context.printer, p.Orient);
    replacingLines();
    p.freeText();
    p.opened = !path.empty() && readText(path);
    const bool loaded = p.opened;
    relayout(false);
    notify(kTextChanged | kLayoutChanged | kZoomChanged | kSettingsFileChanged | moved);
    return loaded;
}

void Document::settingsFileLoaded(const std::string& iniFileName) {
    DocumentRecord& p = *record_;
    p.loadProfile(iniFileName);
    applyOrientation(p.context.printer, p.Orient);
    relayout(true);
    notify(kLayoutChanged | kZoomChanged);
}

void Document::settingsEdited(const std::string& reloadFrom) {
    DocumentRecord& p = *record_;
    unsigned changes = kLayoutChanged | kZoomChanged | kSettingsFileChanged;
    if (!reloadFrom.empty()) {
        replacingLines();
        p.freeText();
        readText(reloadFrom);
        changes |= kTextChanged;
    }
    applyOrientation(p.context.printer, p.Orient);
    relayout(true);
    notify(changes);
}

void Document::fontChanged() {
    record_->saveProfile(nullptr);
    relayout(true);
    notify(kLayoutChanged);
}

void Document::orientationChanged(int orientation) {
    applyOrientation(record_->context.printer, orientation);
    record_->Orient = orientation;
    relayout(false);
    notify(kLayoutChanged);
}

void Document::fitWidthChanged(bool on) {
    record_->FitWidth = on ? 1 : 0;
    record_->saveProfile(nullptr);
    relayout(false);
    notify(kLayoutChanged);
}

void Document::paperChanged() {
    relayout(false);
    notify(kLayoutChanged);
}

void Document::zoomChanged(int zoom) {
    record_->Zoom = zoom;
    record_->saveProfile(nullptr);
    notify(kZoomChanged);
}

void Document::goToPage(int page) {
    DocumentRecord& p = *record_;
    p.curPage = std::clamp<std::int32_t>(page, 1, std::max<std::int32_t>(1, p.pageCount));
    notify(kPageChanged);
}

}  // namespace folvek
