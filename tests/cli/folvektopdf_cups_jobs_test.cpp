// Printer-language jobs through the real cupsd (tools/cups-test-env): every job that folvektopdf
// reads must reach it through lp with no option, whatever control bytes it holds: reports with
// condensed and wide print (SI, SO, DC2, DC4), jobs that Ghostscript's and netpbm's printer
// drivers write, with a file name or without one. Through CUPS's own types such jobs went to
// the PDF queue raw and came out blank, reported completed. The filter's page numbers ("- 1 -")
// tell that it laid the page out.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

namespace {

QString queue() {
    const QString q = qEnvironmentVariable("FOLVEK_TEST_QUEUE");
    return q.isEmpty() ? QStringLiteral("FolvekTestPDF") : q;
}
QString serverRoot() {
    const QString d = qEnvironmentVariable("FOLVEK_TEST_CUPS_SERVER_ROOT");
    return d.isEmpty() ? QStringLiteral("/etc/cups") : d;
}

QString run(const QString& program, const QStringList& args, int* code = nullptr,
            const QString& workDir = {}, const QString& stdinFile = {}) {
    QProcess p;
    if (!workDir.isEmpty()) p.setWorkingDirectory(workDir);
    if (!stdinFile.isEmpty()) p.setStandardInputFile(stdinFile);
    p.start(program, args);
    p.waitForFinished(120000);
    if (code) *code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

QString sh(const QString& dir, const QString& command) {
    int code = -1;
    const QString said =
        run(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command}, &code, dir);
    return code == 0 ? QString() : command + QStringLiteral(": ") + said;
}

// The text of the queue's PDF for the job titled `title`, once cups-pdf has written it.
QString waitForText(const QString& dir, const QString& title, int ms = 90000) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        for (const QFileInfo& f : QDir(dir).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files)) {
            // cups-pdf names the file after the title, then underscores or "-job_N".
            const QString name = f.fileName();
            if (!name.startsWith(title) || name.size() <= title.size() ||
                (name[title.size()] != QLatin1Char('_') &&
                 !name.mid(title.size()).startsWith("-job_")))
                continue;
            // Read once cups-pdf has finished it: a PDF with pages.
            if (!run(QStringLiteral("pdfinfo"), {f.filePath()})
                     .contains(QRegularExpression(QStringLiteral("Pages:\\s+[1-9]"))))
                continue;
            const QString text = run(QStringLiteral("pdftotext"), {f.filePath(), "-"});
            {
                QFile::remove(f.filePath());
                return text;
            }
        }
        QThread::msleep(250);
    }
    return QStringLiteral("(no PDF)");
}

TEST(PrinterJobsThroughCups, EveryJobTheFilterReadsReachesItThroughLpWithNoOption) {
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
    const QString w = scratch.path();
    // A report in condensed and wide print with pitch codes, no escape sequence at all.
    QFile report(w + QStringLiteral("/condensed.prn"));
    ASSERT_TRUE(report.open(QIODevice::WriteOnly));
    report.write(
        "\x0F"
        "Condensed stock list\x12\r\n\x0E"
        "Wide title\x14\r\n"
        "\x0F"
        "Item 1 bolts 120\x12\r\n\x0C");
    report.close();
    const QString page = QStringLiteral(
        "-c '/Courier findfont 14 scalefont setfont 72 700 moveto (Report) show "
        "72 600 200 80 rectfill showpage'");
    for (const char* device :
         {"epson", "eps9high", "necp6", "ibmpro", "ljet4", "lj5mono", "pxlmono"})
        ASSERT_EQ(sh(w, QStringLiteral("gs -q -dNOPAUSE -dBATCH -r72 -sDEVICE=%1 "
                                       "-sOutputFile=gs-%1.prn %2")
                            .arg(QLatin1String(device), page)),
                  QString());
    ASSERT_EQ(sh(w, QStringLiteral("ppmpat -g2 200 100 | ppmtopgm | pgmtopbm > logo.pbm && "
                                   "pbmtoepson logo.pbm > netpbm-epson.prn && "
                                   "pbmtoescp2 logo.pbm > netpbm-escp2.prn && "
                                   "pbmtolj logo.pbm > netpbm-lj.prn && "
                                   "cp gs-epson.prn no-extension")),
              QString());

    const QString token = QStringLiteral("pj%1").arg(::getpid());
    QStringList titles, jobIds;
    auto jobId = [](const QString& said) {
        return QRegularExpression(QStringLiteral("request id is \\S+-(\\d+)"))
            .match(said)
            .captured(1);
    };
    for (const QString& file : QDir(w).entryList(QDir::Files)) {
        if (file.endsWith(QStringLiteral(".pbm"))) continue;
        const QString title = token + QLatin1Char('-') + QString(file).replace('.', '-');
        int code = -1;
        const QString said =
            run(QStringLiteral("lp"), {"-d", queue(), "-t", title, file}, &code, w);
        ASSERT_EQ(code, 0) << said.toStdString();
        titles << title;
        jobIds << jobId(said);
    }
    // Piped from a DOS emulator's printer port: no file name to type it by.
    int code = -1;
    const QString piped = token + QStringLiteral("-stdin");
    const QString said =
        run(QStringLiteral("lp"), {"-d", queue(), "-t", piped}, &code, w, w + "/condensed.prn");
    ASSERT_EQ(code, 0);
    titles << piped;
    jobIds << jobId(said);

    // What the scheduler made of each job: the type it detected and how the job ended.
    QFile ask(w + QStringLiteral("/job.test"));
    ASSERT_TRUE(ask.open(QIODevice::WriteOnly));
    ask.write(
        "{\nOPERATION Get-Job-Attributes\nGROUP operation-attributes-tag\n"
        "ATTR charset attributes-charset utf-8\n"
        "ATTR naturalLanguage attributes-natural-language en\n"
        "ATTR uri printer-uri $uri\nATTR integer job-id $job_id\n"
        "DISPLAY document-format-detected\nDISPLAY job-state\n}\n");
    ask.close();
    for (int i = 0; i < titles.size(); ++i) {
        const QString& title = titles[i];
        // The page is on paper: a PDF with pages, whatever the interpreter made of it.
        const QString text = waitForText(dir, title);
        EXPECT_NE(text, QStringLiteral("(no PDF)")) << title.toStdString();
        // The PDF may be out a moment before the scheduler marks the job completed.
        QString job;
        QElapsedTimer settle;
        settle.start();
        do {
            if (!job.isEmpty()) QThread::msleep(200);
            job = run(QStringLiteral("ipptool"),
                      {"-t", "-d", "job_id=" + jobIds[i], "ipp://localhost/printers/" + queue(),
                       w + "/job.test"});
        } while (!job.contains(QStringLiteral("job-state (enum) = completed")) &&
                 !job.contains(QStringLiteral("aborted")) && settle.elapsed() < 30000);
        EXPECT_TRUE(job.contains(
            QRegularExpression(QStringLiteral("document-format-detected \\(mimeMediaType\\) = "
                                              "(application/vnd\\.folvek-|text/x-dos-report)"))))
            << title.toStdString() << ":\n"
            << job.toStdString();
        EXPECT_TRUE(job.contains(QStringLiteral("job-state (enum) = completed")))
            << title.toStdString() << ":\n"
            << job.toStdString();
        if (title.endsWith(QStringLiteral("condensed-prn")) || title == piped) {
            EXPECT_TRUE(text.contains(QStringLiteral("Condensed stock list")) &&
                        text.contains(QStringLiteral("Wide title")))
                << text.toStdString();
        }
    }
}

