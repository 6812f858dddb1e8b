// An advisory lock around a read-merge-write of a shared file (the history, a settings file),
// so that two instances saving at once each see the other's entry. The lock is taken on the
// file's directory: the file itself is replaced by a rename, which a lock on it would not
// survive, and a lock file would litter the user's folders.
#pragma once

#include <string>

namespace folvek {

class FileLock {
  public:
    // Waits up to `waitMs` for the lock; without it the save goes ahead unlocked rather than
    // hang behind a stopped instance.
    explicit FileLock(const std::string& filePath, int waitMs = 10000);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};

}  // namespace folvek
