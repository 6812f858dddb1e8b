// folvek-print run as a process, for the habits of a command-line tool: one-line usage errors
// with exit 2, messages prefixed with its name in the locale's language, a summary line per
// document, several documents in one run and lp's own options. lp is a stand-in first on PATH.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const QString kTool = QStringLiteral(FOLVEK_BINARY_DIR "/src/cli/folvek-print");
const QString kWarehouse = QStringLiteral(FOLVEK_SOURCE_DIR "/samples/warehouse-866.prn");

struct ToolRun {
    int code = -1;
    QString out, err;
    QStringList errLines() const { return err.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};

class Habits : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        ASSERT_TRUE(QFile::exists(kTool)) << kTool.toStdString();
        // An lp that keeps its arguments one a line.
        write(QStringLiteral("lp"),
              QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" >> '%1/lp-args'\n")
                  .arg(home_.path())
                  .toUtf8());
        QFile(path(QStringLiteral("lp")))
            .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                            QFileDevice::ExeOwner);
    }

    // The tool under `lang` (the test does not depend on the locales this machine has built:
    // Qt reads the language from the environment).
    ToolRun tool(const QStringList& args, const char* lang = "C.UTF-8") {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("FOLVEK_HOME"), home_.path());
        env.insert(QStringLiteral("PATH"),
                   home_.path() + QLatin1Char(':') + env.value(QStringLiteral("PATH")));
        env.remove(QStringLiteral("LC_ALL"));
        env.remove(QStringLiteral("LC_MESSAGES"));
        env.remove(QStringLiteral("LANGUAGE"));
        env.insert(QStringLiteral("LANG"), QString::fromLatin1(lang));
        p.setProcessEnvironment(env);
        p.start(kTool, args);
        ToolRun r;
        p.closeWriteChannel();
        if (!p.waitForFinished(120000)) return r;
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    QString path(const QString& name) const { return home_.filePath(name); }
    QString write(const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    QStringList lpArgs() const {
        QFile f(path(QStringLiteral("lp-args")));
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QTemporaryDir home_;
};

TEST_F(Habits, EveryBadCommandLineIsOneLineAPointerToHelpAndExit2) {
    const QStringList bad[] = {
        {QStringLiteral("--frobnicate"), kWarehouse},
        {QStringLiteral("--paper"), QStringLiteral("B5"), QStringLiteral("--info"), kWarehouse},
        {QStringLiteral("--info")},                               // no document
        {kWarehouse},                                             // nothing to do
        {QStringLiteral("-n"), QStringLiteral("2"), kWarehouse},  // copies without --lp
        {QStringLiteral("--lp"), QStringLiteral("-n"), QStringLiteral("0"), kWarehouse},
        {QStringLiteral("--lp"), QStringLiteral("-n"), QStringLiteral("1000"), kWarehouse},
        {QStringLiteral("--pages"), QStringLiteral("0-2"), QStringLiteral("--info"), kWarehouse},
        {QStringLiteral("--pages"), QStringLiteral("0"), QStringLiteral("--info"), kWarehouse},
        {QStringLiteral("--lp"), QStringLiteral("-o"), QStringLiteral("-x"), kWarehouse},
        {QStringLiteral("--info"), QStringLiteral("-"), QStringLiteral("-")},
        {QStringLiteral("-o"), path(QStringLiteral("x.pdf")), kWarehouse, kWarehouse},
        {QStringLiteral("--ini=")},
    };
    for (const QStringList& args : bad) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        const ToolRun r = tool(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.out.isEmpty());
        const QStringList lines = r.errLines();
        ASSERT_EQ(lines.size(), 2) << r.err.toStdString();
        EXPECT_TRUE(lines[0].startsWith(QStringLiteral("folvek-print: ")));
        EXPECT_EQ(lines[1], QStringLiteral("Try 'folvek-print --help' for more information."));
    }
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("x.pdf"))));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("lp-args"))));
}

TEST_F(Habits, AMissingSettingsFileIsAnErrorNotTheDefaults) {
    const ToolRun r = tool({QStringLiteral("--ini"), QStringLiteral("typo.ini"),
                            QStringLiteral("--info"), kWarehouse});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.isEmpty()) << "nothing laid out";
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("folvek-print: settings file ")));
    EXPECT_TRUE(r.err.contains(path(QStringLiteral("typo.ini")))) << r.err.toStdString();
    // The default settings file need not exist.
    EXPECT_EQ(tool({QStringLiteral("--info"), kWarehouse}).code, 0);
}

