// Reading a text file into the line store. The encoding is fixed by the user or told from the
// file's first block; the line cutter then decodes, cuts and styles the text in one pass. When
// the store starts empty the style scan happens in the same pass.
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <thread>

#include "box_cells.h"
#include "codepage.h"
#include "document_record.h"
#include "line_cutter.h"
#include "lookalike_frames.h"
#include "messages.h"
#include "string_table.h"
#include "style_scan.h"
#include "tail_cutter.h"
#include "utf16_decoder.h"

namespace folvek {

namespace {

constexpr std::size_t kReadBlock = 256 * 1024;

// The fixed text, then the file and the system's reason, so the user can tell a typing error
// from a permission problem.
void reportUnopenable(RecordContext& context, const std::string& path, const std::string& reason) {
    if (context.messages)
        context.messages->show(loadString(StrCannotOpenFile) + "\n" + path + ": " + reason, "!!!",
                               MsgIcon::Error);
}

// The sample without its printer commands, whose parameter bytes are no text.
std::string textOfSample(const unsigned char* data, std::size_t len) {
    std::string s;
    s.reserve(len);
    PrinterCodes codes;
    for (std::size_t i = 0; i < len; ++i) {
        const unsigned char b = data[i];
        if (codes.active() && codes.feed(b)) continue;
        if (b == 0x1B) {
            codes.feed(b);
            continue;
        }
        s.push_back(static_cast<char>(b));
    }
    return s;
}

TextEncoding fixedEncoding(EncodingChoice c) {
    switch (c) {
        case EncodingChoice::Cp866:
            return TextEncoding::Cp866;
        case EncodingChoice::Koi8r:
            return TextEncoding::Koi8r;
        case EncodingChoice::Utf8:
            return TextEncoding::Utf8;
        default:
            return TextEncoding::Cp1251;
    }
}

}  // namespace

int DocumentRecord::loadText(const std::string& path) {
    // O_NONBLOCK keeps a FIFO from hanging the open; only regular files are documents.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        reportUnopenable(context, path, std::strerror(errno));
        return 0;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        reportUnopenable(context, path, std::strerror(err));
        return 0;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        reportUnopenable(context, path,
                         S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "это не обычный файл");
        return 0;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);

    maxLineLength = 0;
    unmappableChars = 0;
    printerLayout = PrinterLayout{};
    lines.reserveLinesFor(static_cast<std::uint64_t>(st.st_size), lineLimit);
    // Lines already in the store take part in the scan, so only an empty store may scan while
    // reading.
    const bool fused = lines.empty();
    const std::size_t firstNewLine = lines.size();
    const std::int32_t user = userIsDos();

    shownInPart = false;
    splitLoad = false;
    utf16 = Utf16Form::None;
    const std::size_t room = lineLimit > lines.size() ? lineLimit - lines.size() : 0;
    bool readFailed = false;
    int readErrno = 0;
    std::unique_ptr<LineCutter> cutter;
    bool tailTaken = false;
    bool framesFiled = false;  // the look-alike frames, by both cores
    std::int32_t tailMaxLength = 0;
    std::int64_t tailUnmappable = 0;
    PrinterLayout tailLayout;
    try {
        std::unique_ptr<unsigned char[]> buf(new unsigned char[kReadBlock]);
        // The first block is read whole (as far as the file goes) so that detection sees it.
        std::size_t have = 0;
        while (have < kReadBlock) {
            const ssize_t got = ::read(fd, buf.get() + have, kReadBlock - have);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                readFailed = true;
                readErrno = errno;
            }
            if (got <= 0) break;
            have += static_cast<std::size_t>(got);
        }

