// A printer job that lays itself out. When a job positions its text, draws pictures or sets its
// form length, the document keeps the job's own pages beside its lines, and every output shows
// those pages instead of the lines laid out as a report. This layer only holds and counts them:
// the printer layer reads them (JobReader) and the renderer draws them, both through types of
// their own that implement these interfaces.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace folvek {

// Which layout a file gets: decided from its commands, or fixed by the user.
enum class LayoutMode : std::uint8_t { Auto, Job, Report };

// "job", "report", "auto" and back; false for any other word.
bool layoutModeFromName(const std::string& name, LayoutMode& mode);
const char* layoutModeName(LayoutMode mode);

// The pages of a job as the printer would print them.
class JobLayout {
  public:
    virtual ~JobLayout() = default;
    virtual std::int32_t pageCount() const = 0;
    // The text of page `page` (1-based) in reading order, one line per printed line, for
    // find and copy; UTF-16.
    virtual std::u16string pageText(std::int32_t page) const = 0;
};

// What was decided for a file and why, for --info and the status of the viewer.
struct JobVerdict {
    bool byJob = false;    // the job's own pages are shown
    std::string language;  // the printer language found ("ESC/P", "PCL 5", ...); empty: none
    std::string reason;    // why this layout, in a few words
    double formWidthInches = 0;
    double formHeightInches = 0;
    std::vector<std::string> warnings;  // bad input the interpreter met and clipped
};

class JobReader {
  public:
    virtual ~JobReader() = default;
    // Reads the printer job in the file `path`. `dos`: the text was taken for DOS (866), the
    // table the job's characters start in. Returns the pages when they are to be shown (with
    // LayoutMode::Job always, when the job gives any page), null when the file stays a report;
    // `verdict` says which and why.
    virtual std::shared_ptr<const JobLayout> read(const std::string& path, LayoutMode mode,
                                                  bool dos, JobVerdict& verdict) = 0;
};

}  // namespace folvek
