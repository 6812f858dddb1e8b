// The CUPS filter run as the scheduler runs it: job, user, title, copies and options, the file or
// standard input, a bare environment (no display, no home, no PPD), PDF on standard output and
// its messages on standard error.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPointF>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>

namespace {

const QString kFilter = QStringLiteral(FOLVEK_BINARY_DIR "/src/cli/cups/folvektopdf");
const QString kWarehouse = QStringLiteral(FOLVEK_SOURCE_DIR "/samples/warehouse-866.prn");

struct FilterRun {
    int code = -1;
    bool crashed = false;
    QByteArray out;
    QString err;
};

class Folvektopdf : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scratch_.isValid());
        ASSERT_TRUE(QFile::exists(kFilter)) << kFilter.toStdString();
        QDir(scratch_.path()).mkpath(QStringLiteral("tmp"));
        QDir(scratch_.path()).mkpath(QStringLiteral("etc"));
    }

    // What cupsd hands a filter: no HOME, DISPLAY, PPD or session of the user who printed.
    QProcessEnvironment cupsEnvironment() const {
        QProcessEnvironment env;
        env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
        env.insert(QStringLiteral("TMPDIR"), tmpDir());
        env.insert(QStringLiteral("CONTENT_TYPE"), QStringLiteral("text/x-dos-report"));
        env.insert(QStringLiteral("FINAL_CONTENT_TYPE"), QStringLiteral("application/pdf"));
        env.insert(QStringLiteral("PRINTER"), QStringLiteral("FolvekTest"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("C"));
        env.insert(QStringLiteral("FOLVEK_FILTER_SETTINGS_DIR"), settingsDir());
        return env;
    }

    FilterRun filter(const QString& options, const QString& file, const QByteArray& input = {},
                     QProcessEnvironment env = {}) {
        QStringList args = {QStringLiteral("17"), QStringLiteral("anna"),
                            QStringLiteral("warehouse"), QStringLiteral("1"), options};
        if (!file.isEmpty()) args << file;
        QProcess p;
        p.setProcessEnvironment(env.isEmpty() ? cupsEnvironment() : env);
        p.start(kFilter, args);
        FilterRun r;
        if (!p.waitForStarted()) return r;
        p.write(input);
        p.closeWriteChannel();
        if (!p.waitForFinished(120000)) return r;
        r.crashed = p.exitStatus() != QProcess::NormalExit;
        r.code = r.crashed ? -1 : p.exitCode();
        r.out = p.readAllStandardOutput();
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    QString savePdf(const QByteArray& pdf, const QString& name) {
        const QString path = scratch_.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(pdf);
        return path;
    }
    static QString tool(const QString& program, const QStringList& args) {
        QProcess p;
        p.start(program, args);
        p.waitForFinished(60000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    int pages(const QByteArray& pdf) {
        const QString info =
            tool(QStringLiteral("pdfinfo"), {savePdf(pdf, QStringLiteral("p.pdf"))});
        const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }
    QString tmpDir() const { return scratch_.filePath(QStringLiteral("tmp")); }
    QString settingsDir() const { return scratch_.filePath(QStringLiteral("etc")); }
    // The filter's own files and folders (Qt's runtime folder for a user without one is not).
    QStringList leftInTmp() const {
        return QDir(tmpDir()).entryList({QStringLiteral("folvektopdf*")},
                                        QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }
    void writeSettings(const QString& name, const QByteArray& text) {
        QFile f(settingsDir() + QLatin1Char('/') + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    QTemporaryDir scratch_;
};

TEST_F(Folvektopdf, AReportFileBecomesAPdfWithTheTextAndNoBoxGlyphs) {
    const FilterRun r = filter(QString(), kWarehouse);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    ASSERT_TRUE(r.out.startsWith("%PDF-")) << r.out.left(40).toStdString();
    // The encoding is told from the text; the page count told is the PDF's.
    const auto told =
        QRegularExpression(QStringLiteral("INFO: (\\d+) pages, code page 866, portrait"))
            .match(r.err);
    ASSERT_TRUE(told.hasMatch()) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QStringLiteral("ERROR"))) << r.err.toStdString();
    EXPECT_GE(told.captured(1).toInt(), 2);
    EXPECT_EQ(pages(r.out), told.captured(1).toInt());

    const QString text = tool(QStringLiteral("pdftotext"),
                              {scratch_.filePath(QStringLiteral("p.pdf")), QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("ВЕДОМОСТЬ ОСТАТКОВ"))) << text.toStdString();
    for (QChar c : QStringLiteral("─│┌┐└┘├┤┬┴┼═║╔╗╚╝"))
        EXPECT_FALSE(text.contains(c)) << QString(c).toStdString();
    EXPECT_TRUE(leftInTmp().isEmpty()) << leftInTmp().join(' ').toStdString();
}

TEST_F(Folvektopdf, AUtf8JobIsNamedSoAndItsMissingCharactersAreCounted) {
    // German and Greek beside Russian: code page 1251 holds only the Russian.
    const FilterRun r = filter(QString(), QString(),
                               "\xd0\x9e\xd1\x82\xd1\x87\xd1\x91\xd1\x82 Gr\xc3\xb6\xc3\x9f"
                               "e "
                               "\xce\xb1\xce\xb2\n");
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("INFO: 1 pages, UTF-8, portrait on ")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(
        QStringLiteral("WARNING: 4 characters that code page 1251 lacks are printed as \"?\"\n")));
    // A report that 1251 holds whole draws no such warning.
    EXPECT_FALSE(filter(QString(), kWarehouse).err.contains(QStringLiteral("lacks")));
}

TEST_F(Folvektopdf, StandardInputAndTheJobsPaperOrientationAndEncoding) {
    QFile in(kWarehouse);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const FilterRun r = filter(
        QStringLiteral("job-uuid=urn:uuid:x media=A5 landscape folvek-encoding=866 page-ranges=2"),
        QString(), in.readAll());
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString info =
        tool(QStringLiteral("pdfinfo"), {savePdf(r.out, QStringLiteral("a5.pdf"))});
    // A5 turned: 210 x 148 mm. Page ranges are pdftopdf's, after the filter: every page is here.
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+595 x 420"))))
        << info.toStdString();
    EXPECT_GT(pages(r.out), 3);
    EXPECT_TRUE(leftInTmp().isEmpty()) << leftInTmp().join(' ').toStdString();
}

TEST_F(Folvektopdf, LinesPerInchAndCharactersPerInchShapeThePage) {
    QByteArray doc;
    for (int i = 0; i < 200; ++i) doc += "line " + QByteArray::number(i) + "\r\n";
    const FilterRun six = filter(QStringLiteral("lpi=6"), QString(), doc);
    const FilterRun twelve = filter(QStringLiteral("lpi=12"), QString(), doc);
    ASSERT_EQ(six.code, 0) << six.err.toStdString();
    ASSERT_EQ(twelve.code, 0) << twelve.err.toStdString();
    // A4 less 10 mm holds 67 lines at 6 per inch and 135 at 12.
    EXPECT_EQ(pages(six.out), 3);
    EXPECT_EQ(pages(twelve.out), 2);

    // With continuation sheets a 120-character line needs a second sheet at 10 cpi (A4 holds
    // some 76 columns) and fits at 17 cpi.
    writeSettings(QStringLiteral("WRAP.INI"), "[Folvk]\r\nisWrap=yes\r\n");
    const QByteArray wide = QByteArray(120, 'x') + "\r\n";
    const FilterRun ten = filter(QStringLiteral("folvek-ini=WRAP.INI cpi=10"), QString(), wide);
    const FilterRun seventeen =
        filter(QStringLiteral("folvek-ini=WRAP.INI cpi=17"), QString(), wide);
    ASSERT_EQ(ten.code, 0) << ten.err.toStdString();
    ASSERT_EQ(seventeen.code, 0) << seventeen.err.toStdString();
    EXPECT_GT(pages(ten.out), pages(seventeen.out));
}

TEST_F(Folvektopdf, TheJobsPageTopIsTheTopMarginAndItsPageBottomTheBottomOne) {
    const FilterRun r =
        filter(QStringLiteral("page-top=216 page-bottom=18"), QString(), "first\r\nsecond\r\n");
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString words = tool(
        QStringLiteral("pdftotext"),
        {QStringLiteral("-bbox"), savePdf(r.out, QStringLiteral("m.pdf")), QStringLiteral("-")});
    const auto m =
        QRegularExpression(QStringLiteral("yMin=\"([0-9.]+)\"[^>]*>first<")).match(words);
    ASSERT_TRUE(m.hasMatch()) << words.toStdString();
    // The first line starts three inches (216 pt) down the sheet, not a quarter of an inch.
    EXPECT_NEAR(m.captured(1).toDouble(), 216 + 6, 12);
}

TEST_F(Folvektopdf, AJobsZeroPageBottomOverridesTheSettingsMargin) {
    // Settings with three inches at the bottom; the job asks for none.
    writeSettings(QStringLiteral("LOW.INI"), "[Folvk]\r\nBottomMargin=300\r\n");
    QByteArray text;
    for (int i = 1; i <= 130; ++i) text += "line " + QByteArray::number(i) + "\r\n";
    const FilterRun low = filter(QStringLiteral("folvek-ini=LOW.INI"), QString(), text);
    const FilterRun none =
        filter(QStringLiteral("folvek-ini=LOW.INI page-bottom=0"), QString(), text);
    ASSERT_EQ(low.code, 0) << low.err.toStdString();
    ASSERT_EQ(none.code, 0) << none.err.toStdString();
    EXPECT_LT(pages(none.out), pages(low.out));
}

TEST_F(Folvektopdf, AJobsZeroPageLeftAndPageTopOverrideTheSettingsMargins) {
    // Settings with three inches at the left and the top; the job asks for none.
    writeSettings(QStringLiteral("FAR.INI"), "[Folvk]\r\nLeftMargin=300\r\nTopMargin=300\r\n");
    const auto corner = [&](const QString& options) {
        const FilterRun r = filter(options, QString(), "first\r\n");
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        const QString words = tool(QStringLiteral("pdftotext"),
                                   {QStringLiteral("-bbox"),
                                    savePdf(r.out, QStringLiteral("z.pdf")), QStringLiteral("-")});
        const auto m =
            QRegularExpression(QStringLiteral("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>first<"))
                .match(words);
        EXPECT_TRUE(m.hasMatch()) << words.toStdString();
        return QPointF(m.captured(1).toDouble(), m.captured(2).toDouble());
    };
    const QPointF far = corner(QStringLiteral("folvek-ini=FAR.INI"));
    EXPECT_GT(far.x(), 216);
    EXPECT_GT(far.y(), 216);
    const QPointF none = corner(QStringLiteral("folvek-ini=FAR.INI page-left=0 page-top=0"));
    EXPECT_LT(none.x(), 72);
    EXPECT_LT(none.y(), 72);
}

TEST_F(Folvektopdf, SettingsComeFromTheSystemDirectoryOnly) {
    writeSettings(QStringLiteral("WIDE.INI"), "[Folvk]\r\nOrient=1\r\n");
    const FilterRun wide = filter(QStringLiteral("folvek-ini=WIDE.INI"), kWarehouse);
    ASSERT_EQ(wide.code, 0) << wide.err.toStdString();
    EXPECT_TRUE(wide.err.contains(QStringLiteral("landscape"))) << wide.err.toStdString();
    // The job's own orientation wins over the settings', portrait (3) too.
    const FilterRun upright =
        filter(QStringLiteral("folvek-ini=WIDE.INI orientation-requested=3"), kWarehouse);
    ASSERT_EQ(upright.code, 0) << upright.err.toStdString();
    EXPECT_TRUE(upright.err.contains(QStringLiteral(", portrait on ")))
        << upright.err.toStdString();

    for (const QString& bad :
         {QStringLiteral("folvek-ini=../etc/WIDE.INI"), QStringLiteral("folvek-ini=/etc/passwd"),
          QStringLiteral("folvek-ini=..")}) {
        const FilterRun r = filter(bad, kWarehouse);
        EXPECT_EQ(r.code, 1) << bad.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains(QStringLiteral("ERROR: folvek-ini="))) << r.err.toStdString();
    }
    const FilterRun missing = filter(QStringLiteral("folvek-ini=NONE.INI"), kWarehouse);
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.out.isEmpty());
    EXPECT_TRUE(missing.err.contains(QStringLiteral("ERROR: settings file \"NONE.INI\"")))
        << missing.err.toStdString();
}

TEST_F(Folvektopdf, BadInputFailsClearlyAndPrintsNothing) {
    const FilterRun empty = filter(QString(), QString(), QByteArray());
    EXPECT_EQ(empty.code, 0);
    EXPECT_TRUE(empty.out.isEmpty());
    EXPECT_TRUE(empty.err.contains(QStringLiteral("INFO: The document is empty")));

    QByteArray binary("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    binary += QByteArray(4000, '\x01');
    const FilterRun bin = filter(QString(), QString(), binary);
    EXPECT_EQ(bin.code, 1);
    EXPECT_TRUE(bin.out.isEmpty());
    EXPECT_TRUE(
        bin.err.contains(QStringLiteral("ERROR: the document is a PNG picture, not a report")));

    const FilterRun unknown = filter(QStringLiteral("folvek-colour=red cpi=zero"), kWarehouse);
    EXPECT_EQ(unknown.code, 0) << unknown.err.toStdString();
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("WARNING: unknown option \"folvek-colour\"")));
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("WARNING: cpi=\"zero\"")));
    EXPECT_TRUE(unknown.out.startsWith("%PDF-"));

    const FilterRun absent = filter(QString(), scratch_.filePath(QStringLiteral("absent.prn")));
    EXPECT_EQ(absent.code, 1);
    EXPECT_TRUE(absent.err.contains(QStringLiteral("ERROR: cannot open")));

    QProcess wrong;
    wrong.start(kFilter, {QStringLiteral("1"), QStringLiteral("2")});
    ASSERT_TRUE(wrong.waitForFinished(30000));
    EXPECT_EQ(wrong.exitCode(), 1);
    EXPECT_TRUE(wrong.readAllStandardError().startsWith("Usage: folvektopdf job-id"));
    EXPECT_TRUE(leftInTmp().isEmpty()) << leftInTmp().join(' ').toStdString();
}

