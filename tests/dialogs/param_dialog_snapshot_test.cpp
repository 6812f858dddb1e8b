// The parameters dialog over every settings file of the fuzz corpus: what each field shows, what
// OK takes back into the record and writes to the file, compared with the account recorded for
// it. OK pressed again on what the dialog shows must change nothing: a value the dialog cannot
// show as it was taken back would drift each time the user confirms the dialog.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <fstream>
#include <iomanip>
#include <sstream>

#include "document/layout_fakes.h"
#include "document/record_account.h"
#include "param_dialog.h"
#include "param_template.h"
#include "snapshot_support.h"

namespace fs = std::filesystem;

namespace folvek {
namespace {

// Every control with an identifier, in the order of the identifiers.
std::string fieldsOf(const ParamDialog& d) {
    std::vector<std::pair<int, QWidget*>> items;
    for (QWidget* w : d.findChildren<QWidget*>()) {
        const QVariant id = w->property("dialogId");
        if (id.isValid()) items.emplace_back(id.toInt(), w);
    }
    std::sort(items.begin(), items.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::ostringstream out;
    for (const auto& [id, w] : items) {
        if (auto* e = qobject_cast<QLineEdit*>(w))
            out << id << " |" << e->text().toStdString() << "|\n";
        else if (auto* c = qobject_cast<QComboBox*>(w))
            out << id << " choice " << c->currentIndex() << " of " << c->count() << "\n";
        else if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->isCheckable())
            out << id << " " << (b->isChecked() ? "on" : "off") << "\n";
    }
    return out.str();
}

std::string dialogAccount(const fs::path& input) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("report.ini").toStdString();
    std::ofstream(path, std::ios::binary) << test::snapshotRead(input);
    test::TestRecord tp;
    DocumentRecord& pg = *tp;
    pg.loadProfile(path);
    std::ostringstream out;
    out << std::setprecision(12);
    std::string shownBefore;
    for (int round = 0; round < 3; ++round) {
        ParamDialog d(pg, nullptr, "/reports/report.txt");
        const std::string shown = fieldsOf(d);
        if (round == 2)
            EXPECT_EQ(shown, shownBefore)
                << input << ": confirmed twice, the dialog shows otherwise";
        else
            out << "shown\n" << shown;
        shownBefore = shown;
        ParamDlgProc(&d, DlgMessage::Command, kParamOk, 0);
        if (round > 0) continue;
        out << "result " << d.result() << "\n";
        test::writeRecordSettings(out, pg);
        out << "file " << test::snapshotHash(test::snapshotRead(path)) << "\n";
    }
    for (const auto& m : tp.messages.shown) {
        std::string text = m.text;
        const std::string folder = dir.path().toStdString();
        for (std::size_t at; (at = text.find(folder)) != std::string::npos;)
            text.replace(at, folder.size(), "DIR");
        out << "message " << m.caption << ": " << text << "\n";
    }
    return out.str();
}

TEST(ParamDialogSnapshots, EveryCorpusSettingsFileShowsAndConfirmsAsRecorded) {
    std::vector<fs::path> inputs = test::snapshotInputs("fuzz/corpus/fuzz_ini_roundtrip");
    inputs.push_back(fs::path(FOLVEK_SOURCE_DIR) / "samples/samples.ini");
    test::checkSnapshots("param-dialog", inputs, dialogAccount);
}

}  // namespace
}  // namespace folvek
