// Which encoding a load reads the text in: the user's choice, a UTF-16 byte-order mark, or what
// detection tells from the first block; and the DOS flag that follows it.
#pragma once

#include <cstddef>

namespace folvek {

class DocumentRecord;

// Sets the record's textEncoding, encodingDetected and utf16 form from the first block, and
// IsDos after them: it follows the text for the editor, the Windows-encoding offer and mail,
// and stays the user's own when detection could not tell.
void settleEncoding(DocumentRecord& record, const unsigned char* first, std::size_t have);

// Bytes of the file's start to leave out: a UTF-8 or UTF-16 byte-order mark.
std::size_t markLength(const DocumentRecord& record, const unsigned char* first, std::size_t have);

}  // namespace folvek
