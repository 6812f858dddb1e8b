// folvek-print end to end: the built tool on the sample reports, its PDF checked with poppler.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>

namespace {

const QString kTool = QStringLiteral(FOLVEK_BINARY_DIR "/src/cli/folvek-print");
const QString kWarehouse = QStringLiteral(FOLVEK_SOURCE_DIR "/samples/warehouse-866.prn");

struct ToolRun {
    int code = -1;
    QString out, err;
};

class FolvekPrint : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        ASSERT_TRUE(QFile::exists(kTool)) << kTool.toStdString();
    }

    ToolRun run(const QString& program, const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("FOLVEK_HOME"), home_.path());  // no user settings
        // Messages in English, whatever this machine's locale.
        env.remove(QStringLiteral("LC_ALL"));
        env.remove(QStringLiteral("LANGUAGE"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        p.setProcessEnvironment(env);
        p.start(program, args);
        ToolRun r;
        if (!p.waitForFinished(120000)) return r;
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    ToolRun tool(const QStringList& args) { return run(kTool, args); }
    QString path(const QString& name) const { return home_.filePath(name); }

    QTemporaryDir home_;
};

TEST_F(FolvekPrint, PdfHasThePagesAndRealText) {
    const ToolRun info = tool({QStringLiteral("--info"), QStringLiteral("--dos"), kWarehouse});
    ASSERT_EQ(info.code, 0) << info.err.toStdString();
    const int pages = QJsonDocument::fromJson(info.out.toUtf8()).object()["pageCount"].toInt();
    ASSERT_GE(pages, 2);

    const QString pdf = path(QStringLiteral("w.pdf"));
    const ToolRun r = tool({QStringLiteral("--dos"), kWarehouse, QStringLiteral("-o"), pdf});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();

    const ToolRun meta = run(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_EQ(meta.code, 0);
    EXPECT_TRUE(meta.out.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages))))
        << meta.out.toStdString();
    EXPECT_TRUE(meta.out.contains(QStringLiteral("595 x 842 pts")));  // A4

    const ToolRun text = run(QStringLiteral("pdftotext"),
                             {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                              QStringLiteral("1"), pdf, QStringLiteral("-")});
    ASSERT_EQ(text.code, 0);
    // The heading of the report's first page, converted from code page 866.
    EXPECT_TRUE(text.out.contains(QStringLiteral("ВЕДОМОСТЬ ОСТАТКОВ"))) << text.out.toStdString();
    EXPECT_TRUE(text.out.contains(QStringLiteral("Наименование")));
    // Table frames are drawn as lines, never as characters.
    for (QChar c : QStringLiteral("─│┌┐└┘├┤┬┴┼═║╔╗╚╝╠╣╦╩╬+|"))
        EXPECT_FALSE(text.out.contains(c)) << QString(c).toStdString();

    const ToolRun fonts = run(QStringLiteral("pdffonts"), {pdf});
    EXPECT_TRUE(fonts.out.contains(QStringLiteral("LiberationMono"))) << fonts.out.toStdString();
    EXPECT_FALSE(fonts.out.contains(QStringLiteral(" no  no "))) << "fonts are embedded";
}

