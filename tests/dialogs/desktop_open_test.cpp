// Opening help and addresses with the desktop: without xdg-open on the path Qt is asked and its
// failure is told; with one, the help page goes to it and nothing is reported.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <string>
#include <vector>

#include "desktop_open.h"
#include "help_viewer.h"

using namespace folvek;

namespace {

// PATH holds only `dir`/bin for the test's length, with an xdg-open there if `code` >= 0 that
// notes its argument in `dir`/opened and exits with `code`.
class OnlyPath {
  public:
    OnlyPath(const QString& dir, int code) : oldPath_(qgetenv("PATH")) {
        const QString bin = QDir(dir).filePath(QStringLiteral("bin"));
        QDir().mkpath(bin);
        if (code >= 0) {
            QFile f(QDir(bin).filePath(QStringLiteral("xdg-open")));
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(QStringLiteral("#!/bin/sh\necho \"$1\" >> '%1/opened'\nexit %2\n")
                        .arg(dir)
                        .arg(code)
                        .toUtf8());
            f.close();
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PATH", bin.toUtf8());
    }
    ~OnlyPath() { qputenv("PATH", oldPath_); }

  private:
    QByteArray oldPath_;
};

}  // namespace

TEST(DesktopOpen, WithoutXdgOpenAFailureOfQtsOwnWayIsTold) {
    QTemporaryDir dir;
    std::vector<std::string> told;
    {
        OnlyPath path(dir.path(), -1);
        openWithDesktop(QUrl(QStringLiteral("folvek-test://nowhere")),
                        QStringLiteral("Не удалось открыть веб-страницу."),
                        [&told](const std::string& text) { told.push_back(text); });
    }
    ASSERT_EQ(told.size(), 1u);
    const QString text = QString::fromStdString(told[0]);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Не удалось открыть веб-страницу."))) << told[0];
    EXPECT_TRUE(text.contains(QStringLiteral("folvek-test://nowhere"))) << told[0];
    EXPECT_TRUE(text.contains(QStringLiteral("Не найдена программа xdg-open (xdg-utils).")))
        << told[0];
}

TEST(DesktopOpen, AHelpPageFoundGoesToTheOpenerAndNothingIsTold) {
    QTemporaryDir dir;
    std::vector<std::string> told;
    OnlyPath path(dir.path(), 0);
    ASSERT_TRUE(helpUrl(HelpParameters).isValid())
        << "the help pages are not where tests find them";
    EXPECT_TRUE(
        openHelp(HelpParameters, [&told](const std::string& text) { told.push_back(text); }));
    QFile opened(dir.filePath(QStringLiteral("opened")));
    QTRY_VERIFY_WITH_TIMEOUT(opened.exists() && opened.size() > 0, 5000);
    ASSERT_TRUE(opened.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(opened.readAll()).contains(QStringLiteral("parameters.html")));
    QTest::qWait(50);  // the opener's end is seen
    EXPECT_TRUE(told.empty()) << (told.empty() ? std::string() : told[0]);
}

// What the opener is given: a local file as its path, a local file with an anchor and any web
// address as the address itself.
TEST(DesktopOpen, AFileGoesAsItsPathAndAnAddressOrAnAnchorAsTheAddress) {
    QTemporaryDir dir;
    OnlyPath path(dir.path(), 0);
    const QString file = dir.filePath(QStringLiteral("guide page.html"));
    const QUrl urls[] = {QUrl::fromLocalFile(file),
                         QUrl(QUrl::fromLocalFile(file).toString() + QStringLiteral("#keys")),
                         QUrl(QStringLiteral("https://example.org/report?id=7"))};
    std::vector<std::string> told;
    for (const QUrl& url : urls)
        openWithDesktop(url, QStringLiteral("Не удалось открыть."),
                        [&told](const std::string& text) { told.push_back(text); });
    const auto openedLines = [&dir] {
        QFile opened(dir.filePath(QStringLiteral("opened")));
        if (!opened.open(QIODevice::ReadOnly)) return QStringList();
        return QString::fromUtf8(opened.readAll()).split(u'\n', Qt::SkipEmptyParts);
    };
    for (int waited = 0; openedLines().size() < 3 && waited < 5000; waited += 20) QTest::qWait(20);
    QStringList lines = openedLines();
    lines.sort();  // the openers run at once
    const QStringList want{
        QStringLiteral("file://") + QUrl::toPercentEncoding(file, "/") + QStringLiteral("#keys"),
        file, QStringLiteral("https://example.org/report?id=7")};
    QStringList sorted = want;
    sorted.sort();
    EXPECT_EQ(lines, sorted);
    QTest::qWait(50);
    EXPECT_TRUE(told.empty()) << (told.empty() ? std::string() : told[0]);
}
