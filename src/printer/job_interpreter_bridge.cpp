// Stands in for the job reader's language detection until the ESC/P reader is built: PCL jobs
// are told by their reset or job-language header and read by the PCL reader; nothing else is
// recognised, so every other file keeps the report layout unless the user asks for the job's.
#include "job_interpreter.h"

namespace folvek::printer {

JobLanguage detectLanguage(std::string_view job) {
    const std::string_view head = job.substr(0, 4096);
    if (head.find("\x1b%-12345X") != std::string_view::npos || head.rfind("\x1b" "E", 0) == 0 ||
        head.find("\x1b&l") != std::string_view::npos ||
        head.find("\x1b*r") != std::string_view::npos ||
        head.find("\x1b&a") != std::string_view::npos)
        return JobLanguage::Pcl5;
    return JobLanguage::None;
}

JobDocument interpretJob(std::string_view job, const JobOptions& options) {
    if (detectLanguage(job) == JobLanguage::Pcl5) return interpretPcl(job, options);
    return {};
}

}  // namespace folvek::printer
