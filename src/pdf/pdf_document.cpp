// The document's objects: catalog, page tree, shared resources, pages, fonts and images.
#include "pdf_document.h"

#include <cstdio>

#include "pdf_font_embed.h"
#include "pdf_number.h"

namespace folvek {

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

// A text string as UTF-16BE with a byte order mark, the form that carries any character.
std::string textString(const std::string& utf8) {
    std::string s = "<FEFF";
    char b[8];
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        unsigned cp = c, extra = 0;
        if (c >= 0xF0)
            cp = c & 0x07, extra = 3;
        else if (c >= 0xE0)
            cp = c & 0x0F, extra = 2;
        else if (c >= 0xC0)
            cp = c & 0x1F, extra = 1;
        ++i;
        for (unsigned k = 0; k < extra && i < utf8.size(); ++k, ++i)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            std::snprintf(b, sizeof b, "%04X", 0xD800 + (cp >> 10));
            s += b;
            cp = 0xDC00 + (cp & 0x3FF);
        }
        std::snprintf(b, sizeof b, "%04X", cp & 0xFFFF);
        s += b;
    }
    return s + ">";
}

std::string ref(int n) {
    std::string s;
    appendRef(s, n);
    return s;
}

}  // namespace

PdfDocument::PdfDocument(PdfDocumentOptions options)
    : options_(std::move(options)),
      objects_(out_),
      fonts_(options_.fontFamily),
      device_(fonts_, images_) {}

PdfDocument::~PdfDocument() {
    if (open_) abort();
}

bool PdfDocument::open(const std::string& path) {
    if (!out_.open(path)) {
        error_ = out_.error();
        return false;
    }
    open_ = true;
    out_.write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    objects_.allocate();  // 1: catalog
    pagesObject_ = objects_.allocate();
    resourcesObject_ = objects_.allocate();
    objects_.allocate();  // 4: information
    const int workers = options_.workers < 0 ? PdfPagePipeline::defaultWorkers() : options_.workers;
    pipeline_ = std::make_unique<PdfPagePipeline>(
        workers, std::size_t(2 * workers + 3), fonts_, images_,
        [this](std::string& c, const std::vector<int>& images) { writePage(c, images); });
    return true;
}

PdfPageJob PdfDocument::jobFor(const PdfPageGeometry& g) {
    std::string box = "[0 0 ";
    appendFixed(box, g.paperWidthMm * kPointsPerMm, 2);
    box += ' ';
    appendFixed(box, g.paperHeightMm * kPointsPerMm, 2);
    box += ']';
    mediaBoxes_.push_back(std::move(box));
    PdfPageJob job;
    job.printableMm[0] = g.printableWidthMm;
    job.printableMm[1] = g.printableHeightMm;
    // One logical unit is 0.01 inch = 0.72 pt, y upward from the printable area's top.
    job.prefix = ".72 0 0 .72 ";
    appendFixed(job.prefix, g.printableLeftMm * kPointsPerMm, 3);
    job.prefix += ' ';
    appendFixed(job.prefix, (g.paperHeightMm - g.printableTopMm) * kPointsPerMm, 3);
    job.prefix += " cm\n";
    ++pages_;
    return job;
}

DeviceContext& PdfDocument::beginPage(const PdfPageGeometry& g) {
    if (pageOpen_) endPage();
    current_ = jobFor(g);
    device_.beginPage(g.printableWidthMm, g.printableHeightMm, current_.prefix);
    pageOpen_ = true;
    return device_;
}

bool PdfDocument::endPage() {
    if (!pageOpen_) return !failed();
    pageOpen_ = false;
    current_.content = device_.takeContent();
    current_.images = device_.takeImages();
    pipeline_->submit(std::move(current_));
    current_ = PdfPageJob();
    return !failed();
}

bool PdfDocument::addPage(const PdfPageGeometry& g, std::function<void(DeviceContext&)> draw) {
    if (!open_) return false;
    if (pageOpen_) endPage();
    PdfPageJob job = jobFor(g);
    job.draw = std::move(draw);
    pipeline_->submit(std::move(job));
    return !failed();
}

