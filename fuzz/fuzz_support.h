// Shared by the fuzz targets: a private scratch directory (in memory when /dev/shm exists, so
// the atomic writer's fsync costs nothing), writing an input to a file, and a check that
// aborts with a message libFuzzer records as a crash.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace folvek::fuzz {

inline const std::string& scratchDir() {
    // Never destroyed: the exit handler that removes the directory runs after static destructors.
    static const std::string* const dir = [] {
        std::string base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string tmpl = base + "/folvek-fuzz-" + std::to_string(::getpid()) + "-XXXXXX";
        const char* made = ::mkdtemp(tmpl.data());
        if (!made) std::abort();
        auto* d = new std::string(std::string(made) + "/");
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(scratchDir(), ec);
        });
        return d;
    }();
    return *dir;
}

inline std::string writeInput(const std::string& name, const void* data, std::size_t size) {
    const std::string path = scratchDir() + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
    return path;
}

#define FUZZ_CHECK(cond)                                                                  \
    do {                                                                                  \
        if (!(cond)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)

// Takes bytes from the front of the input, zeros once it is used up.
class Bytes {
  public:
    Bytes(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}
    std::uint8_t byte() { return p_ < end_ ? *p_++ : 0; }
    std::uint32_t u32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = v << 8 | byte();
        return v;
    }
    // Up to `max` bytes, the length taken from the input.
    std::string text(std::size_t max) {
        std::size_t n = byte();
        if (max > 255) n = n << 8 | byte();
        n %= max + 1;
        std::string s;
        while (n-- && p_ < end_) s.push_back(static_cast<char>(*p_++));
        return s;
    }
    std::string rest() { return std::string(reinterpret_cast<const char*>(p_), end_ - p_); }
    bool empty() const { return p_ >= end_; }

  private:
    const std::uint8_t* p_;
    const std::uint8_t* end_;
};

}  // namespace folvek::fuzz
