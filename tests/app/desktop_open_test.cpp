// Help, the maker's web page and mail address through xdg-open: a failing or missing opener is
// told to the user with the path or the address.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTest>

#include "app_fixture.h"
#include "command_ids.h"
#include "dialog_hooks.h"
#include "document/test_support.h"
#include "help_viewer.h"
#include "report_view.h"

using namespace folvek;
using folvek::test::AppTest;

namespace {

// Puts a stand-in xdg-open that notes its argument and exits with `code` first on PATH.
class FakeOpener {
  public:
    FakeOpener(const QString& dir, int code) : oldPath_(qgetenv("PATH")) {
        const QString script = QDir(dir).filePath(QStringLiteral("bin/xdg-open"));
        QDir().mkpath(QDir(dir).filePath(QStringLiteral("bin")));
        QFile f(script);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("#!/bin/sh\necho \"$1\" >> '%1/opened'\nexit %2\n")
                    .arg(dir)
                    .arg(code)
                    .toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", (QDir(dir).filePath(QStringLiteral("bin")) + ":").toUtf8() + oldPath_);
    }
    ~FakeOpener() { qputenv("PATH", oldPath_); }

  private:
    QByteArray oldPath_;
};

class DesktopOpenTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        dialogHooks().messages = &messages;
    }
    void TearDown() override {
        dialogHooks().messages = nullptr;
        AppTest::TearDown();
    }
    QString opened() const {
        QFile f(dir.filePath(QStringLiteral("opened")));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    coretest::MessageRecorder messages;
};

}  // namespace

TEST_F(DesktopOpenTest, AFailingOpenerIsReportedWithTheAddressOrThePath) {
    FakeOpener opener(dir.path(), 4);
    start(false);
    view()->runCommand(CmWebSite);
    QTRY_COMPARE(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "!!!");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Error);
    const QString web = QString::fromStdString(messages.shown[0].text);
    EXPECT_TRUE(web.startsWith(QStringLiteral("Не удалось открыть веб-страницу.\n")))
        << web.toStdString();
    EXPECT_TRUE(web.contains(QStringLiteral("https://"))) << web.toStdString();
    EXPECT_TRUE(web.contains(QStringLiteral("4"))) << web.toStdString();

    view()->runCommand(CmHelp);
    QTRY_COMPARE(messages.shown.size(), 2u);
    const QString help = QString::fromStdString(messages.shown[1].text);
    EXPECT_TRUE(help.startsWith(QStringLiteral("Не удалось открыть справку.\n")))
        << help.toStdString();
    EXPECT_TRUE(help.contains(QStringLiteral("help/index.html"))) << help.toStdString();

    view()->runCommand(CmMailAuthor);
    QTRY_COMPARE(messages.shown.size(), 3u);
    EXPECT_TRUE(QString::fromStdString(messages.shown[2].text).contains(QStringLiteral("mailto:")));
}

TEST_F(DesktopOpenTest, AnOpenerThatSucceedsShowsNothing) {
    FakeOpener opener(dir.path(), 0);
    start(false);
    view()->runCommand(CmHelp);
    view()->runCommand(CmWebSite);
    QTRY_VERIFY(opened().count(QLatin1Char('\n')) == 2);
    EXPECT_TRUE(opened().contains(QStringLiteral("/help/index.html"))) << opened().toStdString();
    QTest::qWait(100);
    EXPECT_TRUE(messages.shown.empty());
}

// A page of the help asked for at a place reaches the opener with its anchor: a plain path
// would open it at its top.
TEST_F(DesktopOpenTest, AHelpTopicReachesTheOpenerWithItsAnchor) {
    FakeOpener opener(dir.path(), 0);
    start(false);
    openHelp(HelpGoToPage, nullptr);
    QTRY_VERIFY(opened().count(QLatin1Char('\n')) == 1);
    const QString sent = opened().trimmed();
    EXPECT_TRUE(sent.startsWith(QStringLiteral("file:///"))) << sent.toStdString();
    EXPECT_TRUE(sent.endsWith(QLatin1Char('#') + helpUrl(HelpGoToPage).fragment()))
        << sent.toStdString();
    EXPECT_TRUE(helpUrl(HelpGoToPage).hasFragment());
}

// Each topic a dialog asks for opens its own page of the shipped help, at its anchor; a topic
// the help does not know opens the contents.
TEST(HelpTopics, EachTopicOpensItsOwnPage) {
    EXPECT_TRUE(helpUrl(HelpParameters).path().endsWith(QStringLiteral("/help/parameters.html")))
        << helpUrl(HelpParameters).toString().toStdString();
    EXPECT_TRUE(helpUrl(HelpPages).path().endsWith(QStringLiteral("/help/commands.html")));
    EXPECT_EQ(helpUrl(HelpPages).fragment(), QStringLiteral("view"));
    EXPECT_TRUE(helpUrl(HelpContents).path().endsWith(QStringLiteral("/help/index.html")));
    EXPECT_FALSE(helpUrl(HelpContents).hasFragment());
    EXPECT_TRUE(helpUrl(999).path().endsWith(QStringLiteral("/help/index.html")));
}
