// Reading a file as a printer job and keeping its pages for the document.
#include "printed_job.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "job_interpreter.h"
#include "job_text.h"

namespace folvek::printer {

namespace {

// A job larger than this is not read as one: its pages would not fit in memory either.
constexpr std::uintmax_t kJobSizeLimit = std::uintmax_t{512} << 20;

bool readWhole(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    const auto size = static_cast<std::streamoff>(in.tellg());
    if (size < 0 || static_cast<std::uintmax_t>(size) > kJobSizeLimit) return false;
    in.seekg(0);
    out.resize(static_cast<std::size_t>(size));
    in.read(out.data(), size);
    return static_cast<std::streamoff>(in.gcount()) == size;
}

}  // namespace

std::int32_t PrintedJob::pageCount() const {
    return static_cast<std::int32_t>(std::min<std::size_t>(document_.pages.size(), INT32_MAX));
}

std::u16string PrintedJob::pageText(std::int32_t page) const {
    if (page < 1 || static_cast<std::size_t>(page) > document_.pages.size()) return {};
    return jobPageText(document_.pages[static_cast<std::size_t>(page - 1)]);
}

const char* languageName(JobLanguage language) {
    switch (language) {
        case JobLanguage::EscP:
            return "ESC/P";
        case JobLanguage::EscP2:
            return "ESC/P2";
        case JobLanguage::Proprinter:
            return "Proprinter";
        case JobLanguage::Pcl5:
            return "PCL 5";
        case JobLanguage::PclXl:
            return "PCL XL";
        case JobLanguage::None:
            break;
    }
    return "";
}

bool laysItselfOut(const JobFeatures& f, std::string& reason) {
    std::string what;
    const auto add = [&what](const char* s) {
        if (!what.empty()) what += ", ";
        what += s;
    };
    if (f.graphics) add("draws pictures");
    if (f.positions) add("positions text");
    if (f.formLength) add("sets the form length");
    if (what.empty()) {
        reason = "its commands only set styles, pitch and spacing";
        return false;
    }
    reason = "the job " + what;
    return true;
}

std::shared_ptr<const JobLayout> PrinterJobReader::read(const std::string& path, LayoutMode mode,
                                                        bool dos, JobVerdict& verdict) {
    std::string bytes;
    if (!readWhole(path, bytes)) {
        verdict.reason = "the file could not be read as a job";
        return nullptr;
    }
    const JobLanguage language = detectLanguage(bytes);
    verdict.language = languageName(language);
    if (language == JobLanguage::None && mode != LayoutMode::Job) {
        verdict.reason = "no printer language found";
        return nullptr;
    }
    JobOptions options;
    options.charTable = dos ? CharTable::Pc866 : CharTable::Win1251;
    JobDocument job = interpretJob(bytes, options);
    std::string().swap(bytes);
    verdict.warnings = job.warnings;
    if (!job.pages.empty()) {
        verdict.formWidthInches = double(job.pages.front().width) / kUnitsPerInch;
        verdict.formHeightInches = double(job.pages.front().height) / kUnitsPerInch;
    }
    const bool byJob = laysItselfOut(job.features, verdict.reason);
    if (mode == LayoutMode::Job) verdict.reason = "job layout chosen by the user";
    if (job.pages.empty()) {
        verdict.reason = "the job prints no page";
        return nullptr;
    }
    if (!byJob && mode != LayoutMode::Job) return nullptr;
    return std::make_shared<const PrintedJob>(std::move(job));
}

}  // namespace folvek::printer
