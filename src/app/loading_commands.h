// The commands that wait while a big file is shown by its head and its rest is still read:
// whatever needs every line or the page count (printing, exports, find, tables, the last page,
// a page by number, the other layout).
#pragma once

namespace folvek {

class DocumentRecord;

// True when command `id` must wait until the file has been read whole. The next page waits at
// the head's last page, which the rest may go on.
bool commandWaitsForWholeText(int id, const DocumentRecord& record);

}  // namespace folvek
