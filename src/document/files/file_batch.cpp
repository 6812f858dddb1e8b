// Saving many files with one flush: the unnamed files and the hidden folder of new files, their
// sync, the naming and renames, and their roll-back.
#include "file_batch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <set>
#include <thread>

#include "retrying_io.h"
#include "temp_names.h"
#include "unnamed_files.h"

namespace folvek {

namespace {

using Bytes = std::function<std::string(std::size_t)>;

// From this many files on, two threads look at the targets, create and write the files, and put
// them in place: that is kernel work that keeps one core busy while the other idles.
constexpr std::size_t kTwoWritersFrom = 64;
// In `unnamed_`: this target is to be written as an unnamed file.
constexpr int kUnnamedPlanned = -2;

bool exists(const OutputTarget& t) {
    return t.kind == OutputKind::RegularFile;
}

// A rename serves every target: plain files of ours with one link, in one folder, none twice.
bool renameServesAll(const std::vector<OutputTarget>& targets) {
    std::set<std::string> seen;
    for (const OutputTarget& t : targets) {
        if (t.kind == OutputKind::Stream) return false;
        if (exists(t) && (t.st.st_nlink > 1 || t.st.st_uid != ::geteuid())) return false;
        if (directoryOf(t.path) != directoryOf(targets.front().path)) return false;
        if (!seen.insert(t.path).second) return false;
    }
    return true;
}

// Every target looked at before anything is written (many on two threads: a look-up in a
// folder of thousands of files is no longer free); the lowest refused index is reported.
BatchSaveResult resolveAll(const std::vector<std::string>& paths,
                           std::vector<OutputTarget>& targets) {
    std::vector<BatchSaveResult> refused(paths.size() < kTwoWritersFrom ? 1 : 2);
    const auto resolveEvery = [&](std::size_t first, std::size_t step) {
        BatchSaveResult& r = refused[first];
        for (std::size_t k = first; k < paths.size(); k += step) {
            int error = 0;
            if (const SaveStatus s = resolveOutputTarget(paths[k], targets[k], error);
                s != SaveStatus::Ok) {
                r = {{s, error}, k};
                return;
            }
        }
    };
    if (refused.size() == 1) {
        resolveEvery(0, 1);
        return refused[0];
    }
    std::thread second(resolveEvery, 1, 2);
    resolveEvery(0, 2);
    second.join();
    if (refused[0].ok() || (!refused[1].ok() && refused[1].failed < refused[0].failed))
        return refused[1];
    return refused[0];
}

BatchSaveResult oneByOne(const std::vector<std::string>& paths, const Bytes& bytesOf) {
    for (std::size_t k = 0; k < paths.size(); ++k)
        if (const SaveResult r = saveFile(paths[k], bytesOf(k)); !r.ok()) return {r, k};
    return {};
}

class Batch {
  public:
    Batch(const std::vector<OutputTarget>& targets, const Bytes& bytesOf)
        : targets_(targets), bytesOf_(bytesOf) {}
    ~Batch() { discard(); }
    // Removes the hidden folders with all they hold.
    void discard() {
        closeUnnamed();
        removeOwnedTemp(folder_);
        removeOwnedTemp(second_);
        if (folderFd_ >= 0) ::close(folderFd_);
        folderFd_ = -1;
    }
    bool start();
    // Every new file written and on the disk; false with `result_` set, or with `fallBack_`
    // when the renames cannot keep a file's group.
    bool writeAndSync();
    // Links to the old files, so that a failed rename can put them back.
    bool keepOldFiles();
    bool renameAll();
    void syncFolder();
    bool fallBack() const { return fallBack_.load(); }
    const BatchSaveResult& result() const { return result_; }

  private:
    // The second writer's files go to a folder of their own: files made in one folder are made
    // one at a time, whatever the number of threads.
    const OwnedTemp& folderOf(std::size_t k) const {
        return k % 2 == 1 && !second_.path.empty() ? second_ : folder_;
    }
    std::string tempOf(std::size_t k) const { return folderOf(k).path + "/" + std::to_string(k); }
    std::string oldOf(std::size_t k) const { return folder_.path + "/old-" + std::to_string(k); }
    // Keeps the failure of the lowest index, whichever writer met it first.
    bool fail(std::size_t k, int error) {
        std::lock_guard<std::mutex> lock(failMutex_);
        if (result_.ok() || k < result_.failed)
            result_ = {
                {exists(targets_[k]) ? SaveStatus::WriteFailed : SaveStatus::CreateFailed, error},
                k};
        return false;
    }
    bool writeFiles();
    void planUnnamed();
    void closeUnnamed();
    bool name(std::size_t k);
    bool place(std::size_t k);
    int createNew(std::size_t k);
    int createForOld(std::size_t k);
    bool writeOne(std::size_t k);

