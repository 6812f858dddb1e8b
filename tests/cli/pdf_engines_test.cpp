// Our PDF writer against Qt's PDF engine on the sample reports: the same pages as 100 dpi
// images (a pixel of anti-aliasing apart), the same text from pdftotext, a clean qpdf check;
// and folvek-print on a full disk. Needs poppler-utils and qpdf (the set-up installs them).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>

namespace {

const QString kTool = QStringLiteral(FOLVEK_BINARY_DIR "/src/cli/folvek-print");
const QString kSamples = QStringLiteral(FOLVEK_SOURCE_DIR "/samples/");

struct Ran {
    int code = -1;
    QByteArray out, err;
};

class PdfEngines : public ::testing::Test {
  public:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        for (const char* t : {"pdftoppm", "pdftotext", "qpdf"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(t)).isEmpty())
                GTEST_SKIP() << t << " is missing (tools/setup installs it)";
    }
    Ran run(const QString& program, const QStringList& args, const QString& fontConfig = {}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("FOLVEK_HOME"), dir_.path());  // default settings
        if (!fontConfig.isEmpty()) env.insert(QStringLiteral("FONTCONFIG_FILE"), fontConfig);
        p.setProcessEnvironment(env);
        p.start(program, args);
        Ran r;
        if (!p.waitForFinished(120000)) return r;
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }
    QString path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

// Pixels of `a` that are dark or light where `b` has nothing alike within one pixel.
int unmatched(const QImage& a, const QImage& b) {
    int bad = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const int v = qGray(a.pixel(x, y));
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx) {
                    const int u = x + dx, w = y + dy;
                    if (u < 0 || w < 0 || u >= b.width() || w >= b.height()) continue;
                    found = std::abs(qGray(b.pixel(u, w)) - v) <= 64;
                }
            bad += !found;
        }
    return bad;
}

void compareEngines(PdfEngines& t, const QString& sample, const QStringList& options) {
    const QString direct = t.path(QStringLiteral("direct.pdf")),
                  qt = t.path(QStringLiteral("qt.pdf"));
    Ran r = t.run(kTool, QStringList(options) << sample << QStringLiteral("-o") << direct);
    ASSERT_EQ(r.code, 0) << r.err.constData();
    r = t.run(kTool, QStringList(options) << QStringLiteral("--engine") << QStringLiteral("qt")
                                          << sample << QStringLiteral("-o") << qt);
    ASSERT_EQ(r.code, 0) << r.err.constData();

    const Ran check = t.run(QStringLiteral("qpdf"), {QStringLiteral("--check"), direct});
    EXPECT_EQ(check.code, 0) << check.out.constData();
    // Reading order and layout; not -raw, which follows each writer's own order of drawing.
    for (const QString& mode : {QStringLiteral("-nopgbrk"), QStringLiteral("-layout")}) {
        const Ran a = t.run(QStringLiteral("pdftotext"), {mode, direct, QStringLiteral("-")});
        const Ran b = t.run(QStringLiteral("pdftotext"), {mode, qt, QStringLiteral("-")});
        ASSERT_EQ(a.code, 0);
        EXPECT_FALSE(a.out.isEmpty());
        EXPECT_EQ(a.out, b.out) << mode.toStdString();
    }

    for (const QString& pdf : {direct, qt})
        ASSERT_EQ(t.run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("100"),
                                                     QStringLiteral("-png"), pdf, pdf.chopped(4)})
                      .code,
                  0);
    const QStringList pages =
        QDir(t.path(QString()))
            .entryList({QStringLiteral("direct-*.png")}, QDir::Files, QDir::Name);
    ASSERT_FALSE(pages.isEmpty());
    for (const QString& name : pages) {
        const QImage a(t.path(name));
        const QImage b(
            t.path(QString(name).replace(QStringLiteral("direct-"), QStringLiteral("qt-"))));
        ASSERT_FALSE(a.isNull());
        ASSERT_EQ(a.size(), b.size()) << name.toStdString();
        EXPECT_EQ(unmatched(a, b), 0) << name.toStdString();
        EXPECT_EQ(unmatched(b, a), 0) << name.toStdString();
    }
}

