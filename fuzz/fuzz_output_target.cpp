// The output-target rules against a folder built from the input: regular files (some
// read-only, some with a second hard link), folders, FIFOs and symbolic links to any of them,
// to nothing or to each other. One save to one of the names must never change what kind of
// thing any name is, never leave a temporary file, never hang on a FIFO, and either put the
// new bytes where the rules say or leave every file's bytes as they were.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "file_replace.h"
#include "fuzz_support.h"
#include "output_target.h"
#include "temp_names.h"

using namespace folvek;
namespace fs = std::filesystem;

namespace {

std::string readAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

struct Node {
    mode_t type = 0;
    std::string bytes;  // of a regular file
};

// Every name in the folder (and one level of subfolders): its kind and, for files, its bytes.
std::map<std::string, Node> snapshot(const std::string& dir) {
    std::map<std::string, Node> nodes;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        struct stat st {};
        const std::string p = e.path().string();
        if (::lstat(p.c_str(), &st) != 0) continue;
        Node n{static_cast<mode_t>(st.st_mode & S_IFMT), {}};
        if (S_ISREG(st.st_mode)) n.bytes = readAll(p);
        nodes[p] = n;
    }
    return nodes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Bytes in(data, size);
    const std::string dir = fuzz::scratchDir() + "t";
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir + "/sub");
    const int count = 1 + in.byte() % 8;
    auto name = [&](std::uint8_t b) {
        return dir + ((b & 8) ? "/sub/n" : "/n") + std::to_string(b % 8);
    };
    for (int i = 0; i < count; ++i) {
        const std::uint8_t kind = in.byte(), at = in.byte(), to = in.byte();
        const std::string path = name(at);
        switch (kind % 6) {
            case 0:
            case 1: {
                // Only a new name: opening a FIFO or a link to one would wait for a reader.
                const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0644);
                if (fd < 0) break;
                const std::string text = in.text(64);
                if (::write(fd, text.data(), text.size()) < 0) std::abort();
                ::close(fd);
                if (kind & 0x10) ::chmod(path.c_str(), 0444);
                break;
            }
            case 2:
                ::mkdir(path.c_str(), 0755);
                break;
            case 3:
                ::mkfifo(path.c_str(), 0600);
                break;
            case 4:  // relative, absolute, dangling or looping
                ::symlink((kind & 0x20) ? name(to).c_str() : ("n" + std::to_string(to % 8)).c_str(),
                          path.c_str());
                break;
            case 5:
                ::link(name(to).c_str(), path.c_str());
                break;
        }
    }
    const std::uint8_t which = in.byte();
    const std::string target = (which & 0x80) ? dir + "/new" : name(which);
    const std::string bytes = in.rest();

    const auto before = snapshot(dir);
    OutputTarget resolved;
    int error = 0;
    const SaveStatus status = resolveOutputTarget(target, resolved, error);
    const SaveResult saved = saveFile(target, bytes);
    FUZZ_CHECK(saved.status == status || status == SaveStatus::Ok);
    const auto after = snapshot(dir);

    for (const auto& [path, node] : after) {
        FUZZ_CHECK(!isTempName(fs::path(path).filename().string()));
        const auto old = before.find(path);
        if (old == before.end()) {
            FUZZ_CHECK(saved.ok() && node.type == S_IFREG);  // only the new file appears
            continue;
        }
        FUZZ_CHECK(old->second.type == node.type);  // nothing changes kind
    }
    if (!saved.ok()) {
        // FIFOs here have no reader: nothing was written anywhere.
        for (const auto& [path, node] : before)
            if (node.type == S_IFREG) FUZZ_CHECK(after.at(path).bytes == node.bytes);
    } else if (resolved.kind != OutputKind::Stream) {
        FUZZ_CHECK(readAll(resolved.path) == bytes);
    }
    return 0;
}
