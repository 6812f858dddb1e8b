// The desktop's recent list: a document opened is added for folvek, other programs' entries
// stay, and a list this reader does not understand is never overwritten.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "desktop_recent.h"

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(DesktopRecent, AddsTheDocumentBesideOtherProgramsEntriesOnce) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString list = dir.filePath(QStringLiteral("share/recently-used.xbel"));
    const std::string report =
        QDir(dir.path()).filePath(QStringLiteral("Отчёт №1.PRN")).toStdString();

    // A new list, in a folder that did not exist, made for the user alone.
    ASSERT_TRUE(folvek::addToDesktopRecent(report, list.toStdString()));
    EXPECT_EQ(QFile::permissions(dir.filePath(QStringLiteral("share"))) & 0x7777,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser |
                  QFile::WriteUser | QFile::ExeUser);
    QByteArray xbel = readAll(list);
    EXPECT_TRUE(xbel.contains("%D0%9E%D1%82%D1%87%D1%91%D1%82%20%E2%84%961.PRN")) << xbel.data();
    EXPECT_TRUE(xbel.contains("mime-type type=\"text/x-prn\"")) << xbel.data();
    EXPECT_TRUE(xbel.contains("name=\"folvek\" exec=\"&apos;folvek %f&apos;\"") ||
                xbel.contains("name=\"folvek\" exec=\"folvek %f\""))
        << xbel.data();

    // Another program's entry stays; the same document twice is one entry.
    QFile f(list);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(
        xbel.replace("</xbel>",
                     "<bookmark href=\"file:///home/u/notes.txt\" added=\"2026-01-01T00:00:00Z\" "
                     "modified=\"2026-01-01T00:00:00Z\" visited=\"2026-01-01T00:00:00Z\">"
                     "<info><metadata owner=\"http://freedesktop.org\">"
                     "<mime:mime-type type=\"text/plain\"/><bookmark:applications>"
                     "<bookmark:application name=\"gedit\" exec=\"&apos;gedit %u&apos;\" "
                     "modified=\"2026-01-01T00:00:00Z\" count=\"1\"/>"
                     "</bookmark:applications></metadata></info></bookmark></xbel>"));
    f.close();
    ASSERT_TRUE(folvek::addToDesktopRecent(report, list.toStdString()));
    ASSERT_TRUE(folvek::addToDesktopRecent(dir.filePath(QStringLiteral("plain.txt")).toStdString(),
                                           list.toStdString()));
    xbel = readAll(list);
    EXPECT_TRUE(xbel.contains("file:///home/u/notes.txt"));
    EXPECT_TRUE(xbel.contains("name=\"gedit\""));
    EXPECT_EQ(xbel.count("%E2%84%961.PRN\""), 1);
    EXPECT_TRUE(xbel.contains("mime-type type=\"text/plain\""));
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("share"))).entryList(QDir::Files | QDir::Hidden) ==
                QStringList{QStringLiteral("recently-used.xbel")})
        << "no temporary file left beside the list";
}

TEST(DesktopRecent, LeavesAListItCannotReadAndRefusesRelativePaths) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString list = dir.filePath(QStringLiteral("recently-used.xbel"));
    QFile f(list);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<xbel version=\"1.0\"><bookmark href=");  // cut short by a crash
    f.close();
    EXPECT_FALSE(folvek::addToDesktopRecent("/tmp/report.prn", list.toStdString()));
    EXPECT_EQ(readAll(list), QByteArray("<xbel version=\"1.0\"><bookmark href="));

    const QString fresh = dir.filePath(QStringLiteral("fresh.xbel"));
    EXPECT_FALSE(folvek::addToDesktopRecent("report.prn", fresh.toStdString()));
    EXPECT_FALSE(QFile::exists(fresh));
}

TEST(DesktopRecent, TheListLivesInTheUsersDataDirectory) {
    const QByteArray old = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/srv/data");
    EXPECT_EQ(folvek::desktopRecentListPath(), "/srv/data/recently-used.xbel");
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(folvek::desktopRecentListPath(),
              qgetenv("HOME").toStdString() + "/.local/share/recently-used.xbel");
    qputenv("XDG_DATA_HOME", old);
}

}  // namespace
