// Helpers of the printing tests: the CUPS test queue (tools/cups-test-env) and its PDFs, a
// document of n pages laid out on a given printer, a spooler that records or fails, and a
// printout that records the job's calls.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QProcess>
#include <QThread>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document/test_support.h"
#include "document_record.h"
#include "print_spooler.h"
#include "printout.h"
#include "render/recording_device.h"

namespace folvek::printtest {

inline constexpr const char* kQueue = "FolvekTestPDF";

// The test queue's output directory, or an empty string with the reason in `why`.
inline QString spoolDir(std::string* why) {
    const QString dir = qEnvironmentVariable("FOLVEK_TEST_PDF_DIR");
    if (dir.isEmpty()) {
        *why = "FOLVEK_TEST_PDF_DIR is not set (tools/test sets it up with tools/cups-test-env)";
        return {};
    }
    QProcess lpstat;
    lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-r")});
    if (!lpstat.waitForFinished(10000) ||
        !QString::fromLocal8Bit(lpstat.readAllStandardOutput()).contains("scheduler is running")) {
        *why = "cupsd is not reachable";
        return {};
    }
    if (QPrinterInfo::defaultPrinter().printerName() != QLatin1String(kQueue)) {
        *why = std::string("the default printer is not ") + kQueue;
        return {};
    }
    return dir;
}

// True when the test command runs the suite (tools/test sets FOLVEK_TEST_REQUIRE_PRINTING):
// then a print queue that could not be set up fails the printing tests instead of skipping them.
inline bool printingRequired() {
    return qEnvironmentVariableIntValue("FOLVEK_TEST_REQUIRE_PRINTING") != 0;
}

#define FOLVEK_REQUIRE_SPOOLER(dirVar)                                                     \
    std::string why_;                                                                      \
    const QString dirVar = ::folvek::printtest::spoolDir(&why_);                           \
    if (dirVar.isEmpty() && ::folvek::printtest::printingRequired())                       \
        FAIL() << "no test print queue although the test command asked for one: " << why_; \
    if (dirVar.isEmpty()) GTEST_SKIP() << "no test print queue: " << why_

// A name no other test (or run) uses; it ends up in the job's title and so in the PDF's name.
inline std::string uniqueToken(const char* what) {
    static int counter = 0;
    return std::string("folvek-") + what + "-" + std::to_string(::getpid()) + "-" +
           std::to_string(++counter) + "-" + std::to_string(QDateTime::currentMSecsSinceEpoch());
}

// Pages of a PDF by pdfinfo; -1 while the file is not a complete PDF.
inline int pdfPages(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {file});
    if (!p.waitForFinished(10000) || p.exitCode() != 0) return -1;
    for (const QString& line : QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n'))
        if (line.startsWith(QLatin1String("Pages:"))) return line.mid(6).trimmed().toInt();
    return -1;
}

inline QStringList pdfsWith(const QString& dir, const std::string& token) {
    QStringList out;
    for (const QFileInfo& f :
         QDir(dir).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name))
        if (f.fileName().contains(QString::fromStdString(token))) out << f.absoluteFilePath();
    return out;
}

// Waits until `count` complete PDFs whose names hold `token` are there; returns what is there
// when the time is up.
inline QStringList waitForPdfs(const QString& dir, const std::string& token, int count,
                               int timeoutMs = 90000) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        QStringList files = pdfsWith(dir, token);
        bool complete = files.size() >= count;
        for (const QString& f : files) complete = complete && pdfPages(f) >= 0;
        if (complete || clock.elapsed() > timeoutMs) return files;
        QCoreApplication::processEvents();
        QThread::msleep(200);
    }
}

inline void removePdfs(const QString& dir, const std::string& token) {
    for (const QString& f : pdfsWith(dir, token)) QFile::remove(f);
}

// "page 1", form feed, "page 2", ...: one sheet per page.
inline std::string pagesText(int pages) {
    std::string text;
    for (int p = 1; p <= pages; ++p) {
        if (p > 1) text += "\f";
        text +=
            "Страница " + std::to_string(p) + "\n+-----+\n| " + std::to_string(p) + " |\n+-----+\n";
    }
    return text;
}

// A document of `pages` pages in `dir`, laid out on `printer`; the file is named after `token`.
struct TestDocument {
    TestDocument(const coretest::ScratchDir& dir, int pages, const std::string& token,
                 PrinterSettings* printer) {
        path = dir.file(token + ".txt", pagesText(pages));
        RecordContext ctx;
        ctx.messages = &messages;
        ctx.printer = printer;
        ctx.programDir = dir.dir();
        doc = std::make_unique<DocumentRecord>(std::move(ctx), "test.ini", path);
    }
    coretest::MessageRecorder messages;
    std::string path;
    std::unique_ptr<DocumentRecord> doc;
};

// Records the spooler calls; fails from a given page on, or gives no device at all.
class FakeSpooler : public PrintSpooler {
  public:
    int failAtPage = 0;  // startPage of this page (1-based over the job) fails
    bool noDevice = false;
    std::vector<std::string> calls;
    test::RecordingDevice device;

    DeviceContext* open(const std::string& title) override {
        calls.push_back("open " + title);
        return noDevice ? nullptr : &device;
    }
    QSize pageSize() const override { return {2000, 3000}; }
    bool startPage() override {
        ++pages_;
        calls.push_back("startPage");
        return pages_ != failAtPage;
    }
    bool endPage() override {
        calls.push_back("endPage");
        return true;
    }
    bool close() override {
        calls.push_back("close");
        return true;
    }
    void abort() override { calls.push_back("abort"); }
    QString deviceName() const override { return QStringLiteral("Fake"); }
    QString portName() const override { return QStringLiteral("LPT1:"); }

  private:
    int pages_ = 0;
};

// A printout of `pages` pages (0: it cannot say) that records every call.
class RecordingPrintout : public Printout {
  public:
    RecordingPrintout(int pages, PageRangeInfo info, std::string title = "doc.txt")
        : Printout(std::move(title)), pages_(pages), info_(info) {}
    std::vector<std::string> calls;
    std::function<void(int)> onPage;  // after a page is drawn

    void setPrintParams(DeviceContext* dc, QSize size) override {
        calls.push_back(dc ? "params" : "params null");
        Printout::setPrintParams(dc, size);
    }
    PageRangeInfo pageInfo() const override {
        const_cast<RecordingPrintout*>(this)->calls.push_back("info");
        return info_;
    }
    void beginPrinting() override { calls.push_back("beginPrinting"); }
    void beginDocument(int from, int to) override {
        calls.push_back("beginDocument " + std::to_string(from) + " " + std::to_string(to));
    }
    bool hasPage(int page) const override { return page <= pages_; }
    void printPage(int page) override {
        calls.push_back("page " + std::to_string(page));
        if (onPage) onPage(page);
    }
    void endDocument() override { calls.push_back("endDocument"); }
    void endPrinting() override { calls.push_back("endPrinting"); }

  private:
    int pages_;
    PageRangeInfo info_;
};

}  // namespace folvek::printtest
