// folvek-print on the samples, the frames fixtures and a share of the fuzz corpora under several
// command lines, compared with the account recorded for each: its exit status, what it said,
// the layout it reported (--info), and the PDF and the tables' CSV files it wrote. The PDF holds
// the system's Liberation fonts, which the set-up installs: other fonts give other files.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include "snapshot_support.h"

namespace fs = std::filesystem;

namespace {

const QString kTool = QStringLiteral(FOLVEK_BINARY_DIR "/src/cli/folvek-print");

// Each input runs under every one of these, with the outputs added.
const QStringList kCommandLines[] = {
    {},
    {QStringLiteral("--dos"), QStringLiteral("--fit"), QStringLiteral("--paper"),
     QStringLiteral("A5")},
    {QStringLiteral("--windows"), QStringLiteral("--landscape"), QStringLiteral("--layout"),
     QStringLiteral("report"), QStringLiteral("--pages"), QStringLiteral("2-")},
    {QStringLiteral("--encoding"), QStringLiteral("koi8-r"), QStringLiteral("--no-fit"),
     QStringLiteral("-q"), QStringLiteral("--margin"), QStringLiteral("12.5"),
     QStringLiteral("--layout"), QStringLiteral("job")},
};

std::string account(const fs::path& input, int lines) {
    QTemporaryDir home;
    const QString dir = home.path();
    std::ostringstream out;
    for (int i = 0; i < lines; ++i) {
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("FOLVEK_HOME"), dir);  // no user settings
        env.remove(QStringLiteral("LC_ALL"));
        env.remove(QStringLiteral("LANGUAGE"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        p.setProcessEnvironment(env);
        QStringList args = kCommandLines[i];
        args << QStringLiteral("--info") << QStringLiteral("-o") << dir + QStringLiteral("/r.pdf")
             << QStringLiteral("--tables") << dir + QStringLiteral("/t.csv")
             << QString::fromStdString(input.string());
        p.start(kTool, args);
        if (!p.waitForFinished(120000)) return "did not finish";
        QString text = QString::fromUtf8(p.readAllStandardOutput()) +
                       QString::fromUtf8(p.readAllStandardError());
        text.replace(QString::fromStdString(input.string()), QStringLiteral("INPUT"));
        text.replace(dir, QStringLiteral("DIR"));
        const std::string said = text.toStdString();
        out << "== " << args.mid(0, kCommandLines[i].size()).join(u' ').toStdString() << "\nstatus "
            << (p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1) << "\n"
            << said << "\n";
        for (const QString& name : QDir(dir).entryList(QDir::Files, QDir::Name)) {
            const std::string bytes = folvek::test::snapshotRead((dir + u'/' + name).toStdString());
            out << name.toStdString() << " " << folvek::test::snapshotHash(bytes) << "\n";
        }
    }
    return out.str();
}

}  // namespace

TEST(PrintSnapshots, TheSamplesAndFixturesPrintAsRecordedUnderEachCommandLine) {
    std::vector<fs::path> inputs = folvek::test::snapshotInputs("samples");
    for (const fs::path& p : folvek::test::snapshotInputs("tests/data/frames")) inputs.push_back(p);
    std::erase_if(inputs, [](const fs::path& p) {
        return p.extension() != ".txt" && p.extension() != ".prn";
    });
    folvek::test::checkSnapshots("printed-samples", inputs, [](const fs::path& p) {
        return account(p, std::size(kCommandLines));
    });
}

TEST(PrintSnapshots, AShareOfTheCorporaPrintsAsRecorded) {
    std::vector<fs::path> inputs;
    for (const char* corpus : {"fuzz/corpus/fuzz_load_draw", "fuzz/corpus/fuzz_printer_job"}) {
        const std::vector<fs::path> all = folvek::test::snapshotInputs(corpus);
        for (std::size_t i = 0; i < all.size(); i += 80) inputs.push_back(all[i]);
    }
    folvek::test::checkSnapshots("printed-corpus", inputs,
                                 [](const fs::path& p) { return account(p, 2); });
}