    const std::vector<OutputTarget>& targets_;
    const Bytes& bytesOf_;
    OwnedTemp folder_;
    OwnedTemp second_;   // only for two writers
    int folderFd_ = -1;  // the targets' folder
    std::vector<bool> kept_;
    // New targets written as unnamed files: their descriptors until they are named, -1 for the
    // others. Filled before the writers start; each writer touches only its own indices.
    std::vector<int> unnamed_;
    std::atomic<bool> anyUnnamed_ = false;  // made for at least one target
    std::mutex failMutex_;
    BatchSaveResult result_;
    std::atomic<bool> fallBack_ = false;
};

// Opened before anything is written: the flush at the end then reports every write-back error
// since.
bool Batch::start() {
    const std::string dir = directoryOf(targets_.front().path);
    folderFd_ = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    removeLeftoverTemps(dir);  // a hidden folder of an export killed with -9
    const std::string stem = baseNameOf(targets_.front().path);
    if (folderFd_ < 0 || !createOwnedTempDir(dir, stem, folder_)) return false;
    // Without a second folder both writers share the first, which is slower but as safe.
    if (targets_.size() >= kTwoWritersFrom) createOwnedTempDir(dir, stem, second_);
    planUnnamed();
    return true;
}

// Which new targets are written as unnamed files: as many as descriptors allow, when this
// file system makes them and this process can name them (tried once in the hidden folder).
void Batch::planUnnamed() {
    unnamed_.assign(targets_.size(), -1);
    const int probe = openUnnamed(folder_.fd);
    if (probe < 0) return;
    const bool named = nameUnnamed(probe, folder_.fd, "probe") == 0;
    ::close(probe);
    if (!named || ::unlinkat(folder_.fd, "probe", 0) != 0) return;
    std::size_t fresh = 0;
    for (const OutputTarget& t : targets_) fresh += exists(t) ? 0 : 1;
    std::size_t spare = descriptorsToSpare(fresh);
    for (std::size_t k = 0; k < targets_.size() && spare > 0; ++k)
        if (!exists(targets_[k])) {
            unnamed_[k] = kUnnamedPlanned;
            --spare;
        }
}

void Batch::closeUnnamed() {
    for (int& fd : unnamed_)
        if (fd >= 0) ::close(fd);
    unnamed_.clear();
}

// A new target's file is made with its final mode, 0666 less the umask, which the system
// applies: the hidden folder is the user's alone, so no one sees it before it is written.
int Batch::createNew(std::size_t k) {
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW;
    if (const int fd = folderOf(k).fd; fd >= 0)
        return ::openat(fd, std::to_string(k).c_str(), flags, 0666);
    return ::open(tempOf(k).c_str(), flags, 0666);
}

// An old file's replacement takes its group and mode; -1 with `fallBack_` when the group
// cannot be kept.
int Batch::createForOld(std::size_t k) {
    std::string path = tempOf(k);
    const int fd = fileSystemCalls().makeTemp(path.data());
    if (fd < 0) return -1;
    const OutputTarget& t = targets_[k];
    struct stat ts {};
    if (::fstat(fd, &ts) != 0 || (ts.st_gid != t.st.st_gid && ::fchown(fd, -1, t.st.st_gid))) {
        ::close(fd);
        fallBack_ = true;  // the group can only be kept by writing in place
        return -1;
    }
    const mode_t mode = t.st.st_mode & 07777;
    if (::fchmod(fd, mode) != 0) {
        const int why = errno;
        ::close(fd);
        errno = why;
        return -1;
    }
    return fd;
}

bool Batch::writeOne(std::size_t k) {
    int fd = -1;
    if (unnamed_[k] == kUnnamedPlanned) {
        fd = fileSystemCalls().openUnnamed(folderOf(k).fd);
        unnamed_[k] = fd;  // -1 when out of descriptors: it takes a hidden name instead
        if (fd >= 0) anyUnnamed_ = true;
    }
    if (fd < 0) fd = exists(targets_[k]) ? createForOld(k) : createNew(k);
    if (fd < 0) return fallBack_ ? false : fail(k, errno);
    const std::string bytes = bytesOf_(k);
    const bool written = writeAll(fd, bytes.data(), bytes.size(), fileSystemCalls().write);
    const int why = errno;
    if (unnamed_[k] >= 0) return written || fail(k, why);  // closed once named
    if (::close(fd) != 0 && written) return fail(k, errno);
    return written || fail(k, why);
}

// Each writer takes every other file, in order, so that the texts, made in order, are asked
// for in order; the first failure stops both.
bool Batch::writeFiles() {
    const std::size_t count = targets_.size();
    if (count < kTwoWritersFrom) {
        for (std::size_t k = 0; k < count; ++k)
            if (!writeOne(k)) return false;
        return true;
    }
    std::atomic<bool> failed = false;
    // Halfway, the disk starts on the first half while the second is written; the flush after
    // the writers then waits for less. It goes through a descriptor of its own: a flush reports
    // a write-back error once per descriptor, and the one after the writers must see it.
    std::thread early;
    const std::size_t half = count / 2 & ~std::size_t{1};
    const auto flushFirstHalf = [this] {
        if (const int fd = ::openat(folderFd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC); fd >= 0) {
            ::syncfs(fd);
            ::close(fd);
        }
    };
    const auto writeEveryOther = [&](std::size_t first) {
        for (std::size_t k = first; k < count && !failed.load(); k += 2) {
            if (!writeOne(k)) failed = true;
            if (k == half) early = std::thread(flushFirstHalf);
        }
    };
    std::thread second(writeEveryOther, 1);
    writeEveryOther(0);
    second.join();
    if (early.joinable()) early.join();
    return !failed.load();
}

// One flush of the whole file system for all the files: syncing each costs the disk a flush
// per file, seconds for a few thousand.
bool Batch::writeAndSync() {
    if (!writeFiles()) return false;
    return fileSystemCalls().syncAll(folderFd_) == 0 || fail(0, errno);
}

bool Batch::keepOldFiles() {
    kept_.assign(targets_.size(), false);
    for (std::size_t k = 0; k < targets_.size(); ++k) {
        if (!exists(targets_[k])) continue;
        if (::link(targets_[k].path.c_str(), oldOf(k).c_str()) != 0) {
            fallBack_ = true;  // a file system without hard links
            return false;
        }
        kept_[k] = true;
    }
    return true;
}

// An unnamed file takes its target's name; a file that appeared there since the export began
// is not replaced.
bool Batch::name(std::size_t k) {
    const int fd = unnamed_[k];
    unnamed_[k] = -1;
    const bool named =
        fileSystemCalls().nameUnnamed(fd, folderFd_, baseNameOf(targets_[k].path).c_str()) == 0;
    const int why = errno;
    if (::close(fd) != 0 && named) return false;
    errno = why;
    return named;
}

bool Batch::place(std::size_t k) {
    return unnamed_[k] >= 0
               ? name(k)
               : fileSystemCalls().rename(tempOf(k).c_str(), targets_[k].path.c_str()) == 0;
}

// Many files are put in place by two threads: the folder takes one new entry at a time
// whatever the number, but the rest of each call runs beside it. A failure stops both, and
// every file already in place is put back.
bool Batch::renameAll() {
    const std::size_t count = targets_.size();
    std::vector<char> placed(count, 0);
    std::atomic<bool> failed = false;
    const auto placeEvery = [&](std::size_t first, std::size_t step) {
        for (std::size_t k = first; k < count && !failed.load(); k += step) {
            if (place(k)) {
                placed[k] = 1;
                continue;
            }
            fail(k, errno);
            failed = true;
        }
    };
    if (count < kTwoWritersFrom) {
        placeEvery(0, 1);
    } else {
        std::thread second(placeEvery, 1, 2);
        placeEvery(0, 2);
        second.join();
    }
    if (!failed) return true;
    bool restored = true;
    for (std::size_t j = 0; j < count; ++j) {
        if (!placed[j]) continue;
        const std::string& target = targets_[j].path;
        restored &= kept_[j] ? ::rename(oldOf(j).c_str(), target.c_str()) == 0
                             : ::unlink(target.c_str()) == 0;
    }
    if (!restored) result_.result.status = SaveStatus::RestoreFailed;
    return false;
}

void Batch::syncFolder() {
    removeOwnedTemp(folder_);  // the old files' links go with it
    removeOwnedTemp(second_);
    // A named file's link count is in its own inode, which a sync of the folder leaves out.
    // Some file systems refuse either sync; the renames already happened.
    if (anyUnnamed_)
        fileSystemCalls().syncAll(folderFd_);
    else
        fileSystemCalls().sync(folderFd_);
}

}  // namespace

BatchSaveResult saveFiles(const std::vector<std::string>& paths, const Bytes& bytesOf) {
    std::vector<OutputTarget> targets(paths.size());
    if (const BatchSaveResult refused = resolveAll(paths, targets); !refused.ok()) return refused;
    if (paths.empty()) return {};
    if (paths.size() == 1 || !renameServesAll(targets)) return oneByOne(paths, bytesOf);
    Batch batch(targets, bytesOf);
    if (!batch.start()) {  // the folder is not ours to write
        batch.discard();
        return oneByOne(paths, bytesOf);
    }
    if (!batch.writeAndSync() || !batch.keepOldFiles()) {
        if (!batch.fallBack()) return batch.result();
        batch.discard();
        return oneByOne(paths, bytesOf);
    }
    if (!batch.renameAll()) return batch.result();
    batch.syncFolder();
    return {};
}

}  // namespace folvek
