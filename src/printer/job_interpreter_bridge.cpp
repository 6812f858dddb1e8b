// Stands in for the printer-language readers until they are built: no job is recognised, so
// every file keeps the report layout unless the user asks for the job's own.
#include "job_interpreter.h"

namespace folvek::printer {

JobLanguage detectLanguage(std::string_view) {
    return JobLanguage::None;
}

JobDocument interpretJob(std::string_view, const JobOptions&) {
    return {};
}

}  // namespace folvek::printer
