// Which printer language a job speaks, and the entry points that read it.
#include "job_interpreter.h"

#include "escp_reader.h"
#include "escp_scan.h"
#include "pclxl_reader.h"
#include "pclxl_stream.h"

namespace folvek::printer {

JobLanguage detectLanguage(std::string_view job) {
    // PCL XL is binary: its stream header, after any job-language lines, names it.
    if (pxlFindStream(job) != std::string_view::npos) return JobLanguage::PclXl;
    const JobScan scan = scanJob(job);
    // HP asks every PCL job to start with its reset; an Epson job that starts bold ends it.
    if (scan.pcl || (scan.startsWithReset && !scan.boldOff)) return JobLanguage::Pcl5;
    if (scan.escp2) return JobLanguage::EscP2;
    if (scan.proprinter) return JobLanguage::Proprinter;
    return scan.anyCommand ? JobLanguage::EscP : JobLanguage::None;
}

JobDocument interpretJob(std::string_view job, const JobOptions& options) {
    const JobLanguage language = detectLanguage(job);
    if (language == JobLanguage::Pcl5) return interpretPcl(job, options);
    if (language == JobLanguage::PclXl) return interpretPclXl(job, options);
    if (language == JobLanguage::None) {
        // Plain text is a job too: the printer prints it line by line at 10 cpi.
        JobDocument doc = interpretEscP(job, options, JobLanguage::EscP);
        doc.language = JobLanguage::None;
        return doc;
    }
    return interpretEscP(job, options, language);
}

JobDocument interpretEscP(std::string_view job, const JobOptions& options, JobLanguage dialect) {
    if (dialect != JobLanguage::EscP2 && dialect != JobLanguage::Proprinter)
        dialect = JobLanguage::EscP;
    return EscPReader(job, options, dialect).run();
}

JobDocument interpretPclXl(std::string_view job, const JobOptions& options) {
    JobDocument doc;
    PxlReader(doc, options).run(job);
    return doc;
}

}  // namespace folvek::printer
