// What a crash right after a save may cost: the new bytes reach the disk before the rename,
// and the folder's new entry after it, so that a power cut never brings back the old file or
// an empty one.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "file_replace.h"

namespace folvek {
namespace {

struct Event {
    enum Kind { SyncFile, SyncFolder, Rename } kind;
};
std::vector<Event>& events() {
    static std::vector<Event> e;
    return e;
}

int recordSync(int fd) {
    struct stat st {};
    ::fstat(fd, &st);
    events().push_back({S_ISDIR(st.st_mode) ? Event::SyncFolder : Event::SyncFile});
    return ::fsync(fd);
}

int recordRename(const char* from, const char* to) {
    events().push_back({Event::Rename});
    return defaultFileSystemCalls().rename(from, to);
}

TEST(FileReplaceSync, TheFileIsSyncedBeforeTheRenameAndTheFolderAfterIt) {
    const std::filesystem::path dir =
        std::filesystem::path(::testing::TempDir()) / ("sync-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string target = (dir / "history.cfg").string();
    for (bool exists : {false, true}) {
        events().clear();
        fileSystemCalls().sync = recordSync;
        fileSystemCalls().rename = recordRename;
        const SaveResult r = saveFile(target, exists ? "second\r\n" : "first\r\n");
        fileSystemCalls() = defaultFileSystemCalls();
        ASSERT_TRUE(r.ok()) << r.error;
        ASSERT_FALSE(r.inPlace);
        std::vector<Event::Kind> kinds;
        for (const Event& e : events()) kinds.push_back(e.kind);
        EXPECT_EQ(kinds,
                  (std::vector<Event::Kind>{Event::SyncFile, Event::Rename, Event::SyncFolder}))
            << (exists ? "replacing" : "creating");
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace folvek
