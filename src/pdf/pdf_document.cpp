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
    appendInt(s, n);
    return s + " 0 R";
}

}  // namespace

PdfDocument::PdfDocument(PdfDocumentOptions options)
    : options_(std::move(options)),
      objects_(out_),
      fonts_(options_.fontFamily, [this] { return objects_.allocate(); }),
      images_(objects_),
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
    pipeline_ = std::make_unique<PdfPagePipeline>(workers, std::size_t(2 * workers + 3),
                                                  [this](std::string& c) { writePage(c); });
    return true;
}

DeviceContext& PdfDocument::beginPage(const PdfPageGeometry& g) {
    current_.page = objects_.allocate();
    current_.content = objects_.allocate();
    current_.mediaBox = "[0 0 ";
    appendFixed(current_.mediaBox, g.paperWidthMm * kPointsPerMm, 2);
    current_.mediaBox += ' ';
    appendFixed(current_.mediaBox, g.paperHeightMm * kPointsPerMm, 2);
    current_.mediaBox += ']';
    // One logical unit is 0.01 inch = 0.72 pt, y upward from the printable area's top.
    std::string prefix = ".72 0 0 .72 ";
    appendFixed(prefix, g.printableLeftMm * kPointsPerMm, 3);
    prefix += ' ';
    appendFixed(prefix, (g.paperHeightMm - g.printableTopMm) * kPointsPerMm, 3);
    prefix += " cm\n";
    device_.beginPage(g.printableWidthMm, g.printableHeightMm, prefix);
    pageOpen_ = true;
    return device_;
}

bool PdfDocument::endPage() {
    if (!pageOpen_) return !failed();
    pageOpen_ = false;
    pageObjects_.push_back(current_.page);
    pending_.push_back(std::move(current_));
    pipeline_->submit(device_.takeContent());
    return !failed();
}

void PdfDocument::writePage(std::string& compressed) {
    Pending p = std::move(pending_.front());
    pending_.pop_front();
    objects_.writeStream(p.content, "", compressed, true);
    std::string d = "<</Type/Page/Parent " + ref(pagesObject_) + "/MediaBox" + p.mediaBox +
                    "/Resources " + ref(resourcesObject_) + "/Contents " + ref(p.content) + ">>";
    objects_.write(p.page, d);
}

bool PdfDocument::failed() const {
    return !error_.empty() || out_.failed() || !fonts_.error().empty();
}

std::string PdfDocument::error() const {
    if (!error_.empty()) return error_;
    if (out_.failed()) return out_.error();
    return fonts_.error();
}

bool PdfDocument::finish() {
    if (!open_) return false;
    if (pageOpen_) endPage();
    pipeline_->drain();
    pipeline_.reset();
    bool cff = false;
    for (const auto& f : fonts_.fonts()) {
        if (failed()) break;
        cff = cff || f->cff;
        std::string why;
        if (!embedFont(objects_, *f, &why)) error_ = why;
    }
    if (pageObjects_.empty() && error_.empty()) error_ = "the document has no pages";
    if (failed()) {
        const std::string why = error();
        abort();
        error_ = why;
        return false;
    }

    std::string d = "<</Font<<";
    for (const auto& f : fonts_.fonts()) {
        d += "/F";
        appendInt(d, f->index);
        d += ' ' + ref(f->objectNumber);
    }
    d += ">>/XObject<<";
    for (const auto& im : images_.images()) {
        d += "/Im";
        appendInt(d, im.index);
        d += ' ' + ref(im.objectNumber);
    }
    d += ">>/ProcSet[/PDF/Text/ImageC]>>";
    objects_.write(resourcesObject_, d);

    d = "<</Type/Pages/Count ";
    appendInt(d, pageCount());
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
    pending_.clear();
    out_.discard();
    open_ = false;
    pageOpen_ = false;
}

}  // namespace folvek
