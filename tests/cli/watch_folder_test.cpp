// folvek-print --watch as a user runs it: files dropped in a folder while it runs, PDFs or a
// stand-in lp first on PATH (no print system of this machine is involved), done/ and failed/,
// restarts, and the folder taken away.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <functional>

#include "cli/watch_fixture.h"

namespace {

using watch_test::kTool;
using watch_test::Watcher;
using WatchFolder = watch_test::WatchFolder;

TEST_F(WatchFolder, PrintsDroppedFilesToPdfAndMovesThemToDone) {
    ASSERT_TRUE(QDir().mkpath(out()));
    write(out() + QStringLiteral("/old.pdf"), "kept");
    write(path(QStringLiteral("secret.txt")), "outside the folder\r\n");
    ASSERT_TRUE(
        QFile::link(path(QStringLiteral("secret.txt")), in() + QStringLiteral("/link.prn")));
    write(in() + QStringLiteral("/waiting.prn"), "there before the start\r\n");

    Watcher w(home_.path(), pdfArgs());
    ASSERT_TRUE(w.waitFor([&] { return w.said(QStringLiteral("watching")); }));
    // A report written in pieces 50 ms apart, a second file at the same time, a binary one.
    for (int piece = 0; piece < 4; ++piece) {
        write(in() + QStringLiteral("/old.prn"),
              QByteArray("\xCE\xF2\xF7\xE5\xF2 line ") + QByteArray::number(piece) + "\r\n", true);
        if (piece == 1) write(in() + QStringLiteral("/two\nlines.txt"), "second\r\n");
        QThread::msleep(50);
    }
    QByteArray binary(4096, '\0');
    binary.replace(0, 4,
                   "\x7F"
                   "ELF");
    write(in() + QStringLiteral("/program.bin"), binary);

    const QString done = in() + QStringLiteral("/done");
    const QString failed = in() + QStringLiteral("/failed");
    ASSERT_TRUE(w.waitFor([&] { return entries(done).size() == 3 && entries(failed).size() == 2; }))
        << w.err().toStdString();
    // The folders it makes are the user's own to write, the others' to read and enter.
    const mode_t mask = ::umask(022);
    ::umask(mask);
    for (const QString& made : {done, failed}) {
        struct stat st {};
        ASSERT_EQ(::stat(made.toLocal8Bit().constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0755u & ~mask) << made.toStdString();
    }
    EXPECT_EQ(entries(done),
              (QStringList{QStringLiteral("old.prn"), QStringLiteral("two\nlines.txt"),
                           QStringLiteral("waiting.prn")}));
    // Never replacing a PDF that is there: the report's goes to old-1.pdf.
    EXPECT_EQ(entries(out()),
              (QStringList{QStringLiteral("old-1.pdf"), QStringLiteral("old.pdf"),
                           QStringLiteral("two\nlines.pdf"), QStringLiteral("waiting.pdf")}));
    QFile old(out() + QStringLiteral("/old.pdf"));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "kept");
    EXPECT_TRUE(isPdf(out() + QStringLiteral("/old-1.pdf")));
    EXPECT_TRUE(isPdf(out() + QStringLiteral("/two\nlines.pdf")));
    // The report was printed once, whole.
    QFile report(done + QStringLiteral("/old.prn"));
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    EXPECT_TRUE(report.readAll().contains("line 3"));
    EXPECT_EQ(w.err().count(QStringLiteral("old.prn: printed")), 1) << w.err().toStdString();

    EXPECT_EQ(entries(failed),
              (QStringList{QStringLiteral("program.bin"), QStringLiteral("program.bin.log")}));
    QFile log(failed + QStringLiteral("/program.bin.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("not a print job: it is a program (ELF)"));

    // The link stays, unfollowed; the file it names is untouched.
    EXPECT_TRUE(QFileInfo(in() + QStringLiteral("/link.prn")).isSymLink());
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("secret.txt"))));
    EXPECT_TRUE(w.said(QStringLiteral("link.prn: a symbolic link, left alone")));
    // One line per file, the newline of the name shown as \n.
    EXPECT_TRUE(w.said(QStringLiteral("two\\nlines.txt: printed to ")));