TEST_F(Folvektopdf, AFilterKilledMidJobWritesNoPdfAndLeavesNoFiles) {
    // Large enough that the export still runs seconds after the page count on a loaded machine.
    QByteArray big;
    for (int page = 0; page < 20000; ++page) {
        for (int i = 0; i < 60; ++i)
            big += "<B>Итого</B> по складу  N " + QByteArray::number(i) + "\r\n";
        big += "\f";
    }
    QProcess p;
    p.setProcessEnvironment(cupsEnvironment());
    p.start(kFilter, {QStringLiteral("18"), QStringLiteral("anna"), QStringLiteral("big"),
                      QStringLiteral("1"), QString()});
    ASSERT_TRUE(p.waitForStarted());
    p.write(big);
    p.closeWriteChannel();
    // Once the pages are counted the export runs; the scheduler cancels the job now.
    QByteArray err;
    p.setReadChannel(QProcess::StandardError);
    while (!err.contains("pages,") && p.waitForReadyRead(60000)) err += p.readAllStandardError();
    ASSERT_TRUE(err.contains("pages,")) << err.toStdString();
    ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::CrashExit);
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(leftInTmp().isEmpty()) << leftInTmp().join(' ').toStdString();
}

}  // namespace

namespace {

TEST_F(Folvektopdf, TheJobsEncodingWinsOverDetection) {
    // The administrator's correction: a CP866 report read as 1251 because the job says so.
    const FilterRun asDos = filter(QString(), kWarehouse);
    const FilterRun as1251 = filter(QStringLiteral("folvek-encoding=1251"), kWarehouse);
    ASSERT_EQ(as1251.code, 0) << as1251.err.toStdString();
    EXPECT_TRUE(asDos.err.contains(QStringLiteral("code page 866"))) << asDos.err.toStdString();
    EXPECT_TRUE(as1251.err.contains(QStringLiteral("code page 1251"))) << as1251.err.toStdString();
    const QString text866 = tool(QStringLiteral("pdftotext"), {savePdf(asDos.out, "a.pdf"), "-"});
    const QString text1251 = tool(QStringLiteral("pdftotext"), {savePdf(as1251.out, "b.pdf"), "-"});
    EXPECT_NE(text866, text1251);
    const FilterRun ledgerAsDos =
        filter(QStringLiteral("folvek-encoding=866"),
               QStringLiteral(FOLVEK_SOURCE_DIR "/samples/ledger-1251.txt"));
    EXPECT_TRUE(ledgerAsDos.err.contains(QStringLiteral("code page 866")))
        << ledgerAsDos.err.toStdString();
}

TEST_F(Folvektopdf, MarginsWithNoRoomForALineFailTheJobInsteadOfPrintingBlankSheets) {
    for (const char* options : {"page-left=800", "page-right=800",
                                "page-left=1440 page-right=1440 page-top=1440 page-bottom=1440",
                                "page-top=500 page-bottom=400"}) {
        const FilterRun r = filter(QString::fromLatin1(options), kWarehouse);
        EXPECT_NE(r.code, 0) << options;
        EXPECT_TRUE(r.out.isEmpty()) << options;
        EXPECT_TRUE(r.err.contains(QStringLiteral("ERROR: the margins leave no room for a line")))
            << options << r.err.toStdString();
    }
    EXPECT_EQ(filter(QStringLiteral("page-left=72 page-top=72"), kWarehouse).code, 0);
}

TEST_F(Folvektopdf, PaperIsTheJobsThenTheQueuesDefaultThenA4) {
    const QString ppd = scratch_.filePath(QStringLiteral("queue.ppd"));
    QFile f(ppd);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("*PPD-Adobe: \"4.3\"\n*OpenUI *PageSize: PickOne\n*DefaultPageSize: Letter\n");
    f.close();
    QProcessEnvironment env = cupsEnvironment();
    env.insert(QStringLiteral("PPD"), ppd);
    auto size = [&](const FilterRun& r) {
        const QString info = tool(QStringLiteral("pdfinfo"), {savePdf(r.out, "s.pdf")});
        return QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+ x [\\d.]+)"))
            .match(info)
            .captured(1);
    };
    EXPECT_EQ(size(filter(QString(), kWarehouse, {}, env)), QStringLiteral("612 x 792"));
    EXPECT_EQ(size(filter(QStringLiteral("media=A5"), kWarehouse, {}, env)),
              QStringLiteral("420 x 595"));
    EXPECT_EQ(size(filter(QStringLiteral("PageSize=Legal"), kWarehouse, {}, env)),
              QStringLiteral("612 x 1008"));
    EXPECT_EQ(size(filter(QString(), kWarehouse)), QStringLiteral("595 x 842"));
}

