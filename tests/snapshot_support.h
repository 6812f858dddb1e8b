// For tests: results recorded once and compared on every run. A test turns each input of a
// corpus into a plain-text account of what the code made of it; the account's fingerprint must
// equal the one recorded under tests/data/snapshots/. A change of behaviour then shows up as a
// failing test; once the change is meant,
//
//     FOLVEK_UPDATE_SNAPSHOTS=1 build/tests/folvek_printer_tests --gtest_filter='*Snapshot*'
//
// records the new fingerprints in the source tree.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace folvek::test {

inline std::string snapshotRead(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A short fingerprint of bytes too long to list (pictures, whole files): FNV-1a, 64 bits.
inline std::string snapshotHash(std::string_view bytes) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char out[17];
    std::snprintf(out, sizeof out, "%016llx", static_cast<unsigned long long>(h));
    return out;
}

// The files of a folder of the source tree, by name.
inline std::vector<std::filesystem::path> snapshotInputs(const std::string& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& e :
         std::filesystem::directory_iterator(std::string(FOLVEK_SOURCE_DIR) + "/" + folder))
        if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Checks each input's account against the fingerprint recorded for it in
// tests/data/snapshots/<set>.txt, or records them all when FOLVEK_UPDATE_SNAPSHOTS is set. The
// accounts themselves are long (a corpus holds thousands of inputs), so only fingerprints are
// kept; FOLVEK_SNAPSHOT_DUMP=DIR writes every account to DIR/<set>/ so that two builds can be
// compared with diff. A difference leaves the input's new account in the test's temporary folder.
inline void checkSnapshots(
    const std::string& set, const std::vector<std::filesystem::path>& inputs,
    const std::function<std::string(const std::filesystem::path&)>& account) {
    namespace fs = std::filesystem;
    const fs::path index = fs::path(FOLVEK_SOURCE_DIR) / "tests/data/snapshots" / (set + ".txt");
    const bool update = std::getenv("FOLVEK_UPDATE_SNAPSHOTS") != nullptr;
    const char* dump = std::getenv("FOLVEK_SNAPSHOT_DUMP");
    ASSERT_FALSE(inputs.empty()) << set << ": no inputs";

    std::map<std::string, std::string> recorded;  // input name -> fingerprint
    {
        std::istringstream in(snapshotRead(index));
        std::string hash, name;
        while (in >> hash && std::getline(in >> std::ws, name)) recorded[name] = hash;
    }
    if (!update) {
        ASSERT_FALSE(recorded.empty()) << "nothing recorded in " << index;
    }

    std::ostringstream fresh;
    int differing = 0;
    for (const fs::path& input : inputs) {
        const std::string name = input.filename().string();
        const std::string got = account(input);
        const std::string hash = snapshotHash(got);
        fresh << hash << " " << name << "\n";
        if (dump) {
            fs::create_directories(fs::path(dump) / set);
            std::ofstream(fs::path(dump) / set / (name + ".txt"), std::ios::binary) << got;
        }
        if (update) continue;
        const auto it = recorded.find(name);
        if (it != recorded.end() && it->second == hash) continue;
        if (++differing > 5) continue;
        const fs::path saved = fs::path(::testing::TempDir()) / (set + "-" + name + ".txt");
        std::ofstream(saved, std::ios::binary) << got;
        ADD_FAILURE() << set << ": " << name
                      << (it == recorded.end() ? " has nothing recorded" : " reads differently")
                      << "; its account now: " << saved;
    }
    if (update) {
        std::ofstream(index, std::ios::binary) << fresh.str();
        return;
    }
    EXPECT_EQ(differing, 0) << set << ": " << differing << " of " << inputs.size()
                            << " inputs differ from " << index
                            << " (FOLVEK_UPDATE_SNAPSHOTS=1 records them once the change is meant)";
    EXPECT_EQ(recorded.size(), inputs.size()) << set << ": inputs recorded but gone";
}

}  // namespace folvek::test
