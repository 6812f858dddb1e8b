// folvek-print's outputs follow the rules of every file the program writes: -o - is standard
// output, a device node stays a device, a directory is an error, and a link planted in a
// shared --png folder is not followed to another user's file. Device nodes are made with mknod
// in a scratch folder and the unprivileged case runs as nobody (both need root: skipped
// otherwise).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const QString kTool = QStringLiteral(FOLVEK_BINARY_DIR "/src/cli/folvek-print");
const QString kReport = QStringLiteral(FOLVEK_SOURCE_DIR "/samples/warehouse-866.prn");

struct ToolResult {
    int code = -1;
    QByteArray out, err;
};

ToolResult runTool(const QString& program, const QStringList& args, const QString& home) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FOLVEK_HOME"), home);
    p.setProcessEnvironment(env);
    p.start(program, args);
    ToolResult r;
    if (!p.waitForFinished(120000)) return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

TEST(FolvekPrintOutputs, DashIsStandardOutputAndADeviceStaysADevice) {
    QTemporaryDir home;
    const ToolResult piped =
        runTool(kTool, {kReport, QStringLiteral("-o"), QStringLiteral("-")}, home.path());
    ASSERT_EQ(piped.code, 0) << piped.err.toStdString();
    EXPECT_TRUE(piped.out.startsWith("%PDF-"));
    EXPECT_TRUE(piped.out.trimmed().endsWith("%%EOF"));
    EXPECT_TRUE(QDir(home.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

    const ToolResult both = runTool(
        kTool, {kReport, QStringLiteral("--info"), QStringLiteral("-o"), QStringLiteral("-")},
        home.path());
    EXPECT_EQ(both.code, 2);  // two writers on one standard output

    const ToolResult folder =
        runTool(kTool, {kReport, QStringLiteral("-o"), home.path()}, home.path());
    EXPECT_EQ(folder.code, 1);
    EXPECT_TRUE(folder.err.contains("directory")) << folder.err.toStdString();

    const QByteArray null = QFile::encodeName(home.filePath(QStringLiteral("mynull")));
    if (::mknod(null.constData(), S_IFCHR | 0666, ::makedev(1, 3)) != 0)
        GTEST_SKIP() << "mknod of a character device needs root";
    for (const char* engine : {"--engine=direct", "--engine=qt"}) {
        const ToolResult r = runTool(
            kTool,
            {kReport, QString::fromLatin1(engine), QStringLiteral("-o"), QFile::decodeName(null)},
            home.path());
        EXPECT_EQ(r.code, 0) << engine << r.err.toStdString();
        struct stat st {};
        ASSERT_EQ(::lstat(null.constData(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode)) << engine;
    }
}

TEST(FolvekPrintOutputs, APngFolderDoesNotFollowALinkToAnotherUsersFile) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to run the tool as nobody";
    QTemporaryDir shared;
    ::chmod(QFile::encodeName(shared.path()).constData(), 0777);
    const QString victim = shared.filePath(QStringLiteral("victim.txt"));
    QFile v(victim);
    ASSERT_TRUE(v.open(QIODevice::WriteOnly));
    v.write("root's file");
    v.close();
    ::chmod(QFile::encodeName(victim).constData(), 0666);  // writable, yet not nobody's to replace
    const QString png = shared.filePath(QStringLiteral("png"));
    ASSERT_TRUE(QDir().mkpath(png));
    ::chmod(QFile::encodeName(png).constData(), 0777);
    ASSERT_TRUE(QFile::link(victim, png + QStringLiteral("/page-0001.png")));

    const ToolResult r =
        runTool(QStringLiteral("runuser"),
                {QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"), kTool,
                 kReport, QStringLiteral("--png"), png},
                shared.path());
    if (r.code == -1 || r.err.contains("runuser:")) GTEST_SKIP() << r.err.toStdString();
    EXPECT_EQ(r.code, 1) << r.err.toStdString();
    ASSERT_TRUE(v.open(QIODevice::ReadOnly));
    EXPECT_EQ(v.readAll(), "root's file");
    EXPECT_TRUE(QFileInfo(png + QStringLiteral("/page-0001.png")).isSymLink());
}

}  // namespace