TEST_F(FolvekPrint, AUtf8ReportWithDoubleFramesPrintsItsTextAndNoBoxGlyph) {
    const QString doc = path(QStringLiteral("u.txt"));
    {
        QFile f(doc);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(
            QStringLiteral("╔══════╤══╗\n║Итого │12║\n╚══════╧══╝\nВедомость остатков\n").toUtf8());
    }
    const ToolRun info = tool({QStringLiteral("--info"), doc});
    ASSERT_EQ(info.code, 0) << info.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(info.out.toUtf8()).object();
    EXPECT_EQ(o["encoding"].toString(), QStringLiteral("UTF-8"));
    EXPECT_TRUE(o["encodingDetected"].toBool());
    const QString pdf = path(QStringLiteral("u.pdf"));
    ASSERT_EQ(tool({doc, QStringLiteral("-o"), pdf}).code, 0);
    const ToolRun text = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_EQ(text.code, 0);
    EXPECT_TRUE(text.out.contains(QStringLiteral("Итого"))) << text.out.toStdString();
    EXPECT_TRUE(text.out.contains(QStringLiteral("Ведомость остатков")));
    for (QChar c : QStringLiteral("─│═║╔╗╚╝╤╧+|=?"))
        EXPECT_FALSE(text.out.contains(c)) << QString(c).toStdString();
    // Fixed the other way, the same bytes are 1251 text.
    const ToolRun fixed = tool(
        {QStringLiteral("--info"), QStringLiteral("--encoding"), QStringLiteral("cp1251"), doc});
    EXPECT_EQ(QJsonDocument::fromJson(fixed.out.toUtf8()).object()["encoding"].toString(),
              QStringLiteral("1251"));
    EXPECT_NE(
        tool({QStringLiteral("--info"), QStringLiteral("--encoding"), QStringLiteral("cp437"), doc})
            .code,
        0);
}

TEST_F(FolvekPrint, InfoFollowsPaperAndOrientation) {
    const ToolRun portrait = tool({QStringLiteral("--info"), kWarehouse});
    const ToolRun landscape = tool({QStringLiteral("--info"), QStringLiteral("--landscape"),
                                    QStringLiteral("--paper"), QStringLiteral("a3"), kWarehouse});
    ASSERT_EQ(portrait.code, 0);
    ASSERT_EQ(landscape.code, 0);
    const QJsonObject p = QJsonDocument::fromJson(portrait.out.toUtf8()).object();
    const QJsonObject l = QJsonDocument::fromJson(landscape.out.toUtf8()).object();
    for (const char* key : {"pageCount", "linesPerPage", "charsPerLine", "lineHeight", "charWidth",
                            "pageWidth", "pageHeight", "pageWidthMm", "pageHeightMm"})
        EXPECT_TRUE(p.contains(QLatin1String(key))) << key;
    // A4 less 5 mm all round: 200 x 287 mm, 7.8 x 11.2 inches; Courier New 13 gives 7.8 units.
    EXPECT_DOUBLE_EQ(p["pageWidthMm"].toDouble(), 200.0);
    EXPECT_EQ(p["pageWidth"].toInt(), 78);
    EXPECT_EQ(p["pageHeight"].toInt(), 112);
    EXPECT_NEAR(p["charWidth"].toDouble(), 7.8, 0.05);
    // A3 landscape: 410 x 287 mm.
    EXPECT_DOUBLE_EQ(l["pageWidthMm"].toDouble(), 410.0);
    EXPECT_EQ(l["pageWidth"].toInt(), 161);
    EXPECT_GT(l["charsPerLine"].toInt(), p["charsPerLine"].toInt());
}

