// Whether a file is a print job at all: a text report in one of our encodings or a job in a
// printer language we read (Epson ESC/P and ESC/P2, IBM Proprinter, HP PCL 5 and PCL XL), as
// opposed to a picture, a program, an archive, a sound or video capture, a PDF or random bytes that
// landed in the same folder or queue. One judgement for every way a job arrives (the watched
// folder, the print pipe, the CUPS filter and the viewer's batch printing), so that they never
// disagree.
#pragma once

#include <cstddef>
#include <string>

namespace folvek {

// The judgement reads this much of the file's start.
constexpr std::size_t kJobSampleBytes = 64 * 1024;

enum class JobKind {
    Empty,        // nothing to print
    Text,         // a text report (styles, pitch and line codes allowed)
    PrinterJob,   // a job in a printer language
    NotPrintable  // anything else: `what` says what it is
};

struct PrintableVerdict {
    JobKind kind = JobKind::Empty;
    // "a text report", "an Epson ESC/P job", "a BMP picture", "random or compressed data (7.9
    // bits per byte)", ...: ready for "NAME is ..." in a message.
    std::string what;
    bool printable() const { return kind != JobKind::NotPrintable; }
};

// Judges the first bytes of a file (up to kJobSampleBytes; less is the whole file).
PrintableVerdict judgePrintJob(const unsigned char* data, std::size_t size);

// The kind of file its opening bytes name when they are one of the formats that are never a
// print job, else null.
const char* nonJobFormat(const unsigned char* data, std::size_t size);

// The printer language that the opening bytes announce (Epson's reset, PCL's reset, a PJL
// header that enters PCL, the Proprinter's select), else null.
const char* printerLanguageSignature(const unsigned char* data, std::size_t size);

}  // namespace folvek