        const EncodingChoice choice = encodingInForce();
        encodingDetected = false;
        // A UTF-16 file says so in its first two bytes; read as any code page it is noise.
        if (choice == EncodingChoice::Auto || choice == EncodingChoice::Utf8)
            utf16 = utf16FormOf(buf.get(), have);
        if (utf16 != Utf16Form::None) {
            encodingDetected = choice == EncodingChoice::Auto;
            textEncoding = TextEncoding::Utf8;
        } else if (choice == EncodingChoice::Auto) {
            const std::string sample =
                textOfSample(buf.get(), have < kDetectSample ? have : kDetectSample);
            const auto found = detectEncoding(reinterpret_cast<const unsigned char*>(sample.data()),
                                              sample.size());
            encodingDetected = found.has_value();
            textEncoding = found ? *found : user ? TextEncoding::Cp866 : TextEncoding::Cp1251;
        } else {
            textEncoding = fixedEncoding(choice);
        }
        // IsDos follows the text for the editor, the Windows-encoding offer and mail; it stays
        // the user's own when detection could not tell.
        if (encodingDetected || choice != EncodingChoice::Auto) {
            isDosBeforeLoad = user;
            IsDos = textEncoding == TextEncoding::Cp866 ? 1 : 0;
            isDosByLoad = IsDos;
        } else {
            setIsDos(user);
        }