    EXPECT_EQ(w.stop(), 0);
    EXPECT_TRUE(w.said(QStringLiteral("stopped")));
    // Said once, not again at every look at the folder.
    EXPECT_EQ(w.err().count(QStringLiteral("link.prn: a symbolic link")), 1)
        << w.err().toStdString();
}

TEST_F(WatchFolder, RestartNeverPrintsAFileTwice) {
    {
        Watcher w(home_.path(), pdfArgs());
        write(in() + QStringLiteral("/first.prn"), "first\r\n");
        ASSERT_TRUE(w.waitFor([&] { return QFile::exists(out() + QStringLiteral("/first.pdf")); }))
            << w.err().toStdString();
        // Stopped while a file is still being written: it stays for the next start.
        write(in() + QStringLiteral("/half.prn"), "first half\r\n");
        QThread::msleep(50);
        EXPECT_EQ(w.stop(), 0);
    }
    EXPECT_TRUE(QFile::exists(in() + QStringLiteral("/half.prn")));
    write(in() + QStringLiteral("/half.prn"), "second half\r\n", true);
    write(in() + QStringLiteral("/while-stopped.prn"), "dropped while stopped\r\n");
    {
        Watcher w(home_.path(), pdfArgs());
        ASSERT_TRUE(w.waitFor([&] { return entries(out()).size() >= 3; })) << w.err().toStdString();
        QThread::msleep(600);  // three settling times: anything printed twice would show now
        EXPECT_EQ(w.stop(), 0);
    }
    EXPECT_EQ(entries(out()), (QStringList{QStringLiteral("first.pdf"), QStringLiteral("half.pdf"),
                                           QStringLiteral("while-stopped.pdf")}));
    EXPECT_EQ(entries(in() + QStringLiteral("/done")).size(), 3);
}

TEST_F(WatchFolder, PrintsThroughLpAndRefusedJobsGoToFailed) {
    // An lp that keeps its arguments and refuses a job whose title says so.
    write(path(QStringLiteral("lp")), QStringLiteral("#!/bin/sh\n"
                                                     "printf '%s\\n' \"$@\" >> '%1/lp-args'\n"
                                                     "case \"$*\" in *refuse*) exit 1;; esac\n")
                                          .arg(home_.path())
                                          .toUtf8());
    QFile::setPermissions(path(QStringLiteral("lp")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    Watcher w(home_.path(),
              {in(), QStringLiteral("--printer"), QStringLiteral("office"),
               QStringLiteral("--settle"), QStringLiteral("200"), QStringLiteral("--delete")});
    write(in() + QStringLiteral("/ok.prn"), "fine\r\n");
    write(in() + QStringLiteral("/refuse.prn"), "refused\r\n");
    const QString failed = in() + QStringLiteral("/failed");
    ASSERT_TRUE(w.waitFor([&] {
        return !QFile::exists(in() + QStringLiteral("/ok.prn")) && entries(failed).size() == 2;
    })) << w.err().toStdString();
    EXPECT_FALSE(QDir(in() + QStringLiteral("/done")).exists());  // --delete: no done/
    QFile args(path(QStringLiteral("lp-args")));
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    const QString lp = QString::fromUtf8(args.readAll());
    EXPECT_TRUE(lp.contains(QStringLiteral("-d\noffice\n-t\nok.prn\n"))) << lp.toStdString();
    EXPECT_TRUE(w.said(QStringLiteral("ok.prn: printed on office, deleted")))
        << w.err().toStdString();
    QFile log(failed + QStringLiteral("/refuse.prn.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("lp refused the job"));
    EXPECT_EQ(w.stop(), 0);
}

TEST_F(WatchFolder, ANameTooLongToBeTakenAsideIsPrintedWhereItIs) {
    // 250 bytes: with the prefix of a file taken aside it would pass the longest name there is.
    const QString name = QString(246, QLatin1Char('n')) + QStringLiteral(".prn");
    Watcher w(home_.path(), pdfArgs());
    ASSERT_TRUE(w.waitFor([&] { return w.said(QStringLiteral("watching")); }));
    write(in() + QLatin1Char('/') + name, "long name\r\n");
    ASSERT_TRUE(w.waitFor([&] { return entries(in() + QStringLiteral("/done")).size() == 1; }))
        << w.err().toStdString();
    EXPECT_EQ(entries(in() + QStringLiteral("/done")), QStringList{name});
    EXPECT_EQ(entries(out()), QStringList{QString(246, QLatin1Char('n')) + QStringLiteral(".pdf")});
    EXPECT_TRUE(
        isPdf(out() + QLatin1Char('/') + QString(246, QLatin1Char('n')) + QStringLiteral(".pdf")));
    EXPECT_EQ(w.stop(), 0);
}

TEST_F(WatchFolder, TheLayoutOptionsReachEachJobEvenAFirstPageAlone) {
    Watcher w(home_.path(),
              pdfArgs() + QStringList{QStringLiteral("--pages"), QStringLiteral("1-1")});
    ASSERT_TRUE(w.waitFor([&] { return w.said(QStringLiteral("watching")); }));
    write(in() + QStringLiteral("/two.prn"), "page one\r\n\fpage two\r\n");
    ASSERT_TRUE(w.waitFor([&] { return entries(in() + QStringLiteral("/done")).size() == 1; }))
        << w.err().toStdString();
    EXPECT_EQ(w.stop(), 0);
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {out() + QStringLiteral("/two.pdf")});
    ASSERT_TRUE(info.waitForFinished(10000));
    const QString meta = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(meta.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))))
        << meta.toStdString();
}

