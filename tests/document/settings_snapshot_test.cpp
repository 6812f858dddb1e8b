// Every settings file and every picture of the fuzz corpora read, compared with the account
// recorded for it: each setting as the record holds it after the file, each picture's size and
// pixels, and what was said about either. The corpora reach nearly every branch of both
// readers, so a change of what they read shows up here.
#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>

#include "bmp_out.h"
#include "ini_file.h"
#include "layout_fakes.h"
#include "record_account.h"
#include "snapshot_support.h"
#include "test_support.h"

using namespace folvek;
namespace fs = std::filesystem;

namespace {

std::string settingsAccount(const fs::path& input) {
    coretest::ScratchDir dir;
    const std::string path = dir.file("report.ini", test::snapshotRead(input));
    test::TestRecord tp;
    DocumentRecord& pg = *tp;
    pg.loadProfile(path);
    std::ostringstream out;
    out << std::setprecision(12);
    test::writeRecordSettings(out, pg);
    for (const auto& m : tp.messages.shown) {
        std::string text = m.text;
        for (std::size_t at; (at = text.find(dir.path())) != std::string::npos;)
            text.replace(at, dir.path().size(), "DIR");
        out << "message " << m.caption << ": " << text << "\n";
    }
    // Written back: what the program keeps of the file it read.
    const std::string saved = dir.dir() + "saved.ini";
    out << "saved " << pg.saveProfile(saved.c_str()) << " "
        << test::snapshotHash(dir.read("saved.ini")) << "\n";
    return out.str();
}

std::string pictureAccount(const fs::path& input) {
    test::MessageRecorder messages;
    BmpOut bmp;
    std::ostringstream out;
    out << "loaded " << bmp.loadFile(input.string(), &messages) << " image " << bmp.imageWidth
        << "x" << bmp.imageHeight << " pixels " << bmp.pixelWidth << "x" << bmp.pixelHeight << " "
        << test::snapshotHash(std::string_view(reinterpret_cast<const char*>(bmp.pixels.data()),
                                               bmp.pixels.size() * sizeof bmp.pixels[0]))
        << "\n";
    for (const auto& m : messages.shown) {
        std::string text = m.text;
        const std::string name = input.string();
        for (std::size_t at; (at = text.find(name)) != std::string::npos;)
            text.replace(at, name.size(), "FILE");
        out << "message " << m.caption << ": " << text << "\n";
    }
    return out.str();
}

}  // namespace

TEST(SettingsSnapshots, EveryCorpusSettingsFileReadsAsRecorded) {
    std::vector<fs::path> inputs = test::snapshotInputs("fuzz/corpus/fuzz_ini_roundtrip");
    inputs.push_back(fs::path(FOLVEK_SOURCE_DIR) / "samples/samples.ini");
    test::checkSnapshots("settings", inputs, settingsAccount);
}

TEST(SettingsSnapshots, EveryCorpusPictureReadsAsRecorded) {
    test::checkSnapshots("pictures", test::snapshotInputs("fuzz/corpus/fuzz_bmp"), pictureAccount);
}