TEST_F(FolvekPrint, BareIniNamesLiveInTheSettingsDirectory) {
    QFile ini(path(QStringLiteral("wide.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Folvk]\r\nOrient=1\r\n");
    ini.close();
    auto width = [&](const QStringList& extra) {
        QStringList args{QStringLiteral("--info"), kWarehouse};
        args += extra;
        const ToolRun r = tool(args);
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        return QJsonDocument::fromJson(r.out.toUtf8()).object()["pageWidth"].toInt();
    };
    EXPECT_EQ(width({}), 78);
    EXPECT_EQ(width({QStringLiteral("--ini"), QStringLiteral("wide.ini")}), 112);
    // A forced orientation wins over the settings file.
    EXPECT_EQ(
        width({QStringLiteral("--ini"), QStringLiteral("wide.ini"), QStringLiteral("--portrait")}),
        78);
}

TEST_F(FolvekPrint, PngPagesForARange) {
    const QString dir = path(QStringLiteral("png"));
    const ToolRun r = tool({kWarehouse, QStringLiteral("--dos"), QStringLiteral("--png"), dir,
                            QStringLiteral("--pages"), QStringLiteral("2-3"),
                            QStringLiteral("--dpi"), QStringLiteral("50")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(QDir(dir).entryList(QDir::Files),
              (QStringList{QStringLiteral("page-0002.png"), QStringLiteral("page-0003.png")}));
    const QImage img(QDir(dir).filePath(QStringLiteral("page-0002.png")));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.size(), QSize(413, 585));  // A4 at 50 dpi
    EXPECT_EQ(img.pixel(2, 2), qRgb(255, 255, 255));
    int dark = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) dark += qGray(img.pixel(x, y)) < 128;
    EXPECT_GT(dark, 1000) << "the page has text and frames";
}

TEST_F(FolvekPrint, SvgKeepsTheText) {
    const QString dir = path(QStringLiteral("svg"));
    const ToolRun r = tool({kWarehouse, QStringLiteral("--dos"), QStringLiteral("--svg"), dir,
                            QStringLiteral("--pages"), QStringLiteral("1")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QFile svg(QDir(dir).filePath(QStringLiteral("page-0001.svg")));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(svg.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("ВЕДОМОСТЬ")));
    EXPECT_TRUE(text.contains(QStringLiteral("Liberation Mono")));
}

TEST_F(FolvekPrint, FailuresExitNonZeroWithAMessage) {
    const ToolRun missing = tool(
        {path(QStringLiteral("no-such.txt")), QStringLiteral("-o"), path(QStringLiteral("x.pdf"))});
    EXPECT_NE(missing.code, 0);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("no-such.txt"))) << missing.err.toStdString();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("x.pdf"))));

    const ToolRun badOption = tool({QStringLiteral("--frobnicate"), kWarehouse});
    EXPECT_EQ(badOption.code, 2);
    EXPECT_TRUE(badOption.err.contains(QStringLiteral("--frobnicate")));

    const ToolRun badRange = tool(
        {kWarehouse, QStringLiteral("--pages"), QStringLiteral("5-2"), QStringLiteral("--info")});
    EXPECT_EQ(badRange.code, 2);

    const ToolRun pastEnd = tool({kWarehouse, QStringLiteral("--pages"), QStringLiteral("999"),
                                  QStringLiteral("-o"), path(QStringLiteral("y.pdf"))});
    EXPECT_NE(pastEnd.code, 0);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("y.pdf"))));

    const ToolRun unwritable =
        tool({kWarehouse, QStringLiteral("-o"), path(QStringLiteral("no-dir/z.pdf"))});
    EXPECT_NE(unwritable.code, 0);
    EXPECT_TRUE(unwritable.err.contains(QStringLiteral("z.pdf")));

    const ToolRun nothing = tool({kWarehouse});
    EXPECT_EQ(nothing.code, 2);
}

TEST_F(FolvekPrint, ReportedErrorsMakeTheJobFailEvenWithPagesWritten) {
    auto withSettings = [&](const char* name, const char* body) {
        QFile ini(path(QString::fromLatin1(name)));
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(body);
        ini.close();
        return tool({QStringLiteral("--ini"), QString::fromLatin1(name), kWarehouse,
                     QStringLiteral("-o"), path(QStringLiteral("out.pdf"))});
    };
    const ToolRun picture =
        withSettings("pic.ini", "[Folvk]\r\nIsTopPicture=YES\r\nTopFile=/no/such/logo.bmp\r\n");
    EXPECT_EQ(picture.code, 3) << picture.err.toStdString();
    EXPECT_FALSE(picture.err.isEmpty());
    const ToolRun margins = withSettings("tall.ini", "[Folvk]\r\nTopMargin=20000\r\n");
    EXPECT_EQ(margins.code, 3) << margins.err.toStdString();
    EXPECT_TRUE(margins.err.contains(QStringLiteral("folvek-print: the margins are too large")))
        << margins.err.toStdString();
    // The same report with sound settings succeeds.
    EXPECT_EQ(withSettings("plain.ini", "[Folvk]\r\n").code, 0);

    const ToolRun help = tool({QStringLiteral("--help")});
    EXPECT_TRUE(help.out.contains(QStringLiteral("Exit status:")));
    EXPECT_TRUE(help.out.contains(QStringLiteral("  3  ")));
}

