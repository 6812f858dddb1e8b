// The viewer's --help and --version, and Qt's Russian texts in the standard dialogs.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>

#include "program_info.h"
#include "qt_translations.h"

using namespace folvek;

namespace {

struct ViewerRun {
    int code = -1;
    QString out;
    QString err;
};

// The real program, without a display: --help and --version must not need one.
ViewerRun runViewer(const QStringList& args) {
    QTemporaryDir home;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("FOLVEK_HOME"), home.path());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(FOLVEK_BINARY_DIR "/src/app/folvek"), args);
    ViewerRun r;
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

}  // namespace

TEST(ProgramInfo, HelpAndVersionAreAnsweredWithoutOpeningAWindow) {
    const ViewerRun help = runViewer({QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: folvek"))) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(QStringLiteral("/mN"))) << help.out.toStdString();

    const ViewerRun version =
        runViewer({QStringLiteral("-platform"), QStringLiteral("offscreen"),
                   QStringLiteral("report.txt"), QStringLiteral("--version")});
    EXPECT_EQ(version.code, 0) << version.err.toStdString();
    EXPECT_EQ(version.out, QStringLiteral("folvek 2.12\n"));
}

// A command line the program refuses ends it with status 2 and the reason, before any window
// or job: an unattended run must not wait on a box.
TEST(ProgramInfo, ARefusedCommandLineEndsWithStatusTwoAndItsReason) {
    QTemporaryDir home;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("FOLVEK_HOME"), home.path());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(FOLVEK_BINARY_DIR "/src/app/folvek"), {QStringLiteral("/m5000")});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 2);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_TRUE(err.contains(QStringLiteral("folvek: /m5000: не более 999 копий")))
        << err.toStdString();
}

TEST(ProgramInfo, QtOptionValuesAndDocumentsAreNotTakenForRequests) {
    auto ask = [](std::vector<const char*> args) {
        args.insert(args.begin(), "folvek");
        return infoRequested(static_cast<int>(args.size()), args.data());
    };
    EXPECT_EQ(ask({"-h"}), InfoRequest::Help);
    EXPECT_EQ(ask({"/m2", "r.txt", "--version"}), InfoRequest::Version);
    EXPECT_EQ(ask({"r.txt", "/ireport.ini"}), InfoRequest::None);
    // "-title --help" names the window "--help"; "./--help" is a document.
    EXPECT_EQ(ask({"-title", "--help", "./--help"}), InfoRequest::None);
    EXPECT_EQ(ask({"--style=fusion", "--help"}), InfoRequest::Help);
}

TEST(QtTranslations, StandardButtonsAndDialogsSpeakRussian) {
    QTranslator* t = installQtTranslations(*QCoreApplication::instance());
    if (!t) GTEST_SKIP() << "Qt's Russian catalogue (qt6-translations-l10n) is not installed";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Да"));
    EXPECT_NE(QCoreApplication::translate("QFontDialog", "Select Font"),
              QStringLiteral("Select Font"));
    // The other tests expect Qt's own English texts.
    QCoreApplication::removeTranslator(t);
    delete t;
}
