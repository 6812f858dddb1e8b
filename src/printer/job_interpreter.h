// Reading a printer job into pages: which language a job speaks, and the one entry point that
// runs the right interpreter over it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "char_tables.h"
#include "job_page.h"

namespace folvek::printer {

struct JobOptions {
    // The character table before the job selects one: the code page the document's text was
    // found to be in (866 for most of our users' printers).
    CharTable charTable = CharTable::Pc866;
    // The form before the job sets one: 11 inches long; the carriage 8 inches wide, or 13.6
    // when the job's lines need it (0: choose so).
    JobUnits pageLength = 11 * kUnitsPerInch;
    JobUnits carriageWidth = 0;
    // Bounds that keep hostile input from taking the machine: pages and dots of raster per page
    // beyond them are dropped with a warning.
    std::int32_t maxPages = 100000;
    std::int64_t maxRasterDotsPerPage = std::int64_t{14} * 1440 * 23 * 1440;
};

// The language a job speaks, judged from its bytes (PCL XL's stream header, PJL and PCL resets,
// ESC/P2 graphics mode, ESC/P and Proprinter commands); None when it holds no printer command.
JobLanguage detectLanguage(std::string_view job);

// Reads the whole job in the language detected (Proprinter and ESC/P share one reader).
JobDocument interpretJob(std::string_view job, const JobOptions& options = {});

// The readers themselves, for callers and tests that know the language.
JobDocument interpretEscP(std::string_view job, const JobOptions& options, JobLanguage dialect);
JobDocument interpretPcl(std::string_view job, const JobOptions& options);
JobDocument interpretPclXl(std::string_view job, const JobOptions& options);

}  // namespace folvek::printer