// The job is stopped where it is most dangerous: its copy of standard input made, the PDF's
// temporary file created beside the old PDF. Then it is killed.
TEST_F(FolvekPrint, AJobKilledMidExportLeavesNoFileBehindAndTheOldPdfAsItWas) {
    const QString tmp = path(QStringLiteral("tmp")), out = path(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(tmp) && QDir().mkpath(out));
    QFile old(out + QStringLiteral("/r.pdf"));
    auto writeOld = [&] {
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("%PDF-1.4 the old one");
        old.close();
    };
    // Qt may make its runtime folder in TMPDIR; only what the job makes counts.
    auto listing = [](const QString& dir) {
        QStringList names =
            QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        names.removeIf([](const QString& n) { return n.startsWith(QStringLiteral("runtime-")); });
        return names;
    };
    QFile report(kWarehouse);
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    const QByteArray job = report.readAll();

    for (const int sig : {SIGTERM, SIGINT, SIGHUP, SIGKILL}) {
        SCOPED_TRACE(sig);
        // Each round starts clean, whatever the last one left.
        for (const QString& dir : {tmp, out})
            ASSERT_TRUE(QDir(dir).removeRecursively() && QDir().mkpath(dir));
        writeOld();
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("FOLVEK_HOME"), home_.path());
        env.insert(QStringLiteral("TMPDIR"), tmp);
        env.insert(QStringLiteral("FOLVEK_TEST"), QStringLiteral("1"));
        env.insert(QStringLiteral("FOLVEK_TEST_PAUSE_AT"), QStringLiteral("pdf-temp"));
        p.setProcessEnvironment(env);
        p.setReadChannel(QProcess::StandardError);
        // From standard input: the job's copy is one more file to leave behind.
        p.start(kTool, {QStringLiteral("--dos"), QStringLiteral("-"), QStringLiteral("-o"),
                        out + QStringLiteral("/r.pdf")});
        ASSERT_TRUE(p.waitForStarted());
        p.write(job);
        p.closeWriteChannel();
        QByteArray said;
        while (!said.contains("paused at pdf-temp") && p.waitForReadyRead(60000))
            said += p.readAllStandardError();
        ASSERT_TRUE(said.contains("paused at pdf-temp")) << said.toStdString();
        ASSERT_EQ(listing(out).size(), 2) << "the PDF's temporary file beside the old one";
        ASSERT_EQ(listing(tmp).size(), 1) << "the job's folder";
        ::kill(static_cast<pid_t>(p.processId()), sig);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitStatus(), QProcess::CrashExit);
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), "%PDF-1.4 the old one");
        old.close();
        if (sig == SIGKILL) {
            // Nothing can clean up after -9; the next job does, since their maker is gone.
            EXPECT_EQ(listing(out).size(), 2);
            QProcess again;
            env.remove(QStringLiteral("FOLVEK_TEST_PAUSE_AT"));
            again.setProcessEnvironment(env);
            again.start(kTool, {QStringLiteral("--dos"), QStringLiteral("-"), QStringLiteral("-o"),
                                out + QStringLiteral("/r.pdf")});
            again.write(job);
            again.closeWriteChannel();
            ASSERT_TRUE(again.waitForFinished(60000));
            EXPECT_EQ(again.exitCode(), 0) << again.readAllStandardError().toStdString();
        }
        EXPECT_EQ(listing(out), QStringList{"r.pdf"});
        EXPECT_TRUE(listing(tmp).isEmpty()) << listing(tmp).join(' ').toStdString();
    }
}

TEST_F(FolvekPrint, HelpAndVersion) {
    const ToolRun help = tool({QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--png DIR")));
    const ToolRun version = tool({QStringLiteral("--version")});
    EXPECT_EQ(version.code, 0);
    EXPECT_TRUE(version.out.startsWith(QStringLiteral("folvek-print ")));
}

}  // namespace
