// The watched folder with real writers, as DOS emulators write their printer port's file: one
// that keeps the file open and pauses longer than the settling time, one that closes it and
// opens it again to append, a printout moved in under the name of one being printed, and a
// second watcher on the same folder. No byte may go unprinted, none may be filed unprinted.
#include <QRegularExpression>

#include "cli/watch_fixture.h"

namespace {

using watch_test::Watcher;
using WatchJobs = watch_test::WatchFolder;

// Thirty numbered report lines starting at `first`.
QByteArray lines(int first) {
    QByteArray text;
    for (int i = first; i < first + 30; ++i)
        text += "\xCE\xF2\xF7\xE5\xF2 line " + QByteArray::number(i) + "\r\n";
    return text;
}

// A writer process: a shell that runs `script` with LINES1 and LINES2 files to copy from.
class Writer {
  public:
    Writer(const QString& dir, const QString& script) {
        QFile a(dir + QStringLiteral("/.lines1")), b(dir + QStringLiteral("/.lines2"));
        a.open(QIODevice::WriteOnly);
        a.write(lines(1));
        b.open(QIODevice::WriteOnly);
        b.write(lines(31));
        a.close();
        b.close();
        p_.setWorkingDirectory(dir);
        p_.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
        p_.waitForStarted(5000);
    }
    bool finish() { return p_.waitForFinished(20000) && p_.exitCode() == 0; }

  private:
    QProcess p_;
};

// Every line number 1..60 that the PDFs in `dir` hold, once each at least.
QString missingLines(const QString& dir) {
    QString all;
    for (const QFileInfo& f : QDir(dir).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files)) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {f.filePath(), QStringLiteral("-")});
        p.waitForFinished(30000);
        all += QString::fromUtf8(p.readAllStandardOutput());
    }
    QString missing;
    for (int i = 1; i <= 60; ++i)
        if (!all.contains(QRegularExpression(QStringLiteral("line %1\\b").arg(i))))
            missing += QString::number(i) + QLatin1Char(' ');
    return missing;
}

TEST_F(WatchJobs, AWriterThatKeepsTheFileOpenAndPausesIsPrintedWhole) {
    Watcher w(home_.path(), pdfArgs());  // settles after 200 ms
    ASSERT_TRUE(w.waitFor([&] { return w.said(QStringLiteral("watching")); }));
    // Half a job, a pause of 2.5 s (the program computes its next page), the other half.
    Writer writer(in(), QStringLiteral("exec 3>LPT1.prn; cat .lines1 >&3; sleep 2.5; "
                                       "cat .lines2 >&3; exec 3>&-"));
    ASSERT_TRUE(w.waitFor([&] { return w.said(QStringLiteral("still open for writing")); }, 3000))
        << w.err().toStdString();
    ASSERT_TRUE(writer.finish());
    const QString done = in() + QStringLiteral("/done");
    ASSERT_TRUE(w.waitFor([&] { return entries(done).contains(QStringLiteral("LPT1.prn")); }))
        << w.err().toStdString();
    EXPECT_EQ(entries(out()), QStringList{QStringLiteral("LPT1.pdf")});
    EXPECT_EQ(missingLines(out()), QString());
    EXPECT_EQ(w.err().count(QStringLiteral("LPT1.prn: printed")), 1) << w.err().toStdString();
}

TEST_F(WatchJobs, AWriterThatClosesAndReopensLosesNothing) {
    Watcher w(home_.path(), pdfArgs());
    ASSERT_TRUE(w.waitFor([&] { return w.said(QStringLiteral("watching")); }));
    // Closed after the first half; appended to after longer than the settling time, and again
    // while the first half may be printing.
    Writer writer(in(), QStringLiteral("cat .lines1 > LPT1.prn; sleep 0.6; "
                                       "head -c 700 .lines2 >> LPT1.prn; sleep 0.05; "
                                       "tail -c +701 .lines2 >> LPT1.prn"));
    ASSERT_TRUE(writer.finish());
    ASSERT_TRUE(w.waitFor(
        [&] {
            return missingLines(out()).isEmpty() &&
                   !QDir(in()).entryList(QDir::Files).contains(QStringLiteral("LPT1.prn"));
        },
        15000))
        << w.err().toStdString() << "\nmissing: " << missingLines(out()).toStdString();
    // Everything printed is in done/, and nothing is in done/ that was not printed.
    QByteArray filed;
    for (const QString& f : entries(in() + QStringLiteral("/done"))) {
        QFile file(in() + QStringLiteral("/done/") + f);
        file.open(QIODevice::ReadOnly);
        filed += file.readAll();
    }
    EXPECT_EQ(filed.size(), lines(1).size() + lines(31).size()) << w.err().toStdString();
}