TEST_F(PdfEngines, TheDos866ReportLooksAndExtractsAlike) {
    compareEngines(*this, kSamples + QStringLiteral("warehouse-866.prn"),
                   {QStringLiteral("--dos")});
}

TEST_F(PdfEngines, TheWindows1251ReportWithStylesLooksAndExtractsAlike) {
    compareEngines(*this, kSamples + QStringLiteral("ledger-1251.txt"),
                   {QStringLiteral("--windows"), QStringLiteral("--landscape")});
}

TEST_F(PdfEngines, AFullDiskFailsLoudlyAndLeavesTheOldFile) {
    const QString out = path(QStringLiteral("out.pdf"));
    {
        QFile old(out);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the old output");
    }
    // A file-size limit of 16 KB stands in for the disk filling up.
    const Ran r = run(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("ulimit -f 16; exec \"$0\" --dos \"$1\" -o \"$2\""),
         kTool, kSamples + QStringLiteral("warehouse-866.prn"), out});
    EXPECT_NE(r.code, 0);
    EXPECT_TRUE(r.err.contains("cannot write")) << r.err.constData();
    QFile old(out);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("the old output"));
    EXPECT_EQ(QDir(path(QString())).entryList(QDir::Files), QStringList{QStringLiteral("out.pdf")});
}

// fontconfig's cache still lists a face whose file was deleted: the writer says so, takes the
// next match and the job succeeds with its text intact.
TEST_F(PdfEngines, AFontFileThatWentAwayIsPassedOverWithAWarning) {
    const QString fonts = path(QStringLiteral("fonts"));
    ASSERT_TRUE(QDir().mkpath(fonts));
    const QString face = QStringLiteral("/usr/share/fonts/truetype/liberation2/LiberationMono-");
    for (const char* style : {"Regular", "Bold", "Italic"})
        if (!QFile::copy(
                face + QLatin1String(style) + QStringLiteral(".ttf"),
                fonts + QStringLiteral("/") + QLatin1String(style) + QStringLiteral(".ttf")))
            GTEST_SKIP() << "fonts-liberation2 is not installed";
    const QString conf = path(QStringLiteral("fonts.conf"));
    {
        QFile f(conf);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(
            QStringLiteral("<?xml version=\"1.0\"?><fontconfig><dir>%1</dir><cachedir>%2</cachedir>"
                           "<alias><family>Courier New</family><prefer><family>Liberation Mono"
                           "</family></prefer></alias></fontconfig>")
                .arg(fonts, path(QStringLiteral("cache")))
                .toUtf8());
    }
    if (run(QStringLiteral("fc-cache"), {QStringLiteral("-f")}, conf).code != 0)
        GTEST_SKIP() << "fc-cache is missing";
    // Delete the regular face and give the folder its old time: the cache stays in force.
    const Ran stamp =
        run(QStringLiteral("stat"), {QStringLiteral("-c"), QStringLiteral("%y"), fonts});
    ASSERT_TRUE(QFile::remove(fonts + QStringLiteral("/Regular.ttf")));
    run(QStringLiteral("touch"),
        {QStringLiteral("-d"), QString::fromUtf8(stamp.out.trimmed()), fonts});

    const QString out = path(QStringLiteral("out.pdf"));
    const Ran r = run(kTool,
                      {QStringLiteral("--dos"), kSamples + QStringLiteral("warehouse-866.prn"),
                       QStringLiteral("-o"), out},
                      conf);
    ASSERT_EQ(r.code, 0) << r.err.constData();
    EXPECT_TRUE(r.err.contains("cannot read the font file")) << r.err.constData();
    const Ran text = run(QStringLiteral("pdftotext"), {out, QStringLiteral("-")});
    EXPECT_TRUE(QString::fromUtf8(text.out).contains(QStringLiteral("ВЕДОМОСТЬ ОСТАТКОВ")));
}

}  // namespace
