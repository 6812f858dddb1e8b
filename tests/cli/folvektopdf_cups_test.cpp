// folvektopdf inside a real cupsd: the test command's queue (tools/cups-test-env) turns jobs into
// PDFs; the filter is installed in a private prefix and registered with that cupsd. A CP866
// report sent with lp must come out with its pages, its Cyrillic text and its frame lines.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <unistd.h>

namespace {

const QString kFilter = QStringLiteral(FOLVEK_BINARY_DIR "/src/cli/cups/folvektopdf");
const QString kWarehouse = QStringLiteral(FOLVEK_SOURCE_DIR "/samples/warehouse-866.prn");
// The queue and the scheduler's configuration folder of tools/cups-test-env.
QString queue() {
    const QString q = qEnvironmentVariable("FOLVEK_TEST_QUEUE");
    return q.isEmpty() ? QStringLiteral("FolvekTestPDF") : q;
}
QString serverRoot() {
    const QString d = qEnvironmentVariable("FOLVEK_TEST_CUPS_SERVER_ROOT");
    return d.isEmpty() ? QStringLiteral("/etc/cups") : d;
}

QString run(const QString& program, const QStringList& args, int* code = nullptr,
            const QByteArray& input = {}) {
    QProcess p;
    p.start(program, args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    if (code) *code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

int pdfPages(const QString& pdf) {
    const auto m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The queue's PDF for a job whose title holds `token`, once cups-pdf has finished writing it.
QString waitForPdf(const QString& dir, const QString& token) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 120000) {
        for (const QFileInfo& f : QDir(dir).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files))
            if (f.fileName().contains(token) && pdfPages(f.filePath()) > 0) return f.filePath();
        QThread::msleep(250);
    }
    return {};
}

// The longest run of dark pixels in any row of the first page: a frame line spans the table.
int longestDarkRun(const QString& pdf, const QString& scratch) {
    run("pdftoppm", {"-r", "50", "-f", "1", "-l", "1", "-gray", "-png", pdf, scratch + "/page"});
    QImage page;
    for (const QFileInfo& f : QDir(scratch).entryInfoList({QStringLiteral("page*.png")}))
        page.load(f.filePath());
    int best = 0;
    for (int y = 0; y < page.height(); ++y) {
        int runLength = 0;
        for (int x = 0; x < page.width(); ++x) {
            runLength = qGray(page.pixel(x, y)) < 128 ? runLength + 1 : 0;
            best = std::max(best, runLength);
        }
    }
    return page.isNull() ? -1 : best * 100 / page.width();
}

TEST(FolvektopdfThroughCups, ACp866ReportSentWithLpComesOutLaidOutByTheFilter) {
    const QString dir = qEnvironmentVariable("FOLVEK_TEST_PDF_DIR");
    const bool required = qEnvironmentVariableIntValue("FOLVEK_TEST_REQUIRE_PRINTING") != 0;
    if (dir.isEmpty())
        GTEST_SKIP() << "FOLVEK_TEST_PDF_DIR is not set (tools/test sets up the queue and the "
                        "filter with tools/cups-test-env)";
    if (!QFile::exists(serverRoot() + QStringLiteral("/folvek-test.convs"))) {
        if (required) FAIL() << "the test cupsd has no folvektopdf (see tools/cups-test-env)";
        GTEST_SKIP() << "the test cupsd has no folvektopdf (see tools/cups-test-env)";
    }
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString token = QStringLiteral("folvektopdf%1").arg(::getpid());

    // Typed by its name: a .prn file is a DOS report.
    const QString prn = scratch.filePath(token + "-auto.prn");
    ASSERT_TRUE(QFile::copy(kWarehouse, prn));
    int code = 0;
    QString said = run("lp", {"-d", queue(), "-t", token + "-auto", prn}, &code);
    ASSERT_EQ(code, 0) << said.toStdString();
    // Named by its format: any file name, landscape.
    const QString txt = scratch.filePath(token + "-format.txt");
    ASSERT_TRUE(QFile::copy(kWarehouse, txt));
    said = run("lp",
               {"-d", queue(), "-t", token + "-format", "-o", "document-format=text/x-dos-report",
                "-o", "landscape", txt},
               &code);
    ASSERT_EQ(code, 0) << said.toStdString();

    const QString autoPdf = waitForPdf(dir, token + "-auto");
    const QString formatPdf = waitForPdf(dir, token + "-format");
    ASSERT_FALSE(autoPdf.isEmpty()) << "no PDF for the .prn job in " << dir.toStdString();
    ASSERT_FALSE(formatPdf.isEmpty()) << "no PDF for the document-format job";

    // Each job has as many pages as the filter lays out on its own.
    auto direct = [&](const QString& options) {
        QFile report(kWarehouse);
        EXPECT_TRUE(report.open(QIODevice::ReadOnly));
        const QString out = scratch.filePath("direct.pdf");
        QProcess p;
        p.setStandardOutputFile(out);
        p.start(kFilter, {"1", "u", "t", "1", options});
        p.write(report.readAll());
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(120000));
        return pdfPages(out);
    };
    EXPECT_EQ(pdfPages(formatPdf), direct(QStringLiteral("landscape")));
    EXPECT_EQ(pdfPages(autoPdf), direct(QString()));

    const QString text = run("pdftotext", {autoPdf, "-"});
    for (QChar c : QStringLiteral("─│┌┐└┘├┤┬┴┼═║╔╗╚╝"))
        EXPECT_FALSE(text.contains(c)) << QString(c).toStdString();
    // cups-pdf draws the job again through PostScript and Ghostscript: the words come back from
    // the glyph names of the filter's fonts.
    for (const QString& words :
         {QStringLiteral("ВЕДОМОСТЬ ОСТАТКОВ"), QStringLiteral("Наименование")})
        EXPECT_TRUE(text.contains(words)) << words.toStdString() << " in\n" << text.toStdString();
    // texttopdf would have typed the frames as glyphs; the filter draws them as lines.
    EXPECT_GT(longestDarkRun(autoPdf, scratch.path()), 60);

    for (const QString& f : {autoPdf, formatPdf}) QFile::remove(f);
}

}  // namespace
