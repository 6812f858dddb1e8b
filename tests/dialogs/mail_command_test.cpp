// Sending by e-mail: the arguments xdg-email gets, the Windows-encoding offer in front of it,
// and the reports when the mail program fails. A stand-in xdg-email on PATH records its
// arguments, one a line.
#include <QDir>
#include <QFile>
#include <QWidget>

#include "dialogs_test_support.h"
#include "document_record.h"
#include "mail_command.h"
#include "string_table.h"

namespace folvek::test {
namespace {

class MailTest : public DialogsTest {
  protected:
    void SetUp() override {
        DialogsTest::SetUp();
        oldPath = qgetenv("PATH");
        const QString bin = dir.path() + QStringLiteral("/bin");
        QDir().mkpath(bin);
        QFile script(bin + QStringLiteral("/xdg-email"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(
            "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$FOLVEK_MAIL_LOG\"; done\n"
            "exit ${FOLVEK_MAIL_EXIT:-0}\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        log = dirPath() + "mail.log";
        qputenv("FOLVEK_MAIL_LOG", QByteArray::fromStdString(log));
        qunsetenv("FOLVEK_MAIL_EXIT");
        qputenv("PATH", (bin + QStringLiteral(":")).toUtf8() + oldPath);
    }
    void TearDown() override {
        qputenv("PATH", oldPath);
        DialogsTest::TearDown();
    }
    std::string sent() const { return readFile(log); }

    QByteArray oldPath;
    std::string log;
};

TEST(MailArguments, SubjectAttachmentAndRecipientOnlyWhenGiven) {
    using Args = std::vector<std::string>;
    const Args base{"--subject", "REPORT.TXT", "--attach", "/data/REPORT.TXT"};
    EXPECT_EQ(mailArguments("/data/REPORT.TXT", std::nullopt), base);
    EXPECT_EQ(mailArguments("/data/REPORT.TXT", std::string()), base);
    Args withRecipient = base;
    withRecipient.push_back("a@b.ru");
    EXPECT_EQ(mailArguments("/data/REPORT.TXT", std::string("a@b.ru")), withRecipient);
    EXPECT_EQ(mailArguments("REPORT.TXT", std::nullopt)[1], "REPORT.TXT");
}

TEST_F(MailTest, TheDocumentGoesToXdgEmailWithTheRecipient) {
    const std::string path = writeFile("r p.txt", "abc");
    DocumentCommandContext ctx = context(path, false);
    ctx.eValue = "boss@example.com";
    QWidget owner;
    ctx.owner = &owner;
    EXPECT_EQ(sendDocumentByMail(ctx), MailOutcome::Sent);
    EXPECT_EQ(sent(), "--subject\nr p.txt\n--attach\n" + path + "\nboss@example.com\n");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(owner.isEnabled());
}

// "Отчет.txt" in CP1251, as a Windows disk names it: not UTF-8, yet sent byte for byte.
TEST_F(MailTest, APathThatIsNotUtf8ReachesXdgEmailUnchanged) {
    const std::string name = "\xCE\xF2\xF7\xE5\xF2.txt";
    const std::string path = writeFile(name, "abc");
    DocumentCommandContext ctx = context(path, false);
    EXPECT_EQ(sendDocumentByMail(ctx), MailOutcome::Sent);
    EXPECT_EQ(sent(), "--subject\n" + name + "\n--attach\n" + path + "\n");
}

TEST_F(MailTest, NoOrEmptyEValueMeansNoRecipient) {
    const std::string path = writeFile("a.txt", "abc");
    for (std::optional<std::string> e :
         {std::optional<std::string>(), std::optional<std::string>("")}) {
        QFile::remove(QString::fromStdString(log));
        DocumentCommandContext ctx = context(path, false);
        ctx.eValue = e;
        EXPECT_EQ(sendDocumentByMail(ctx), MailOutcome::Sent);
        EXPECT_EQ(sent(), "--subject\na.txt\n--attach\n" + path + "\n");
    }
}

TEST_F(MailTest, ADosFileIsOfferedForRewritingFirst) {
    const std::string path = writeFile("dos.txt", kDosHello);
    {
        DocumentCommandContext ctx = context(path, true);
        messages.answer(MsgAnswer::Cancel);
        EXPECT_EQ(sendDocumentByMail(ctx), MailOutcome::Cancelled);
        EXPECT_EQ(sent(), "");
        EXPECT_EQ(messages.shown.back().text, loadString(StrRewriteInWindows));
    }
    {
        DocumentCommandContext ctx = context(path, true);
        messages.answer(MsgAnswer::No);
        EXPECT_EQ(sendDocumentByMail(ctx), MailOutcome::Sent);
        EXPECT_EQ(readFile(path), kDosHello);
        EXPECT_EQ(doc->IsDos, 1);
        EXPECT_NE(sent(), "");
    }
    {
        QFile::remove(QString::fromStdString(log));
        DocumentCommandContext ctx = context(path, true);
        messages.answer(MsgAnswer::Yes);
        EXPECT_EQ(sendDocumentByMail(ctx), MailOutcome::Sent);
        EXPECT_EQ(readFile(path), kWinHello);
        EXPECT_EQ(doc->IsDos, 0);
        EXPECT_EQ(relayouts, 1);
        EXPECT_EQ(sent(), "--subject\ndos.txt\n--attach\n" + path + "\n");
    }
}

TEST_F(MailTest, AFailingOrMissingMailProgramIsReported) {
    const std::string path = writeFile("a.txt", "abc");
    qputenv("FOLVEK_MAIL_EXIT", "3");
    DocumentCommandContext ctx = context(path, false);
    EXPECT_EQ(sendDocumentByMail(ctx), MailOutcome::Failed);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Error);
    EXPECT_NE(messages.shown[0].text.find("3"), std::string::npos);

    qputenv("PATH", dir.path().toUtf8() + "/nothing-here");
    EXPECT_EQ(sendDocumentByMail(ctx), MailOutcome::NotStarted);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[1].text.find("xdg-email"), std::string::npos);
}

}  // namespace
}  // namespace folvek::test