TEST_F(WatchFolder, FolderThatDisappearsEndsTheWatchWithAnError) {
    Watcher w(home_.path(), pdfArgs());
    ASSERT_TRUE(w.waitFor([&] { return w.said(QStringLiteral("watching")); }));
    ASSERT_TRUE(QDir(in()).removeRecursively());
    EXPECT_EQ(w.finish(), 1);
    EXPECT_TRUE(w.said(QStringLiteral("has disappeared"))) << w.err().toStdString();
}

TEST_F(WatchFolder, CommandLine) {
    auto code = [&](const QStringList& args) {
        QProcess p;
        p.start(kTool, args);
        p.waitForFinished(10000);
        return p.exitCode();
    };
    EXPECT_EQ(code({QStringLiteral("--pdf-dir"), out(), QStringLiteral("r.prn")}), 2);
    EXPECT_EQ(code({QStringLiteral("--watch"), in(), QStringLiteral("r.prn")}), 2);
    EXPECT_EQ(code({QStringLiteral("--watch"), in(), QStringLiteral("--pdf-dir"), out(),
                    QStringLiteral("--printer"), QStringLiteral("office")}),
              2);
    EXPECT_EQ(
        code({QStringLiteral("--watch"), in(), QStringLiteral("--settle"), QStringLiteral("soon")}),
        2);
    // PDFs in the watched folder would be printed again without end.
    EXPECT_EQ(code({QStringLiteral("--watch"), in(), QStringLiteral("--pdf-dir"), in()}), 2);
    EXPECT_EQ(code({QStringLiteral("--watch"), path(QStringLiteral("missing"))}), 1);
    // A done/ or failed/ that is a file, not a folder: the watch cannot start.
    ASSERT_TRUE(QDir().mkpath(in()));
    for (const char* name : {"done", "failed"}) {
        QDir(in()).rmdir(QString::fromLatin1(name));
        QFile file(in() + QStringLiteral("/") + QString::fromLatin1(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        EXPECT_EQ(code({QStringLiteral("--watch"), in(), QStringLiteral("--pdf-dir"), out()}), 1)
            << name;
        ASSERT_TRUE(file.remove());
        ASSERT_TRUE(QDir(in()).mkdir(QString::fromLatin1(name)));  // for the next round
    }
}

}  // namespace
