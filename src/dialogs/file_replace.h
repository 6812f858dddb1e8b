// Reading a document whole and replacing it safely: the new contents go to a temporary file
// beside the document, which is renamed over it only when every byte was written, so a failed
// save never leaves the document cut short or empty.
#pragma once

#include <functional>
#include <string>

namespace folvek {

// Every byte of the file, NULs and Ctrl-Z included. False when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::string& bytes);

enum class ReplaceResult {
    Ok,
    CreateFailed,  // the temporary file could not be created (directory gone, no permission)
    WriteFailed,   // writing, flushing or renaming failed; the document is as it was
};

// Replaces the file's contents with `bytes`. An existing file keeps its permission bits; a
// symbolic link keeps pointing at the file it named, whose contents are replaced.
ReplaceResult replaceFileContents(const std::string& path, const std::string& bytes);

// Tests only: called with the temporary file's path after the bytes were written; returning
// false makes the write count as failed (a full disk cannot be had on demand).
std::function<bool(const std::string& tempPath)>& replaceFileWriteHook();

}  // namespace folvek