TEST_F(Folvektopdf, CharactersPerInchLeaveTheLineSpacingAlone) {
    QByteArray doc;
    for (int i = 0; i < 200; ++i) doc += "line " + QByteArray::number(i) + "\r\n";
    const int plain = pages(filter(QString(), QString(), doc).out);
    for (const char* cpi : {"cpi=5", "cpi=17", "cpi=20"})
        EXPECT_EQ(pages(filter(QString::fromLatin1(cpi), QString(), doc).out), plain) << cpi;
    // And lines per inch leave the pitch alone: a 120-column line wraps at 10 cpi either way.
    writeSettings(QStringLiteral("WRAP.INI"), "[Folvk]\r\nisWrap=yes\r\nFontSize=-14\r\n");
    const QByteArray wide = QByteArray(120, 'x') + "\r\n";
    EXPECT_EQ(pages(filter(QStringLiteral("folvek-ini=WRAP.INI lpi=4"), QString(), wide).out),
              pages(filter(QStringLiteral("folvek-ini=WRAP.INI lpi=12"), QString(), wide).out));
}

TEST_F(Folvektopdf, ThePdfIsTitledAfterTheDocument) {
    QStringList args = {QStringLiteral("17"),
                        QStringLiteral("anna"),
                        QStringLiteral("Остатки на складе.prn"),
                        QStringLiteral("1"),
                        QString(),
                        kWarehouse};
    QProcess p;
    p.setProcessEnvironment(cupsEnvironment());
    p.start(kFilter, args);
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString info =
        tool(QStringLiteral("pdfinfo"), {savePdf(p.readAllStandardOutput(), "t.pdf")});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Title: +Остатки на складе.prn"))))
        << info.toStdString();
}

