// Which printer language a job speaks, and the entry points that read it.
#include "job_interpreter.h"

#include <algorithm>

#include "escp_reader.h"

namespace folvek::printer {
namespace {

bool lower(char c) {
    return c >= 'a' && c <= 'z';
}
bool digit(char c) {
    return c >= '0' && c <= '9';
}

// PCL: the universal exit of PJL, parameterized commands (ESC & l 1 O, ESC * r 1 A, ESC ( s ...),
// or a job that starts with the PCL reset and never switches an Epson bold off.
bool looksLikePcl(std::string_view job) {
    if (job.find("\x1b%-12345X") != std::string_view::npos) return true;
    for (std::size_t i = job.find('\x1b'); i != std::string_view::npos && i + 2 < job.size();
         i = job.find('\x1b', i + 1)) {
        const char c = job[i + 1], d = job[i + 2];
        if ((c == '&' || c == '*') && lower(d) && i + 3 < job.size() &&
            (digit(job[i + 3]) || job[i + 3] == '-' || job[i + 3] == '+'))
            return true;
        if (c == '(' && d == 's' && i + 3 < job.size() && digit(job[i + 3])) return true;
    }
    return job.size() >= 2 && job[0] == '\x1b' && job[1] == 'E' &&
           job.find(
               "\x1b"
               "F") == std::string_view::npos;
}

// ESC/P2: graphics mode, units, page format, raster dots, remote mode; Proprinter: its
// bracket commands, overline, or the DC1 it opens a job with.
JobLanguage epsonDialect(std::string_view job) {
    bool escp = false, proprinter = job.size() > 1 && job[0] == '\x11' && job[1] == '\x1b';
    for (std::size_t i = 0; i < job.size(); ++i) {
        const auto b = static_cast<unsigned char>(job[i]);
        if (b == 0x0E || b == 0x0F || b == 0x12 || b == 0x14 || b == 0x08) escp = true;
        if (b != 0x1B || i + 1 >= job.size()) continue;
        escp = true;
        const char c = job[i + 1];
        if (c == '.') return JobLanguage::EscP2;
        if (c == '(' && i + 4 < job.size() && job[i + 4] == 0 &&
            std::string_view("GUCcVvDR").find(job[i + 2]) != std::string_view::npos)
            return JobLanguage::EscP2;
        if (c == '[' || c == '_') proprinter = true;
    }
    if (proprinter) return JobLanguage::Proprinter;
    return escp ? JobLanguage::EscP : JobLanguage::None;
}

}  // namespace

JobLanguage detectLanguage(std::string_view job) {
    if (looksLikePcl(job)) return JobLanguage::Pcl5;
    return epsonDialect(job);
}

JobDocument interpretJob(std::string_view job, const JobOptions& options) {
    const JobLanguage language = detectLanguage(job);
    if (language == JobLanguage::Pcl5) return interpretPcl(job, options);
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

}  // namespace folvek::printer
