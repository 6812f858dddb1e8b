// Which file a loaded picture came from, as the file system tells files apart: a layout reuses
// the decoded picture while its file is the same one, unchanged, and reads it again (with its
// messages) only when the name or the file changed.
#pragma once

#include <cstdint>
#include <string>

namespace folvek {

struct PictureSource {
    std::string name;  // the name opened, as bitmapFileName gives it
    bool found = false;
    std::uint64_t device = 0, inode = 0;
    std::int64_t size = 0, modifiedNs = 0, changedNs = 0;

    // The file `name` names now; found is false when it cannot be looked at.
    static PictureSource of(const std::string& name);
    bool operator==(const PictureSource&) const = default;
};

}  // namespace folvek