TEST_F(Habits, MessagesCarryTheProgramsNameOnceInTheLocalesLanguage) {
    write(QStringLiteral("pic.ini"),
          "[Folvk]\r\nIsTopPicture=YES\r\nTopFile=/no/such/logo.bmp\r\n");
    // Fitted, so that no line is cut and the picture's message is the only one.
    const QStringList args{QStringLiteral("--ini"), QStringLiteral("pic.ini"), QStringLiteral("-q"),
                           QStringLiteral("--fit"), QStringLiteral("--info"),  kWarehouse};
    const ToolRun en = tool(args, "en_US.UTF-8");
    EXPECT_EQ(en.code, 3);
    // One line, once, no dialog caption.
    EXPECT_EQ(en.errLines(), QStringList{QStringLiteral(
                                 "folvek-print: cannot open the picture: /no/such/logo.bmp: "
                                 "No such file or directory")});
    // Another language than Russian gets English, the C library's texts included.
    const ToolRun de = tool(args, "de_DE.UTF-8");
    EXPECT_EQ(de.err, en.err);
    const ToolRun ru = tool(args, "ru_RU.UTF-8");
    EXPECT_EQ(ru.code, 3);
    ASSERT_EQ(ru.errLines().size(), 1) << ru.err.toStdString();
    EXPECT_TRUE(ru.err.startsWith(
        QStringLiteral("folvek-print: Ошибка открытия рисунка: /no/such/logo.bmp: ")));

    const ToolRun usage = tool({QStringLiteral("--frobnicate")}, "ru_RU.UTF-8");
    EXPECT_EQ(usage.errLines().value(0),
              QStringLiteral("folvek-print: неизвестный параметр --frobnicate"));
}

TEST_F(Habits, EachDocumentIsSummedUpAndQuietSilencesOnlyThat) {
    // Fitted, so that no line is cut and the summary is the only line.
    const ToolRun info = tool({QStringLiteral("--fit"), QStringLiteral("--info"), kWarehouse});
    ASSERT_EQ(info.code, 0) << info.err.toStdString();
    const int pages = QJsonDocument::fromJson(info.out.toUtf8()).object()["pageCount"].toInt();
    ASSERT_GE(pages, 2);
    EXPECT_EQ(info.err, QStringLiteral("folvek-print: %1: %2 pages\n").arg(kWarehouse).arg(pages));
    const ToolRun ru =
        tool({QStringLiteral("--fit"), QStringLiteral("--info"), kWarehouse}, "ru_RU.UTF-8");
    EXPECT_TRUE(ru.err.startsWith(
        QStringLiteral("folvek-print: %1: %2 страниц").arg(kWarehouse).arg(pages)))
        << ru.err.toStdString();

    const ToolRun range =
        tool({QStringLiteral("--fit"), QStringLiteral("--pages"), QStringLiteral("2-"),
              QStringLiteral("-o"), path(QStringLiteral("r.pdf")), kWarehouse});
    EXPECT_EQ(range.err,
              QStringLiteral("folvek-print: %1: %2 pages\n").arg(kWarehouse).arg(pages - 1));
    // A range that starts and ends on the same page is that page.
    const ToolRun one =
        tool({QStringLiteral("--fit"), QStringLiteral("--pages"), QStringLiteral("2-2"),
              QStringLiteral("-o"), path(QStringLiteral("one.pdf")), kWarehouse});
    EXPECT_EQ(one.code, 0) << one.err.toStdString();
    EXPECT_EQ(one.err, QStringLiteral("folvek-print: %1: 1 page\n").arg(kWarehouse));

    // Characters code page 1251 lacks are counted aloud, -q or not; the job still succeeds.
    const QString intl = write(QStringLiteral("intl.txt"),
                               "Gr\xc3\xb6\xc3\x9f"
                               "e \xce\xb1\xce\xb2\xce\xb3 "
                               "\xe4\xb8\xad \xd0\x94\xd0\xb0\n");
    const ToolRun quiet = tool({QStringLiteral("-q"), QStringLiteral("--info"), intl});
    EXPECT_EQ(quiet.code, 0);
    const int unmappable =
        QJsonDocument::fromJson(quiet.out.toUtf8()).object()["unmappable"].toInt();
    EXPECT_EQ(unmappable, 6);  // ö ß α β γ 中; Да is in 1251
    EXPECT_EQ(quiet.errLines(),
              QStringList{QStringLiteral("folvek-print: %1: warning: 6 characters that code page "
                                         "1251 lacks are printed as \"?\" (see --help)")
                              .arg(intl)});
}

