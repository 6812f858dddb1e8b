// Where a file we write goes, decided in one place for every output: PDFs, page pictures,
// settings files, the history, the editor's saves. A regular file is replaced whole; a link to
// the user's own regular file is followed and its file replaced; a character device, a FIFO, a
// socket and standard output ("-", /dev/stdout, /dev/fd/N) are written to in order and never
// replaced. A directory, a block device, a dangling link, a link to another user's file and a
// file the user may not write are refused before a byte is written.
#pragma once

#include <sys/stat.h>

#include <string>

namespace folvek {

enum class SaveStatus {
    Ok,
    ReadOnly,       // the file has no write permission for us: refused, nothing written
    NotRegular,     // a block device or a dangling link: refused
    ForeignLink,    // a symbolic link to a file another user owns: refused
    CreateFailed,   // neither a temporary file nor the file itself could be opened
    WriteFailed,    // the write failed; the file holds its old bytes
    RestoreFailed,  // the in-place write failed and the old bytes could not be put back either
    Directory,      // the path names a directory: refused
    StreamFailed,   // writing to a device, pipe or standard output failed part way
};

enum class OutputKind {
    NewFile,      // nothing there yet: created
    RegularFile,  // an existing regular file (a followed link's target): replaced whole
    Stream,       // a device, FIFO, socket or an open descriptor: written to in order
};

struct OutputTarget {
    OutputKind kind = OutputKind::NewFile;
    std::string path;   // the file to create or replace, or the stream to open
    int fd = -1;        // for a stream that names a descriptor of ours ("-", /dev/stdout)
    struct stat st {};  // the existing file's, for RegularFile and Stream
};

// Decides what writing to `path` means. Ok or the reason for refusing, with errno in `error`.
SaveStatus resolveOutputTarget(const std::string& path, OutputTarget& target, int& error);

// Opens a Stream target for writing: a descriptor of its own (close it), or -1 with errno. A
// FIFO nobody reads fails at once (ENXIO) rather than wait for a reader for ever.
int openOutputStream(const OutputTarget& target);

}  // namespace folvek