TEST_F(WatchJobs, WhatIsWrittenAfterTheLongestWaitIsPrintedAsItsOwnJob) {
    // The program never lets go within the longest wait: the first half is printed then, the
    // second half, written into the printed file, becomes a job of its own.
    Watcher w(home_.path(),
              pdfArgs() + QStringList{QStringLiteral("--max-wait"), QStringLiteral("1")});
    ASSERT_TRUE(w.waitFor([&] { return w.said(QStringLiteral("watching")); }));
    Writer writer(in(), QStringLiteral("exec 3>LPT1.prn; cat .lines1 >&3; sleep 2.5; "
                                       "cat .lines2 >&3; sleep 0.5; exec 3>&-"));
    ASSERT_TRUE(writer.finish());
    ASSERT_TRUE(w.waitFor([&] { return missingLines(out()).isEmpty(); }, 15000))
        << w.err().toStdString() << "\nmissing: " << missingLines(out()).toStdString();
    ASSERT_TRUE(w.waitFor([&] { return w.said(QStringLiteral("LPT1-1.prn: printed")); }))
        << w.err().toStdString();
    EXPECT_TRUE(
        w.said(QStringLiteral("bytes written after it was taken will be printed as its "
                              "own job, LPT1-1.prn")))
        << w.err().toStdString();
    EXPECT_EQ(entries(in() + QStringLiteral("/done")),
              (QStringList{QStringLiteral("LPT1-1.prn"), QStringLiteral("LPT1.prn")}));
}

TEST_F(WatchJobs, APrintoutMovedInUnderTheNameOfOneBeingPrintedWaitsForItsOwnJob) {
    // An lp that takes two seconds per job and keeps a copy of what it printed.
    write(path(QStringLiteral("lp")),
          QStringLiteral("#!/bin/sh\nfor a; do f=\"$a\"; done\nsleep 2\n"
                         "pdftotext \"$f\" - >> '%1/printed'\n")
              .arg(home_.path())
              .toUtf8());
    QFile::setPermissions(path(QStringLiteral("lp")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Watcher w(home_.path(), {in(), QStringLiteral("--settle"), QStringLiteral("200")});
    ASSERT_TRUE(w.waitFor([&] { return w.said(QStringLiteral("watching")); }));
    write(in() + QStringLiteral("/lpt1.prn"), "first printout\r\n");
    QThread::msleep(900);  // settled, taken, and its job is running
    write(path(QStringLiteral("second")), "second printout\r\n");
    ASSERT_EQ(::rename(QFile::encodeName(path(QStringLiteral("second"))).constData(),
                       QFile::encodeName(in() + QStringLiteral("/lpt1.prn")).constData()),
              0);
    const QString done = in() + QStringLiteral("/done");
    ASSERT_TRUE(w.waitFor([&] { return entries(done).size() == 2; }, 15000))
        << w.err().toStdString();
    QFile first(done + QStringLiteral("/lpt1.prn")), second(done + QStringLiteral("/lpt1-1.prn"));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), "first printout\r\n");
    EXPECT_EQ(second.readAll(), "second printout\r\n");
    QFile printed(path(QStringLiteral("printed")));
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    const QByteArray text = printed.readAll();
    EXPECT_TRUE(text.contains("first printout") && text.contains("second printout")) << text.data();
}

TEST_F(WatchJobs, ASecondWatcherOnTheSameFolderStopsWithAClearMessage) {
    Watcher first(home_.path(), pdfArgs());
    ASSERT_TRUE(first.waitFor([&] { return first.said(QStringLiteral("watching")); }));
    Watcher second(home_.path(), pdfArgs());
    EXPECT_EQ(second.finish(), 1);
    // The holder is named by the first one's pid, on the message's own line.
    EXPECT_TRUE(second.said(
        QStringLiteral("is watched already by process %1: a second watcher").arg(first.pid())))
        << second.err().toStdString();
    EXPECT_FALSE(second.said(QStringLiteral("watching")));
    // The first goes on printing, each file once.
    write(in() + QStringLiteral("/a.prn"), "report\r\n");
    ASSERT_TRUE(first.waitFor([&] { return entries(out()).size() == 1; }));
    EXPECT_EQ(first.stop(), 0);
}

TEST_F(WatchJobs, PicturesAndArchivesGoToFailedAndForcePrintsThem) {
    QByteArray bmp("BM\x36\x10\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18);
    bmp += QByteArray(4096, '\xDA');  // a screenshot's pixels: "ЪЪЪ" in code page 1251
    write(in() + QStringLiteral("/shot.bmp"), bmp);
    {
        Watcher w(home_.path(), pdfArgs());
        ASSERT_TRUE(w.waitFor([&] {
            return entries(in() + QStringLiteral("/failed")).size() == 2;
        })) << w.err().toStdString();
        EXPECT_TRUE(
            w.said(QStringLiteral("shot.bmp: failed: not a print job: it is a BMP picture")));
        EXPECT_TRUE(entries(out()).isEmpty());
    }
    write(in() + QStringLiteral("/again.bmp"), bmp);
    Watcher w(home_.path(), pdfArgs() + QStringList{QStringLiteral("--force")});
    ASSERT_TRUE(w.waitFor([&] { return entries(out()).size() == 1; })) << w.err().toStdString();
}

}  // namespace
