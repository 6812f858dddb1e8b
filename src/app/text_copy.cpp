// Copying a text file in text mode.
#include "text_copy.h"

#include "file_replace.h"

namespace folvek {

CopyResult copyTextFile(const std::string& source, const std::string& target, SaveResult* why) {
    std::string raw;
    if (!readWholeFile(source, raw)) return CopyResult::SourceFailed;

    std::string text;
    text.reserve(raw.size() + raw.size() / 32);
    for (char c : raw) {
        if (c == 0x1a) break;
        if (c == '\r') continue;
        if (c == '\n') text.push_back('\r');
        text.push_back(c);
    }
    raw.clear();
    raw.shrink_to_fit();

    // The whole source is in memory, so even a copy onto the source itself is safe.
    const SaveResult saved = saveFile(target, text);
    if (why) *why = saved;
    return saved.ok() ? CopyResult::Ok : CopyResult::TargetFailed;
}

}  // namespace folvek
