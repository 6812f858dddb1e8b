// A printer job through folvek-print: --info tells which layout it got and why, --layout
// switches it, and the PDF carries the job's picture as a 1-bit image beside real text.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const QString kTool = QStringLiteral(FOLVEK_BINARY_DIR "/src/cli/folvek-print");

// A PCL job written from HP's reference: a 32 x 64-dot black block at 300 dpi, one inch from
// the page's corner, and a line of text placed below it.
QByteArray pclJob() {
    QByteArray j(
        "\x1b"
        "E\x1b&l0O\x1b*t300R\x1b*p300x300Y\x1b*r1A");
    for (int row = 0; row < 64; ++row) j += QByteArray("\x1b*b4W") + QByteArray(4, '\xff');
    j += "\x1b*rB\x1b&a20R\x1b&a10CHello from the job\x0c\x1b"
         "E";
    return j;
}

class JobLayout : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QFile f(path("job.pcl"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(pclJob());
    }
    QString path(const QString& name) const { return dir_.filePath(name); }
    QByteArray run(const QString& program, const QStringList& args, int* code = nullptr) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("FOLVEK_HOME"), dir_.path());
        p.setProcessEnvironment(env);
        p.start(program, args);
        p.waitForFinished(120000);
        if (code) *code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        return p.readAllStandardOutput();
    }
    QJsonObject info(const QStringList& extra) {
        int code = -1;
        const QByteArray out =
            run(kTool, QStringList{QStringLiteral("--info"), path("job.pcl")} + extra, &code);
        EXPECT_EQ(code, 0);
        return QJsonDocument::fromJson(out).object();
    }
    QTemporaryDir dir_;
};

TEST_F(JobLayout, InfoTellsTheLayoutAndWhyAndTheUserSwitchesIt) {
    const QJsonObject job = info({});
    EXPECT_EQ(job["layout"].toString(), QStringLiteral("job"));
    EXPECT_EQ(job["printerLanguage"].toString(), QStringLiteral("PCL 5"));
    EXPECT_TRUE(job["layoutReason"].toString().contains(QStringLiteral("pictures")));
    EXPECT_GT(job["formHeightInches"].toDouble(), 10);
    EXPECT_EQ(job["pageCount"].toInt(), 1);

    const QJsonObject report = info({QStringLiteral("--layout"), QStringLiteral("report")});
    EXPECT_EQ(report["layout"].toString(), QStringLiteral("report"));
    EXPECT_EQ(report["layoutChosen"].toString(), QStringLiteral("report"));

    int code = -1;
    run(kTool, {QStringLiteral("--layout"), QStringLiteral("both"), path("job.pcl")}, &code);
    EXPECT_EQ(code, 2);
}

TEST_F(JobLayout, ThePdfHoldsThePictureAsAOneBitImageAndTheTextAsText) {
    int code = -1;
    run(kTool, {path("job.pcl"), QStringLiteral("-o"), path("job.pdf")}, &code);
    ASSERT_EQ(code, 0);
    const QString images = QString::fromUtf8(
        run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path("job.pdf")}));
    EXPECT_TRUE(images.contains(QStringLiteral("stencil"))) << images.toStdString();
    EXPECT_EQ(images.count(QStringLiteral("stencil")), 1);
    const QString text =
        QString::fromUtf8(run(QStringLiteral("pdftotext"), {path("job.pdf"), QStringLiteral("-")}));
    EXPECT_TRUE(text.contains(QStringLiteral("Hello from the job"))) << text.toStdString();
}

TEST_F(JobLayout, ThePngShowsTheBlockWhereTheJobPutIt) {
    int code = -1;
    run(kTool,
        {path("job.pcl"), QStringLiteral("--png"), path("png"), QStringLiteral("--dpi"),
         QStringLiteral("100")},
        &code);
    ASSERT_EQ(code, 0);
    const QImage page(path("png/page-0001.png"));
    ASSERT_FALSE(page.isNull());
    // One inch right of the logical page's left edge (a quarter inch in from the paper's) and
    // one inch below the half-inch top margin; the A4 form shrunk by 200/210 into the printable
    // area, whose corner is 0.2 inch in: about 1.39 and 1.63 inch, a block 11 x 21 pixels.
    int dark = 0;
    for (int y = 155; y < 190; ++y)
        for (int x = 128; x < 155; ++x) dark += qGray(page.pixel(x, y)) < 128;
    EXPECT_GT(dark, 180);
    EXPECT_LT(dark, 300);
    int elsewhere = 0;
    for (int y = 300; y < 400; ++y)
        for (int x = 500; x < 700; ++x) elsewhere += qGray(page.pixel(x, y)) < 128;
    EXPECT_EQ(elsewhere, 0);
}

}  // namespace
