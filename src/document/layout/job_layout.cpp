// The names of the layout modes, and the choice between a job's own pages and the report
// layout when a file is loaded.
#include "job_layout.h"

#include "document_record.h"

namespace folvek {

bool layoutModeFromName(const std::string& name, LayoutMode& mode) {
    if (name == "auto") {
        mode = LayoutMode::Auto;
    } else if (name == "job") {
        mode = LayoutMode::Job;
    } else if (name == "report") {
        mode = LayoutMode::Report;
    } else {
        return false;
    }
    return true;
}

const char* layoutModeName(LayoutMode mode) {
    switch (mode) {
        case LayoutMode::Job:
            return "job";
        case LayoutMode::Report:
            return "report";
        case LayoutMode::Auto:
            break;
    }
    return "auto";
}

void DocumentRecord::readJob(const std::string& path) {
    jobLayout.reset();
    jobVerdict = JobVerdict{};
    if (layoutMode == LayoutMode::Report) {
        jobVerdict.reason = "report layout chosen by the user";
        return;
    }
    if (utf16 != Utf16Form::None) {
        jobVerdict.reason = "a UTF-16 text holds no printer job";
        return;
    }
    // The loader has read every command: a file whose commands only set styles, pitch and
    // line spacing keeps the report layout without being read a second time.
    if (layoutMode == LayoutMode::Auto && !printerLayout.jobCommands) {
        jobVerdict.reason = "no command positions text, draws a picture or sets a form length";
        return;
    }
    if (!jobReader) {
        jobVerdict.reason = "no printer-language reader in this program";
        return;
    }
    jobLayout = jobReader->read(path, layoutMode, IsDos != 0, jobVerdict);
    jobVerdict.byJob = jobLayout != nullptr;
}

}  // namespace folvek