void PdfDocument::prepareFonts(const LogFont* fonts, int count) {
    for (int i = 0; i < count; ++i) fonts_.realise(fonts[i]);
}

void PdfDocument::writePage(std::string& compressed, const std::vector<int>& images) {
    // A page with pictures has resources of its own, naming them as its content does; the
    // pictures are written before the first page that shows them.
    std::string resources = ref(resourcesObject_);
    if (!images.empty()) {
        if (!fontsObject_) fontsObject_ = objects_.allocate();
        resources = "<</Font " + ref(fontsObject_) + "/XObject<<";
        for (std::size_t i = 0; i < images.size(); ++i) {
            resources += "/Im";
            appendInt(resources, std::int64_t(i) + 1);
            resources += ' ' + ref(images_.objectFor(images[i], objects_));
        }
        resources += ">>/ProcSet[/PDF/Text/ImageC]>>";
    }
    const std::string box = std::move(mediaBoxes_.front());
    mediaBoxes_.pop_front();
    const int content = objects_.allocate();
    objects_.writeStream(content, "", compressed, true);
    const int page = objects_.allocate();
    pageObjects_.push_back(page);
    objects_.write(page, "<</Type/Page/Parent " + ref(pagesObject_) + "/MediaBox" + box +
                             "/Resources " + resources + "/Contents " + ref(content) + ">>");
}

bool PdfDocument::failed() const {
    return !error_.empty() || out_.failed() || !fonts_.error().empty() ||
           (pipeline_ && !pipeline_->error().empty());
}

std::string PdfDocument::error() const {
    if (!error_.empty()) return error_;
    if (pipeline_ && !pipeline_->error().empty()) return pipeline_->error();
    if (out_.failed()) return out_.error();
    return fonts_.error();
}

bool PdfDocument::finish() {
    if (!open_) return false;
    if (pageOpen_) endPage();
    pipeline_->drain();
    if (error_.empty()) error_ = pipeline_->error();
    pipeline_.reset();
    bool cff = false;
    for (const auto& f : fonts_.fonts()) {
        if (failed()) break;
        cff = cff || f->cff;
        std::string why;
        if (!embedFont(objects_, *f, &why)) error_ = why;
    }
    if (pageObjects_.empty() && error_.empty()) error_ = "the document has no pages";
    if (out_.failed() && error_.empty()) error_ = out_.error();
    if (failed()) {
        const std::string why = error();
        abort();
        error_ = why;
        return false;
    }

    std::string fonts = "<<";
    for (const auto& f : fonts_.fonts()) {
        fonts += "/F";
        appendInt(fonts, f->index);
        fonts += ' ' + ref(f->objectNumber);
    }
    fonts += ">>";
    // Pages without pictures share these resources.
    std::string d = "<</Font" + fonts + "/XObject<<>>/ProcSet[/PDF/Text/ImageC]>>";
    objects_.write(resourcesObject_, d);
    if (fontsObject_) objects_.write(fontsObject_, fonts);

    d = "<</Type/Pages/Count ";
    appendInt(d, std::int64_t(pageObjects_.size()));
    d += "/Kids[";
    for (std::size_t i = 0; i < pageObjects_.size(); ++i) {
        if (i) d += (i % 8) ? " " : "\n";
        d += ref(pageObjects_[i]);
    }
    d += "]>>";
    objects_.write(pagesObject_, d);
    objects_.write(
        1, "<</Type/Catalog/Pages " + ref(pagesObject_) + (cff ? "/Version/1.6" : "") + ">>");
    d = "<</Producer" + textString(options_.creator);
    if (!options_.title.empty()) d += "/Title" + textString(options_.title);
    objects_.write(4, d + ">>");
    if (!objects_.finish(1, 4) && error_.empty()) error_ = "internal error: an object is missing";
    open_ = false;
    if (!error_.empty()) {
        out_.discard();
        return false;
    }
    if (!out_.commit()) return false;
    return true;
}

void PdfDocument::abort() {
    if (pipeline_) pipeline_->cancel();
    pipeline_.reset();
    mediaBoxes_.clear();
    out_.discard();
    open_ = false;
    pageOpen_ = false;
}

}  // namespace folvek
