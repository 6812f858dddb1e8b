// Until the PCL reader is built, a PCL job reads as an empty document with a warning. The
// build leaves this file out as soon as the reader's pcl_*.cpp sources are there.
#include "job_interpreter.h"

namespace folvek::printer {

JobDocument interpretPcl(std::string_view, const JobOptions&) {
    JobDocument doc;
    doc.language = JobLanguage::Pcl5;
    doc.warnings.push_back("PCL jobs cannot be read yet");
    return doc;
}

}  // namespace folvek::printer