TEST_F(Folvektopdf, EveryLineOnStandardErrorIsOneOfOurOwn) {
    // Option values with line ends that would be control lines of the scheduler's own.
    const QString options = QStringLiteral(
        "folvek-encoding=\"x\nSTATE: +media-empty\" orientation-requested=\"9\nATTR: a=b\" "
        "page-ranges=\"1\rPPD: *X\" cpi=\"1\nSTATE: +x\" lpi='\x01\nPPD: y' "
        "media=\"a_9x9\nSTATE: +z\" folvek-\nSTATE:=q");
    const FilterRun r = filter(options, kWarehouse);
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    const QRegularExpression ours(QStringLiteral("^(INFO|WARNING|ERROR|DEBUG): [^\\r]*$"));
    for (const QString& line : r.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        EXPECT_TRUE(ours.match(line).hasMatch()) << line.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("folvek-encoding=\"x\\nSTATE: +media-empty\"")))
        << r.err.toStdString();
    const FilterRun ini = filter(QStringLiteral("folvek-ini=\"a\nSTATE: +b\""), kWarehouse);
    EXPECT_EQ(ini.code, 1);
    for (const QString& line : ini.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        EXPECT_TRUE(ours.match(line).hasMatch()) << line.toStdString();
}

TEST_F(Folvektopdf, WhatIsNotAPrintJobIsRefusedUnlessForced) {
    QByteArray bmp("BM\x36\x10\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18);
    bmp += QByteArray(4096, '\xDA');
    const FilterRun refused = filter(QString(), QString(), bmp);
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_TRUE(refused.err.contains(QStringLiteral("ERROR: the document is a BMP picture")));
    const FilterRun forced = filter(QStringLiteral("folvek-force"), QString(), bmp);
    EXPECT_EQ(forced.code, 0) << forced.err.toStdString();
    EXPECT_TRUE(forced.out.startsWith("%PDF-"));
    // A job with condensed and wide print, pitch codes and a bit image is a print job.
    QByteArray job("\x1B@\x0F\xCE\xF2\xF7\xE5\xF2\x12\r\n\x0E\xC8\xF2\xEE\xE3\x14\r\n", 18);
    job += QByteArray("\x1B*\x01\x08\x00", 5) + QByteArray(8, '\xFF') + "\r\n\x0C";
    const FilterRun escp = filter(QString(), QString(), job);
    EXPECT_EQ(escp.code, 0) << escp.err.toStdString();
}

}  // namespace