        std::size_t skip = 0;
        if (textEncoding == TextEncoding::Utf8 && hasUtf8Bom(buf.get(), have)) skip = 3;
        if (utf16 != Utf16Form::None) skip = 2;
        // UTF-16 reaches the cutter as the UTF-8 it decodes to.
        std::unique_ptr<Utf16Decoder> decoder;
        std::string decoded;
        if (utf16 != Utf16Form::None)
            decoder = std::make_unique<Utf16Decoder>(utf16 == Utf16Form::BigEndian);
        const auto feed = [&](const unsigned char* p, const unsigned char* end) {
            if (!decoder) return cutter->feed(p, end);
            decoded.clear();
            decoder->decode(p, static_cast<std::size_t>(end - p), decoded);
            const auto* d = reinterpret_cast<const unsigned char*>(decoded.data());
            return cutter->feed(d, d + decoded.size());
        };
        cutter = std::make_unique<LineCutter>(lines, textEncoding, fused, baseStyleFlags(logFont));
        cutter->setLineLimit(lines.size() + room);
        // A big file's second half is cut on another core meanwhile.
        // It starts with what this cutter carries at the end of the first block's last line:
        // a report sets its printer up at the top and seldom changes it after.
        std::unique_ptr<TailCutter> tail;
        LineCutter::Carry carry;
        const std::size_t limit = lines.size() + room;
        const unsigned char* first = buf.get() + std::min(skip, have);
        const unsigned char* firstEnd = buf.get() + have;
        bool more = true;
        // Below a few megabytes the thread would cost more than it saves.
        if (st.st_size >= splitLoadFrom && std::thread::hardware_concurrency() > 1 && !readFailed &&
            !decoder) {
            const unsigned char* lastLine = firstEnd;
            while (lastLine > first && lastLine[-1] != '\n') --lastLine;
            off_t half = halfwayLineStart(fd, st.st_size);
            // Look-alike frames are walked on both cores too where no frame spans the seam.
            bool walkFrames = false;
            if (textEncoding == TextEncoding::Cp1251 && half > 0) {
                const off_t quiet = quietLineStart(fd, half, st.st_size);
                if (quiet > 0) half = quiet, walkFrames = true;
            }
            if (lastLine > first && half > off_t(have)) {
                more = feed(first, lastLine);
                first = lastLine;
                if (more && cutter->atLineStart()) {
                    carry = cutter->carry();
                    try {
                        tail = std::make_unique<TailCutter>(fd, half, st.st_size, textEncoding,
                                                            fused, baseStyleFlags(logFont), room,
                                                            carry, walkFrames);
                    } catch (const std::exception&) {
                        // No thread: one core does it all.
                    }
                }
            }
        }
        off_t at = off_t(have);
        more = more && feed(first, firstEnd) && !readFailed;
        for (;;) {
            while (more && !(tail && at == tail->start())) {
                std::size_t want = kReadBlock;
                if (tail) want = std::min(want, static_cast<std::size_t>(tail->start() - at));
                const ssize_t got = ::read(fd, buf.get(), want);
                if (got < 0 && errno == EINTR) continue;
                // End of file, or a read error: what was read stays, but a document cut short
                // by a failing disk or a vanished network share is not passed off as the whole
                // file.
                if (got < 0) {
                    readFailed = true;
                    readErrno = errno;
                }
                if (got <= 0) break;
                at += got;
                more = feed(buf.get(), buf.get() + got);
            }
            if (!tail) break;
            // Taken only where one cutter would have made the same lines: a file that
            // reaches the line limit is cut by one, which says where it stopped.
            if (more && at == tail->start() && cutter->atLineStart() && cutter->carry() == carry) {
                // This half's frames, while the thread finishes the other's.
                const bool walked = tail->walksFrames();
                const bool apart = walked && fileLookalikeFrames(lines, firstNewLine);
                if (tail->finish() && !tail->cutter().cutShort() &&
                    lines.size() + tail->lines().size() < limit) {
                    lines.appendStore(tail->lines());
                    tailMaxLength = tail->cutter().maxLength();
                    tailUnmappable = tail->cutter().unmappable();
                    tailLayout = tail->cutter().printerLayoutAfter(*cutter);
                    tailTaken = splitLoad = true;
                    // A frame after all near the seam: one walk over everything, below.
                    framesFiled = apart;
                    if (walked && !apart) lines.dropBoxCodesFrom(firstNewLine);
                    break;
                }
                if (walked) lines.dropBoxCodesFrom(firstNewLine);
            }
            tail.reset();  // this cutter goes on from where it stands
            // The thread's lines went back to its own heap arena, which this thread's new
            // lines would not reuse.
            ::malloc_trim(0);
        }
        if (decoder && more) {
            decoded.clear();
            decoder->finish(decoded);
            const auto* d = reinterpret_cast<const unsigned char*>(decoded.data());
            cutter->feed(d, d + decoded.size());
        }
        cutter->finish();
    } catch (const std::bad_alloc&) {
        // Out of memory: keep the lines read so far.
    }
    ::close(fd);
    if (cutter && textEncoding == TextEncoding::Cp1251 && !framesFiled) {
        try {
            fileLookalikeFrames(lines, firstNewLine);
        } catch (const std::bad_alloc&) {
            // The frames keep the line rules.
        }
    }
    if (cutter) {
        maxLineLength = std::max(cutter->maxLength(), tailMaxLength);
        unmappableChars = cutter->unmappable() + tailUnmappable;
        printerLayout = tailTaken ? tailLayout : cutter->printerLayout();
    }
    lines.shrinkToFit();

    if (!fused) scanStyles();
    if (readFailed) reportUnopenable(context, path, std::strerror(readErrno));
    if (cutter && cutter->cutShort()) {
        shownInPart = true;
        if (context.messages)
            context.messages->show(loadString(StrFileTooLarge) + "\n" + "Показаны только первые " +
                                       std::to_string(lines.size()) + " строк файла.",
                                   "!!!", MsgIcon::Information);
    }
    readJob(path);
    return 1;
}

int DocumentRecord::freeText() {
    lines.clear();
    jobLayout.reset();
    jobVerdict = JobVerdict{};
    return 1;
}

void DocumentRecord::convertCodePage(int direction) {
    const std::size_t n = lines.size();
    lines.clearBoxCodes();
    BoxLineCodes boxes;
    for (std::size_t i = 0; i < n; ++i) {
        if (direction) {
            convertDosLine(lines, i, boxes);
        } else {
            char* text = lines.mutableTextAt(i);
            ansiToOem(text, std::strlen(text));
        }
    }
    lines.last();
}

}  // namespace folvek
