// Saving a file without harm: through a temporary file and a rename where that keeps the
// file's identity, in place with the old bytes kept for a roll-back where it does not.
#include "file_replace.h"
#include "system_reason.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "retrying_io.h"
#include "temp_names.h"
#include "unnamed_files.h"

namespace folvek {

namespace {

ssize_t systemWrite(int fd, const void* data, std::size_t n) {
    return ::write(fd, data, n);
}
int createExclusive(char* path) {
    return ::open(path, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
}
int systemRename(const char* from, const char* to) {
    return std::rename(from, to);
}

FileSystemCalls& calls() {
    static FileSystemCalls c = defaultFileSystemCalls();
    return c;
}

SaveResult failure(SaveStatus status, int error, bool inPlace = false) {
    return {status, error, inPlace};
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool writeAllAt(int fd, const std::string& bytes, off_t at) {
    if (::lseek(fd, at, SEEK_SET) < 0) return false;
    return writeAll(fd, bytes.data(), bytes.size(), calls().write);
}

void syncDirectory(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    calls().sync(fd);  // some file systems refuse; the rename itself already happened
    ::close(fd);
}

using Target = OutputTarget;

bool exists(const Target& t) {
    return t.kind == OutputKind::RegularFile;
}

// A device, pipe or standard output takes the bytes in order; nothing can be rolled back.
SaveResult writeToStream(const Target& t, const std::string& bytes) {
    const int fd = openOutputStream(t);
    if (fd < 0) return failure(SaveStatus::CreateFailed, errno);
    const bool ok = writeAll(fd, bytes.data(), bytes.size());
    const int why = errno;
    const bool closed = ::close(fd) == 0 || errno == EINTR;
    if (!ok || !closed) return failure(SaveStatus::StreamFailed, ok ? errno : why);
    return {};
}

// The file's own inode is rewritten: its owner, group, mode and links stay by themselves. The
// new size is reserved first, so a full disk shows before a byte changes; a write that fails
// all the same puts the old bytes back.
SaveResult writeInPlace(const Target& t, const std::string& bytes) {
    const int fd = ::open(t.path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return failure(SaveStatus::CreateFailed, errno, true);
    std::string old;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !readToEnd(fd, old)) {
        const int why = errno ? errno : EINVAL;
        ::close(fd);
        return failure(SaveStatus::CreateFailed, why, true);
    }
    if (bytes.size() > old.size()) {
        const int r = calls().allocate(fd, 0, static_cast<off_t>(bytes.size()));
        if (r != 0 && r != EOPNOTSUPP && r != EINVAL) {
            // A failed reservation may still have grown the file.
            const bool back = ::ftruncate(fd, static_cast<off_t>(old.size())) == 0;
            ::close(fd);
            return failure(back ? SaveStatus::WriteFailed : SaveStatus::RestoreFailed, r, true);
        }
    }
    const bool ok = writeAllAt(fd, bytes, 0) &&
                    ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && calls().sync(fd) == 0;
    const int why = errno;
    if (ok) {
        const bool closed = ::close(fd) == 0;
        return closed ? SaveResult{SaveStatus::Ok, 0, true}
                      : failure(SaveStatus::WriteFailed, errno, true);
    }
    const bool restored = writeAllAt(fd, old, 0) &&
                          ::ftruncate(fd, static_cast<off_t>(old.size())) == 0 &&
                          calls().sync(fd) == 0;
    ::close(fd);
    return failure(restored ? SaveStatus::WriteFailed : SaveStatus::RestoreFailed, why, true);
}

enum class Replace { Done, Failed, UseInPlace };

Replace writeThroughTemp(const Target& t, const std::string& bytes, int& error) {
    const std::string dir = directoryOf(t.path);
    OwnedTemp temp;
    if (!createOwnedTemp(dir, baseNameOf(t.path), temp)) {
        error = errno;
        // A directory the user may not write: the file itself may still be writable.
        return (exists(t) && (error == EACCES || error == EPERM)) ? Replace::UseInPlace
                                                                  : Replace::Failed;
    }
    const int fd = temp.fd;
    auto drop = [&](int why) {
        removeOwnedTemp(temp);
        error = why;
    };
    const mode_t mode = exists(t) ? (t.st.st_mode & 07777) : newFileMode();
    if (exists(t)) {
        struct stat ts {};
        if (::fstat(fd, &ts) != 0 || (ts.st_gid != t.st.st_gid && ::fchown(fd, -1, t.st.st_gid))) {
            drop(errno);
            return Replace::UseInPlace;  // the new file could not keep the group
        }
    }
    if (::fchmod(fd, mode) != 0 || !writeAllAt(fd, bytes, 0) || calls().sync(fd) != 0) {
        drop(errno);
        return Replace::Failed;
    }
    // Renamed while still locked and registered, so no clean-up can take it half way.
    if (calls().rename(temp.path.c_str(), t.path.c_str()) != 0) {
        drop(errno);
        // A sticky directory lets us create but not replace.
        return (exists(t) && (error == EACCES || error == EPERM)) ? Replace::UseInPlace
                                                                  : Replace::Failed;
    }
    releaseOwnedTemp(temp);
    syncDirectory(dir);
    return Replace::Done;
}

}  // namespace

FileSystemCalls defaultFileSystemCalls() {
    return {createExclusive,   systemWrite, ::fsync,     systemRename,
            ::posix_fallocate, ::syncfs,    openUnnamed, nameUnnamed};
}

FileSystemCalls& fileSystemCalls() {
    return calls();
}

SaveResult saveFile(const std::string& path, const std::string& bytes) {
    Target t;
    int error = 0;
    if (const SaveStatus s = resolveOutputTarget(path, t, error); s != SaveStatus::Ok)
        return failure(s, error);
    if (t.kind == OutputKind::Stream) return writeToStream(t, bytes);
    // A rename would give a linked file a copy of its own and another user's file our owner.
    if (exists(t) && (t.st.st_nlink > 1 || t.st.st_uid != ::geteuid()))
        return writeInPlace(t, bytes);
    switch (writeThroughTemp(t, bytes, error)) {
        case Replace::Done:
            return {};
        case Replace::UseInPlace:
            return writeInPlace(t, bytes);
        case Replace::Failed:
            break;
    }
    return failure(exists(t) ? SaveStatus::WriteFailed : SaveStatus::CreateFailed, error);
}

std::string saveFailureReason(const SaveResult& r, bool russianThroughout) {
    const auto reason = [russianThroughout](int error) {
        return russianThroughout ? russianSystemReason(error) : systemReason(error);
    };
    switch (r.status) {
        case SaveStatus::Ok:
            return "";
        case SaveStatus::ReadOnly:
            return "Файл доступен только для чтения.";
        case SaveStatus::NotRegular:
            return "Это не обычный файл.";
        case SaveStatus::Directory:
            return "Это папка, а не файл.";
        case SaveStatus::StreamFailed:
            return std::string("Запись в устройство или канал не удалась: ") +
                   (russianThroughout ? russianSystemReason(r.error) : std::strerror(r.error));
        case SaveStatus::ForeignLink:
            return "Это ссылка на файл другого пользователя; он не изменён.";
        case SaveStatus::CreateFailed:
            if (r.error == ENXIO) return "Канал никто не читает: запись не начата.";
            return std::string("Файл не открыт для записи: ") + reason(r.error);
        case SaveStatus::WriteFailed:
            return std::string("Запись не удалась (") + reason(r.error) +
                   "), файл сохранил прежнее содержимое.";
        case SaveStatus::RestoreFailed:
            return std::string("Запись не удалась (") + reason(r.error) +
                   "), и прежнее содержимое вернуть не удалось: файл может быть испорчен.";
    }
    return "";
}

}  // namespace folvek
