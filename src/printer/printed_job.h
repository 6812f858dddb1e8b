// A printer job's pages as the document keeps them (the JobLayout it sees), and the reader that
// makes them from a file: it runs the interpreter and decides whether the job lays itself out.
#pragma once

#include <memory>
#include <string>

#include "job_layout.h"
#include "job_page.h"

namespace folvek::printer {

class PrintedJob final : public JobLayout {
  public:
    explicit PrintedJob(JobDocument document) : document_(std::move(document)) {}
    const JobDocument& document() const { return document_; }

    std::int32_t pageCount() const override;
    std::u16string pageText(std::int32_t page) const override;

  private:
    JobDocument document_;
};

// "ESC/P", "ESC/P2", "Proprinter", "PCL 5", "PCL XL"; empty for none.
const char* languageName(JobLanguage language);

// Whether what the interpreter saw lays the job out by itself, and why (for --info).
bool laysItselfOut(const JobFeatures& features, std::string& reason);

class PrinterJobReader final : public JobReader {
  public:
    std::shared_ptr<const JobLayout> read(const std::string& path, LayoutMode mode, bool dos,
                                          JobVerdict& verdict) override;
};

}  // namespace folvek::printer