TEST_F(Habits, SeveralDocumentsInOneRunAndTheWorstStatusWins) {
    const QString one = write(QStringLiteral("one.txt"), "one\n");
    const QString two = write(QStringLiteral("two.txt"), "two\f2\f3\n");
    const ToolRun r =
        tool({QStringLiteral("--info"), one, path(QStringLiteral("missing.txt")), two});
    EXPECT_EQ(r.code, 1);
    // One JSON object per document that could be read, in order.
    EXPECT_EQ(r.out.count(QStringLiteral("\"pageCount\"")), 2);
    const QStringList lines = r.errLines();
    ASSERT_EQ(lines.size(), 3) << r.err.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("folvek-print: %1: 1 page").arg(one));
    EXPECT_TRUE(lines[1].startsWith(
        QStringLiteral("folvek-print: cannot open %1: ").arg(path(QStringLiteral("missing.txt")))));
    EXPECT_EQ(lines[2], QStringLiteral("folvek-print: %1: 3 pages").arg(two));
}

// The count said at the end is of the pages written: a range cut to the document, the first
// page alone, or from a page to the end.
TEST_F(Habits, TheCountSaidIsOfThePagesWritten) {
    const QString three = write(QStringLiteral("three.txt"), "one\f2\f3\n");
    const auto said = [&](const char* pages) {
        const ToolRun r = tool({QStringLiteral("--pages"), QString::fromLatin1(pages),
                                QStringLiteral("--info"), three});
        return r.errLines().value(0);
    };
    EXPECT_EQ(said("1"), QStringLiteral("folvek-print: %1: 1 page").arg(three));
    EXPECT_EQ(said("2-"), QStringLiteral("folvek-print: %1: 2 pages").arg(three));
    EXPECT_EQ(said("2-9"), QStringLiteral("folvek-print: %1: 2 pages").arg(three));
    EXPECT_EQ(said("3-3"), QStringLiteral("folvek-print: %1: 1 page").arg(three));
    EXPECT_EQ(said("4-9"), QStringLiteral("folvek-print: %1: 0 pages").arg(three))
        << "a range past the end writes nothing";
}

TEST_F(Habits, LpTakesCopiesQueueAndOptionsAsLpSpellsThem) {
    const QString one = write(QStringLiteral("one.txt"), "one\n");
    const QString two = write(QStringLiteral("two.txt"), "two\n");
    // -o before --lp is the PDF; after it, an option for lp.
    const QString pdf = path(QStringLiteral("also.pdf"));
    const ToolRun r = tool({QStringLiteral("-o"), pdf, QStringLiteral("--lp"), QStringLiteral("-P"),
                            QStringLiteral("office"), QStringLiteral("-n"), QStringLiteral("2"),
                            QStringLiteral("-o"), QStringLiteral("sides=two-sided-long-edge"),
                            QStringLiteral("--lp-option=InputSlot=Tray2"), one});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(pdf));
    const QStringList args = lpArgs();
    ASSERT_GE(args.size(), 2);
    EXPECT_EQ(args.mid(0, 6), (QStringList{"-d", "office", "-t", "one.txt", "-o", "media=A4"}));
    const QStringList tail = args.mid(6);
    EXPECT_EQ(
        tail.mid(0, tail.size() - 1),
        (QStringList{"-n", "2", "-o", "sides=two-sided-long-edge", "-o", "InputSlot=Tray2", "--"}));
    EXPECT_EQ(r.err,
              QStringLiteral("folvek-print: %1: 1 page sent to the printer, 2 copies\n").arg(one));

    // Several documents: one job each, in order.
    QFile::remove(path(QStringLiteral("lp-args")));
    ASSERT_EQ(tool({QStringLiteral("--lp"), QStringLiteral("-q"), one, two}).code, 0);
    EXPECT_EQ(lpArgs().filter(QStringLiteral(".txt")),
              (QStringList{QStringLiteral("one.txt"), QStringLiteral("two.txt")}));
}

}  // namespace
