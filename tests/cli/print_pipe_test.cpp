// folvek-print --lp, the print pipe: the job read from standard input whole, laid out and handed
// to lp. lp here is a stand-in first on PATH that keeps its arguments and the spool file, so no
// print system or printer of this machine is involved.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

namespace {

const QString kTool = QStringLiteral(FOLVEK_BINARY_DIR "/src/cli/folvek-print");

template <std::size_t N>
QByteArray bytes(const char (&s)[N]) {
    return QByteArray(s, N - 1);
}

struct ToolRun {
    int code = -1;
    QString out, err;
};

class PrintPipe : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        ASSERT_TRUE(QFile::exists(kTool)) << kTool.toStdString();
        fakeLp(0);
    }

    // An lp that writes its arguments one a line, copies the file it is given and exits `code`.
    void fakeLp(int code) {
        QFile lp(home_.filePath(QStringLiteral("lp")));
        ASSERT_TRUE(lp.open(QIODevice::WriteOnly | QIODevice::Truncate));
        lp.write(QStringLiteral("#!/bin/sh\n"
                                "printf '%s\\n' \"$@\" > '%1/lp-args'\n"
                                "for a; do last=$a; done\n"
                                "cp \"$last\" '%1/spooled.pdf'\n"
                                "exit %2\n")
                     .arg(home_.path())
                     .arg(code)
                     .toUtf8());
        lp.close();
        lp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    ToolRun run(const QString& program, const QStringList& args, const QByteArray& input = {}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("FOLVEK_HOME"), home_.path());  // no user settings
        // Messages in English, whatever this machine's locale.
        env.remove(QStringLiteral("LC_ALL"));
        env.remove(QStringLiteral("LANGUAGE"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("PATH"),
                   home_.path() + QLatin1Char(':') + env.value(QStringLiteral("PATH")));
        p.setProcessEnvironment(env);
        p.start(program, args);
        ToolRun r;
        if (!p.waitForStarted(30000)) return r;
        for (qsizetype at = 0; at < input.size(); at += 1 << 20) {
            p.write(input.constData() + at, std::min<qsizetype>(1 << 20, input.size() - at));
            while (p.bytesToWrite() > 0)
                if (!p.waitForBytesWritten(120000)) return r;
        }
        p.closeWriteChannel();
        if (!p.waitForFinished(120000)) return r;
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    ToolRun tool(const QStringList& args, const QByteArray& input = {}) {
        return run(kTool, args, input);
    }
    QString path(const QString& name) const { return home_.filePath(name); }
    QStringList lpArgs() const {
        QFile f(path(QStringLiteral("lp-args")));
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QString pdfText(const QString& pdf) {
        return run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).out;
    }

    QTemporaryDir home_;
};

TEST_F(PrintPipe, CommandLine) {
    const ToolRun noLp =
        tool({QStringLiteral("--printer"), QStringLiteral("office"), QStringLiteral("report.prn")});
    EXPECT_EQ(noLp.code, 2);
    EXPECT_TRUE(noLp.err.contains(QStringLiteral("--printer goes with --lp")))
        << noLp.err.toStdString();
    for (const char* bad : {"-d", "", "two words", "tab\tname"}) {
        const ToolRun r =
            tool({QStringLiteral("--lp"), QStringLiteral("--printer=") + QString::fromLatin1(bad)});
        EXPECT_EQ(r.code, 2) << bad;
        EXPECT_FALSE(r.err.isEmpty()) << bad;
    }
    EXPECT_EQ(tool({QStringLiteral("--lp"), QStringLiteral("--printer")}).code, 2);
    EXPECT_EQ(tool({QStringLiteral("--title"), QStringLiteral("t"), QStringLiteral("r.prn")}).code,
              2);
    EXPECT_EQ(tool({QStringLiteral("--lp"), QStringLiteral("--title=")}).code, 2);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("lp-args"))));
    const ToolRun help = tool({QStringLiteral("--help")});
    EXPECT_TRUE(help.out.contains(QStringLiteral("--lp ")));
    EXPECT_TRUE(help.out.contains(QStringLiteral("--printer QUEUE")));
}

TEST_F(PrintPipe, EmptyJobPrintsNothing) {
    const ToolRun r =
        tool({QStringLiteral("--lp"), QStringLiteral("--printer"), QStringLiteral("office")});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("empty"))) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("lp-args"))));
}

// Standard input that cannot be read (here a folder) fails the job and says where it failed.
TEST_F(PrintPipe, UnreadableStandardInputFailsTheJobAndSaysSo) {
    const ToolRun r = run(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("exec \"$0\" --lp < \"$1\""), kTool, home_.path()});
    EXPECT_NE(r.code, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("standard input: Is a directory")))
        << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("lp-args"))));
}

