// A DOS report that the Windows-encoding offer rewrote in code page 1251 must read back as 1251:
// its frames became broken bars and not signs there, which detection once took for KOI8-R.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "codepage.h"
#include "text_encoding.h"

namespace folvek {
namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::optional<TextEncoding> detect(const std::string& s) {
    return detectEncoding(reinterpret_cast<const unsigned char*>(s.data()), s.size());
}

TEST(RewrittenEncoding, ADosReportRewrittenIn1251IsReadAs1251) {
    std::vector<std::string> reports{readAll(FOLVEK_SOURCE_DIR "/samples/warehouse-866.prn")};
    const auto dir =
        std::filesystem::temp_directory_path() / ("folvek-rewrite-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    for (const char* size : {"1K", "8K", "60K", "300K"})
        for (int seed = 1; seed <= 3; ++seed) {
            const std::string out =
                (dir / ("r" + std::string(size) + std::to_string(seed))).string();
            const std::string cmd = "python3 '" FOLVEK_SOURCE_DIR "/tools/make-report.py' --size " +
                                    std::string(size) + " --encoding cp866 --seed " +
                                    std::to_string(seed) + " --out '" + out + "'";
            ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
            reports.push_back(readAll(out));
        }
    std::filesystem::remove_all(dir);
    for (std::size_t i = 0; i < reports.size(); ++i) {
        std::string text = reports[i];
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(detect(text), TextEncoding::Cp866) << "report " << i;
        oemToAnsi(text.data(), text.size());
        EXPECT_EQ(detect(text), TextEncoding::Cp1251) << "report " << i << " rewritten";
    }
}

}  // namespace
}  // namespace folvek
