// Objects and the cross-reference table.
#include "pdf_objects.h"

#include <cstdio>

#include "pdf_deflate.h"
#include "pdf_number.h"

namespace folvek {

int PdfObjects::allocate() {
    offsets_.push_back(0);
    return int(offsets_.size()) - 1;
}

void PdfObjects::begin(int number) {
    offsets_[std::size_t(number)] = out_.offset();
    scratch_.clear();
    appendInt(scratch_, number);
    scratch_ += " 0 obj\n";
    out_.write(scratch_);
}

void PdfObjects::write(int number, std::string_view body) {
    begin(number);
    out_.write(body);
    out_.write("\nendobj\n");
}

void PdfObjects::writeStream(int number, std::string_view dict, std::string_view data,
                             bool deflated) {
    begin(number);
    scratch_.assign("<<");
    scratch_ += dict;
    scratch_ += "/Length ";
    appendInt(scratch_, std::int64_t(data.size()));
    if (deflated) scratch_ += "/Filter/FlateDecode";
    scratch_ += ">>\nstream\n";
    out_.write(scratch_);
    out_.write(data);
    out_.write("\nendstream\nendobj\n");
}

void PdfObjects::writeDeflated(int number, std::string_view dict, std::string_view data) {
    std::string packed;
    deflateInto(data, packed);
    writeStream(number, dict, packed, true);
}

bool PdfObjects::finish(int root, int info) {
    const std::uint64_t xref = out_.offset();
    std::string s = "xref\n0 ";
    appendInt(s, std::int64_t(offsets_.size()));
    s += "\n0000000000 65535 f \n";
    out_.write(s);
    char entry[24];
    bool complete = true;
    for (std::size_t i = 1; i < offsets_.size(); ++i) {
        complete = complete && offsets_[i] != 0;
        std::snprintf(entry, sizeof entry, "%010llu 00000 n \n",
                      static_cast<unsigned long long>(offsets_[i]));
        out_.write(entry, 20);
    }
    s = "trailer\n<</Size ";
    appendInt(s, std::int64_t(offsets_.size()));
    s += "/Root ";
    appendRef(s, root);
    s += "/Info ";
    appendRef(s, info);
    s += ">>\nstartxref\n";
    appendInt(s, std::int64_t(xref));
    s += "\n%%EOF\n";
    out_.write(s);
    return complete;
}

}  // namespace folvek