TEST_F(PrintPipe, JobOnStandardInputGoesToTheQueue) {
    // Code page 866 with printer codes, a NUL and a Ctrl-Z-free binary run, and two pages.
    const QByteArray job = bytes(
        "\x1b@\x8f\xe0\xa8\xa2\xa5\xe2 \x1b(s3B\x8c\xa8\xe0\r\n"
        "bin\0\xff\x01\x02 gone\r\n"
        "\x0c\x82\xe2\xae\xe0\xa0\xef\r\n");
    const ToolRun r =
        tool({QStringLiteral("--lp"), QStringLiteral("--printer"), QStringLiteral("office"),
              QStringLiteral("--dos"), QStringLiteral("--landscape")},
             job);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList args = lpArgs();
    ASSERT_EQ(args.size(), 10) << args.join(' ').toStdString();
    EXPECT_EQ(args.mid(0, 9), (QStringList{"-d", "office", "-t", "folvek-print", "-o", "media=A4",
                                           "-o", "landscape", "--"}));
    EXPECT_FALSE(QFile::exists(args.last())) << "the spool file is removed after lp";
    const QString pdf = path(QStringLiteral("spooled.pdf"));
    const ToolRun info = run(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.out.contains(QStringLiteral("Pages:           2"))) << info.out.toStdString();
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Привет Мир"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Вторая")));
    EXPECT_FALSE(text.contains(QStringLiteral("gone")));  // a NUL ends what is kept of a line
    EXPECT_FALSE(text.contains(QStringLiteral("3B")));

    // A file named on the command line, the default queue: no -d, the file's name as title.
    QFile report(path(QStringLiteral("отчёт.prn")));
    ASSERT_TRUE(report.open(QIODevice::WriteOnly));
    report.write("report\r\n");
    report.close();
    ASSERT_EQ(tool({QStringLiteral("--lp"), report.fileName()}).code, 0);
    EXPECT_EQ(lpArgs().mid(0, 5), (QStringList{"-t", "отчёт.prn", "-o", "media=A4", "--"}));
    ASSERT_EQ(tool({QStringLiteral("--lp"), QStringLiteral("--title=Склад 1")}, "x\r\n").code, 0);
    EXPECT_EQ(lpArgs().mid(0, 2), (QStringList{"-t", "Склад 1"}));
}

TEST_F(PrintPipe, RefusedOrMissingLpFailsTheJob) {
    fakeLp(1);
    const ToolRun refused =
        tool({QStringLiteral("--lp"), QStringLiteral("--printer"), QStringLiteral("gone")},
             QByteArray("text\r\n"));
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("gone"))) << refused.err.toStdString();
    QFile::remove(path(QStringLiteral("lp")));
    QProcess p;
    QProcessEnvironment env;
    env.insert(QStringLiteral("FOLVEK_HOME"), home_.path());
    env.insert(QStringLiteral("PATH"), home_.path());  // no lp at all
    p.setProcessEnvironment(env);
    p.start(kTool, {QStringLiteral("--lp")});
    ASSERT_TRUE(p.waitForStarted());
    p.write("text\r\n");
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(p.readAllStandardError().contains("lp"));
}

// An HP LaserJet job as a DOS program sends it: the layout takes the codes' pitch, spacing,
// page length and orientation.
TEST_F(PrintPipe, PclJobTellsItsLayout) {
    const ToolRun r = tool({QStringLiteral("--info"), QStringLiteral("-")},
                           bytes("\x1b"
                                 "E\x1b&l1O\x1b&l66P\x1b&l8D\x1b(3R\x1b(s0p16.67h8.5v0s0b3T"
                                 "\x1b(s3BTotal\x1b(s0B 12\r\n\x1b"
                                 "E"));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject layout = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(layout["printerCpi"].toDouble(), 16.67);
    EXPECT_EQ(layout["printerLpi"].toDouble(), 8);
    EXPECT_EQ(layout["printerPageLines"].toInt(), 66);
    EXPECT_EQ(layout["printerOrientation"].toInt(), 1);
    EXPECT_EQ(layout["pageCount"].toInt(), 1);
}

// 50 MB through the pipe, laid out without printing: every line arrives.
TEST_F(PrintPipe, FiftyMegabytesAreReadWhole) {
    QByteArray job;
    job.reserve(51 << 20);
    int lines = 0;
    while (job.size() < (50 << 20)) {
        job +=
            QByteArray::number(lines).rightJustified(7, '0') + " " + QByteArray(56, 'x') + "\r\n";
        ++lines;
    }
    const ToolRun info = tool({QStringLiteral("--info"), QStringLiteral("-")}, job);
    ASSERT_EQ(info.code, 0) << info.err.toStdString();
    const QJsonObject layout = QJsonDocument::fromJson(info.out.toUtf8()).object();
    const int perPage = layout["linesPerPage"].toInt();
    ASSERT_GT(perPage, 0);
    const int pages = layout["pageCount"].toInt();
    EXPECT_EQ(pages, (lines + perPage - 1) / perPage);
    // The last page holds the last line.
    const QString last = path(QStringLiteral("last.pdf"));
    ASSERT_EQ(tool({QStringLiteral("-"), QStringLiteral("--pages"), QString::number(pages),
                    QStringLiteral("-o"), last},
                   job)
                  .code,
              0);
    const QString text = pdfText(last);
    EXPECT_TRUE(text.contains(QString::number(lines - 1).rightJustified(7, '0')))
        << text.left(400).toStdString();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("lp-args"))));
}

