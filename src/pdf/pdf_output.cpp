// Buffered writing of the PDF into its temporary file or its stream; the file system calls go
// through the shared table so that tests can make the disk full.
#include "pdf_output.h"
#include "system_reason.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "file_replace.h"
#include "retrying_io.h"
#include "test_pause.h"

namespace folvek {

namespace {
constexpr std::size_t kBufferSize = 1 << 20;

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string refusal(SaveStatus status) {
    switch (status) {
        case SaveStatus::Directory:
            return "is a directory";
        case SaveStatus::ReadOnly:
            return "is read-only";
        case SaveStatus::ForeignLink:
            return "is a link to another user's file; not replaced";
        case SaveStatus::NotRegular:
            return "is a block device or a dangling link; not written";
        default:
            return "cannot be written";
    }
}
}  // namespace

PdfOutput::~PdfOutput() {
    discard();
}

bool PdfOutput::open(const std::string& name) {
    discard();
    error_.clear();
    offset_ = 0;
    used_ = 0;
    name_ = name;
    int why = 0;
    const SaveStatus s = resolveOutputTarget(name, target_, why);
    if (s == SaveStatus::CreateFailed) {
        fail("cannot write " + name, why);
        return false;
    }
    if (s != SaveStatus::Ok) {
        fail(name + " " + refusal(s), 0);
        return false;
    }
    if (target_.kind == OutputKind::Stream) {
        fd_ = openOutputStream(target_);
        if (fd_ < 0) {
            fail("cannot write " + name, errno);
            return false;
        }
    } else {
        if (!createOwnedTemp(directoryOf(target_.path), baseNameOf(target_.path), temp_)) {
            fail("cannot create a file beside " + name, errno);
            return false;
        }
        fd_ = temp_.fd;
        ::fchmod(fd_, target_.kind == OutputKind::RegularFile ? (target_.st.st_mode & 07777)
                                                              : newFileMode());
        testPausePoint("pdf-temp");
    }
    buffer_.resize(kBufferSize);
    return true;
}

void PdfOutput::fail(const std::string& what, int err) {
    if (!error_.empty()) return;
    error_ = err ? what + ": " + systemReason(err) : what;
}

void PdfOutput::writeOut(const char* p, std::size_t left) {
    if (!left || fd_ < 0 || !error_.empty()) return;
    if (!writeAll(fd_, p, left, fileSystemCalls().write)) fail("cannot write " + name_, errno);
}

void PdfOutput::flush() {
    const std::size_t n = used_;
    used_ = 0;
    writeOut(buffer_.data(), n);
}

void PdfOutput::write(const void* data, std::size_t n) {
    offset_ += n;
    if (fd_ < 0 || !error_.empty()) return;
    const char* p = static_cast<const char*>(data);
    if (used_ + n > buffer_.size()) {
        flush();
        if (n >= buffer_.size()) return writeOut(p, n);  // large blocks go straight out
    }
    std::memcpy(buffer_.data() + used_, p, n);
    used_ += n;
}

// The finished temporary file takes the target's place: by a rename where that keeps the
// file's identity, else (hard links, another owner, a directory we may not write) by the
// in-place save with its roll-back.
bool PdfOutput::replaceTarget() {
    const struct stat& st = target_.st;
    const bool existing = target_.kind == OutputKind::RegularFile;
    bool inPlace = existing && (st.st_nlink > 1 || st.st_uid != ::geteuid());
    if (!inPlace && existing) {
        struct stat ts {};
        inPlace =
            ::fstat(fd_, &ts) != 0 || (ts.st_gid != st.st_gid && ::fchown(fd_, -1, st.st_gid) != 0);
    }
    if (!inPlace) {
        if (fileSystemCalls().rename(temp_.path.c_str(), target_.path.c_str()) == 0) {
            releaseOwnedTemp(temp_);  // the name is the target's now
            fd_ = -1;
            return true;
        }
        if (!existing || (errno != EACCES && errno != EPERM)) {
            fail("cannot replace " + name_, errno);
            return false;
        }
    }
    std::string bytes;
    if (!readWholeFile(temp_.path, bytes)) {
        fail("cannot read back " + temp_.path, errno);
        return false;
    }
    const SaveResult saved = saveFile(target_.path, bytes);
    if (!saved) fail("cannot replace " + name_ + ": " + saveFailureReason(saved), 0);
    return saved.ok();
}

bool PdfOutput::commit() {
    if (fd_ < 0) {
        if (error_.empty()) fail("no file open", 0);
        return false;
    }
    flush();
    if (target_.kind == OutputKind::Stream) {
        if (::close(fd_) != 0 && error_.empty() && errno != EINTR)
            fail("cannot write " + name_, errno);
        fd_ = -1;
        buffer_ = {};
        return error_.empty();
    }
    // A full disk may only show when the data reaches it.
    if (error_.empty() && fileSystemCalls().sync(fd_) != 0) fail("cannot write " + name_, errno);
    if (error_.empty() && replaceTarget()) {
        discard();
        return true;
    }
    discard();
    return false;
}

void PdfOutput::discard() {
    if (!temp_.path.empty()) {
        removeOwnedTemp(temp_);  // closes fd_ too
    } else if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = -1;
    buffer_ = {};
    used_ = 0;
}

}  // namespace folvek