TEST(PrinterJobsThroughCups, MarginsWithNoRoomFailTheJobAndTheEncodingOptionIsObeyed) {
    const QString dir = qEnvironmentVariable("FOLVEK_TEST_PDF_DIR");
    if (dir.isEmpty() || !QFile::exists(serverRoot() + QStringLiteral("/folvek-test.convs")))
        GTEST_SKIP() << "no test queue with folvektopdf (see tools/cups-test-env)";
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString w = scratch.path();
    QFile::copy(QStringLiteral(FOLVEK_SOURCE_DIR "/samples/warehouse-866.prn"), w + "/r.prn");
    QFile ask(w + QStringLiteral("/job.test"));
    ASSERT_TRUE(ask.open(QIODevice::WriteOnly));
    ask.write(
        "{\nOPERATION Get-Job-Attributes\nGROUP operation-attributes-tag\n"
        "ATTR charset attributes-charset utf-8\n"
        "ATTR naturalLanguage attributes-natural-language en\n"
        "ATTR uri printer-uri $uri\nATTR integer job-id $job_id\n"
        "DISPLAY job-state\nDISPLAY job-printer-state-message\n}\n");
    ask.close();
    const QString token = QStringLiteral("mg%1").arg(::getpid());
    int code = -1;
    const QString said =
        run(QStringLiteral("lp"),
            {"-d", queue(), "-t", token + "-margins", "-o",
             "page-left=1440 page-right=1440 page-top=1440 page-bottom=1440", "r.prn"},
            &code, w);
    ASSERT_EQ(code, 0) << said.toStdString();
    const QString id =
        QRegularExpression(QStringLiteral("request id is \\S+-(\\d+)")).match(said).captured(1);
    QString job;
    QElapsedTimer clock;
    clock.start();
    // cupsd shows the filter's ERROR line until it notes the exit status, then "Filter failed":
    // either says the job failed; a quick machine may never show the first.
    const auto failed = [&job] {
        return job.contains(QStringLiteral("no room for a line")) ||
               job.contains(QStringLiteral("Filter failed"));
    };
    while (clock.elapsed() < 60000 && !failed()) {
        QThread::msleep(300);
        job = run(
            QStringLiteral("ipptool"),
            {"-t", "-d", "job_id=" + id, "ipp://localhost/printers/" + queue(), w + "/job.test"});
    }
    EXPECT_TRUE(failed()) << job.toStdString();
    EXPECT_FALSE(job.contains(QStringLiteral("job-state (enum) = completed"))) << job.toStdString();
    run(QStringLiteral("cancel"), {queue() + "-" + id});

    // The administrator's correction wins over detection: read as 1251, the CP866 report's
    // heading is not the Russian one.
    run(QStringLiteral("lp"), {"-d", queue(), "-t", token + "-as866", "r.prn"}, &code, w);
    run(QStringLiteral("lp"),
        {"-d", queue(), "-t", token + "-as1251", "-o", "folvek-encoding=1251", "r.prn"}, &code, w);
    const QString as866 = waitForText(dir, token + "-as866");
    const QString as1251 = waitForText(dir, token + "-as1251");
    EXPECT_TRUE(as866.contains(QStringLiteral("ВЕДОМОСТЬ"))) << as866.toStdString();
    EXPECT_FALSE(as1251.contains(QStringLiteral("ВЕДОМОСТЬ"))) << as1251.toStdString();
    EXPECT_NE(as1251, QStringLiteral("(no PDF)"));
}

}  // namespace