// Through the real print system: the test command's cups-pdf queue (tools/cups-test-env) turns
// the job into a PDF of its own. Skipped where that queue is not set up.
TEST(PrintPipeThroughCups, AJobOnStandardInputComesOutOfTheQueue) {
    const QString dir = qEnvironmentVariable("FOLVEK_TEST_PDF_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "FOLVEK_TEST_PDF_DIR is not set (tools/test sets up the queue with "
                        "tools/cups-test-env)";
    QString queue = qEnvironmentVariable("FOLVEK_TEST_QUEUE");
    if (queue.isEmpty()) queue = QStringLiteral("FolvekTestPDF");
    const QString token =
        QStringLiteral("folvek-print-pipe%1").arg(QCoreApplication::applicationPid());
    auto jobPdfs = [&dir, &token] {
        QSet<QString> names;
        for (const QString& f : QDir(dir).entryList({QStringLiteral("*.pdf")}, QDir::Files))
            if (f.contains(token)) names.insert(f);
        return names;
    };
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FOLVEK_HOME"), home.path());
    p.setProcessEnvironment(env);
    p.start(kTool, {QStringLiteral("--lp"), QStringLiteral("--printer"), queue,
                    QStringLiteral("--title"), token});
    ASSERT_TRUE(p.waitForStarted());
    p.write("first page\r\n\x0csecond page\r\n");
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(120000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();

    QElapsedTimer clock;
    clock.start();
    int pages = -1;
    while (pages <= 0 && clock.elapsed() < 120000) {
        for (const QString& f : jobPdfs()) {
            QProcess info;
            info.start(QStringLiteral("pdfinfo"), {dir + QLatin1Char('/') + f});
            info.waitForFinished(30000);
            const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                               .match(QString::fromUtf8(info.readAllStandardOutput()));
            if (m.hasMatch()) pages = m.captured(1).toInt();
        }
        if (pages <= 0) QThread::msleep(250);
    }
    EXPECT_EQ(pages, 2) << "no PDF of the job in " << dir.toStdString();
    for (const QString& f : jobPdfs()) QFile::remove(dir + QLatin1Char('/') + f);
}

}  // namespace

namespace {

TEST_F(PrintPipe, PicturesProgramsAndRandomBytesAreRefusedUnlessForced) {
    QByteArray bmp = bytes("BM\x36\x10\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0");
    bmp += QByteArray(4096, '\xDA');
    QByteArray noise(20000, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 7919 + i / 13) ^ (i >> 3));
    for (const QByteArray& job :
         {bmp, bytes("MZ\x90\0\x03\0\0\0\x04\0\0\0\xFF\xFF\0\0") + noise, noise}) {
        const ToolRun r = tool({QStringLiteral("--lp")}, job);
        EXPECT_EQ(r.code, 1) << r.err.toStdString();
        EXPECT_TRUE(
            r.err.contains(QStringLiteral("not a report or a printer job: nothing printed")))
            << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("lp-args"))));
    }
    const ToolRun forced = tool({QStringLiteral("--lp"), QStringLiteral("--force")}, bmp);
    EXPECT_EQ(forced.code, 0) << forced.err.toStdString();
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("spooled.pdf"))));
}

TEST_F(PrintPipe, TheJobAndItsPdfAreNamedAfterTheFileInItsOwnEncoding) {
    // "Отчет.prn" in code page 1251, as a Windows program names its report.
    const QByteArray name = bytes("\xCE\xF2\xF7\xE5\xF2.prn");
    const QString file = path(QString()) + QLatin1Char('/');
    const QByteArray full = QFile::encodeName(file) + name;
    std::FILE* f = std::fopen(full.constData(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("\xCE\xF2\xF7\xE5\xF2 \xE7\xE0 \xEC\xE0\xE9\r\n", f);
    std::fclose(f);
    // The name's bytes reach the tool through the shell's glob, not through a QString.
    const ToolRun r =
        run(QStringLiteral("/bin/sh"),
            {QStringLiteral("-c"), QStringLiteral("cd \"$1\" && exec \"$0\" --lp ./*.prn"), kTool,
             home_.path()});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(lpArgs().contains(QStringLiteral("Отчет.prn"))) << lpArgs().join(' ').toStdString();
    const ToolRun info = run(QStringLiteral("pdfinfo"), {path(QStringLiteral("spooled.pdf"))});
    EXPECT_TRUE(info.out.contains(QRegularExpression(QStringLiteral("Title: +Отчет.prn"))))
        << info.out.toStdString();
}

}  // namespace
