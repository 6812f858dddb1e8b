// A folvek-print --watch process and a folder for it, shared by the watch's tests.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <functional>

namespace watch_test {

inline const QString kTool = QStringLiteral(FOLVEK_BINARY_DIR "/src/cli/folvek-print");

class Watcher {
  public:
    Watcher(const QString& home, const QStringList& args) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("FOLVEK_HOME"), home);  // no user settings
        env.insert(QStringLiteral("PATH"), home + QLatin1Char(':') + env.value("PATH"));
        p_.setProcessEnvironment(env);
        p_.start(kTool, QStringList{QStringLiteral("--watch")} + args);
        p_.waitForStarted(10000);
    }
    ~Watcher() {
        if (p_.state() != QProcess::NotRunning) {
            p_.kill();
            p_.waitForFinished(5000);
        }
    }
    // Reads what it says while waiting, until `done` or `ms` have passed.
    bool waitFor(const std::function<bool()>& done, int ms = 5000) {
        QElapsedTimer t;
        t.start();
        for (;;) {
            collect();
            if (done()) return true;
            if (t.elapsed() > ms) return false;
            if (p_.state() == QProcess::NotRunning) {
                collect();
                return done();
            }
            p_.waitForReadyRead(30);
        }
    }
    bool said(const QString& text) {
        collect();
        return err_.contains(text);
    }
    int stop() {
        ::kill(static_cast<pid_t>(p_.processId()), SIGTERM);
        return finish();
    }
    int finish(int ms = 5000) {
        if (!p_.waitForFinished(ms)) return -2;
        collect();
        return p_.exitStatus() == QProcess::NormalExit ? p_.exitCode() : -1;
    }
    qint64 pid() const { return p_.processId(); }
    const QString& err() {
        collect();
        return err_;
    }

  private:
    void collect() { err_ += QString::fromUtf8(p_.readAllStandardError()); }
    QProcess p_;
    QString err_;
};

class WatchFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        ASSERT_TRUE(QFile::exists(kTool)) << kTool.toStdString();
        ASSERT_TRUE(QDir().mkpath(in()));
    }
    QString path(const QString& rel) const { return home_.filePath(rel); }
    QString in() const { return path(QStringLiteral("in")); }
    QString out() const { return path(QStringLiteral("out")); }
    static void write(const QString& file, const QByteArray& data, bool append = false) {
        QFile f(file);
        ASSERT_TRUE(f.open(append ? QIODevice::Append : QIODevice::WriteOnly));
        f.write(data);
    }
    static QStringList entries(const QString& dir) {
        return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
    QStringList pdfArgs() const {
        return {in(), QStringLiteral("--pdf-dir"), out(), QStringLiteral("--settle"),
                QStringLiteral("200")};
    }
    static bool isPdf(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) && f.read(5) == "%PDF-";
    }
    QTemporaryDir home_;
};

}  // namespace watch_test