// A line wider than the sheet is cut, and the job's log says so and how to make it fit; a job
// with nothing cut says nothing of it, and no line of the log is empty.
TEST_F(Folvektopdf, ALineWiderThanTheSheetIsToldOfUnlessFitted) {
    const QString path = scratch_.filePath(QStringLiteral("wide.txt"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Short line\r\n" + QByteArray(300, 'x') + "\r\nEnd\r\n");
    }
    const QRegularExpression told(QStringLiteral(
        "\nWARNING: 1 line is wider than the sheet and cut \\(the widest has 300 columns, a "
        "sheet holds \\d+\\); the job option folvek-fit makes them fit\n"));
    for (const bool fit : {false, true}) {
        const FilterRun r = filter(
            fit ? QStringLiteral("folvek-fit=true") : QStringLiteral("folvek-fit=false"), path);
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_EQ(told.match(r.err).hasMatch(), !fit) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(QStringLiteral("\n\n")) || r.err.startsWith('\n'))
            << r.err.toStdString();
    }
    // Settings that fit: the job fits unless it says it must not.
    writeSettings(QStringLiteral("FIT.INI"), "[Folvk]\r\nFitWidth=YES\r\n");
    for (const char* option : {"", " folvek-fit=false"}) {
        const FilterRun r =
            filter(QStringLiteral("folvek-ini=FIT.INI") + QLatin1String(option), path);
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_EQ(told.match(r.err).hasMatch(), *option != 0) << option << r.err.toStdString();
    }
}
