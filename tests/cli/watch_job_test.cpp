// One job of the watched folder, run with a stand-in shell script for folvek-print: the
// arguments it is given, what its exit status, its first message line and the signal that
// ends it make of the result, and where its PDF ends up.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "watch_files.h"
#include "watch_folder.h"
#include "watch_job.h"

namespace folvek {
namespace {

class WatchJob : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = ::testing::TempDir() + "watch_job_XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        path_ = tmpl;
        dir_.reset(::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        ASSERT_GE(dir_.get(), 0);
        input_.reset(::memfd_create("watch-job-input", MFD_CLOEXEC));
        ASSERT_EQ(::write(input_.get(), "report bytes", 12), 12);
    }
    void TearDown() override { std::filesystem::remove_all(path_); }

    // A job program that runs `body` as a shell script.
    WatchOptions program(const std::string& body) {
        const std::string script = path_ + "/job" + std::to_string(++scripts_) + ".sh";
        std::ofstream(script) << "#!/bin/sh\n" << body << "\n";
        EXPECT_EQ(::chmod(script.c_str(), 0755), 0);
        WatchOptions opt;
        opt.program = script;
        return opt;
    }
    JobResult run(const WatchOptions& opt, bool stopping = false, int outDir = -1) {
        EXPECT_EQ(::lseek(input_.get(), 0, SEEK_SET), 0);  // the watch hands each job a new read
        return runWatchJob(opt, outDir, 7, "report.prn", input_.get(), stopping);
    }
    std::string read(const std::string& name) {
        std::ifstream in(path_ + "/" + name);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    int files() {
        int n = 0;
        for (const auto& e : std::filesystem::directory_iterator(path_))
            n += e.path().extension() == ".pdf" || e.path().filename().string()[0] == '.';
        return n;
    }

    std::string path_;
    Fd dir_, input_;
    int scripts_ = 0;
};

TEST_F(WatchJob, ArgumentsAndTheReasonsOfAFailedJob) {
    // The job prints to the queue with the file's name as its title, the layout options
    // follow, and the text comes on its standard input.
    WatchOptions opt = program("printf '%s|' \"$@\" >&2; cat >&2; exit 2");
    opt.printer = "lp1";
    opt.jobArgs = {"--fit", "--cp", "866"};
    JobResult r = run(opt);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.stopped);
    EXPECT_EQ(r.reason, "--lp|--printer|lp1|--title|report.prn|--fit|--cp|866|-|report bytes");
    opt.printer.clear();
    EXPECT_EQ(run(opt).reason, "--lp|--title|report.prn|--fit|--cp|866|-|report bytes");

    // The reason is the first line of its messages without the program's name, or the exit
    // status when it said nothing.
    r = run(program("printf 'folvek-print: no paper\\nsecond line\\n' >&2; exit 1"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.reason, "no paper");
    EXPECT_EQ(r.output, "folvek-print: no paper\nsecond line\n");
    EXPECT_EQ(run(program("exit 4")).reason, "the job failed (exit status 4)");
    EXPECT_EQ(run(program("exit 1")).reason, "the job failed (exit status 1)");

    WatchOptions missing;
    missing.program = path_ + "/no-such-program";
    r = run(missing);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.reason, "cannot start " + missing.program);
}

TEST_F(WatchJob, PrintedWithOrWithoutErrors) {
    WatchOptions opt = program("cat > /dev/null; exit 0");
    JobResult r = run(opt);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.reason, "printed");
    opt.printer = "lp1";
    EXPECT_EQ(run(opt).reason, "printed on lp1");
    // Status 3: printed, with errors worth a line in the log.
    opt = program("echo 'folvek-print: a line was cut' >&2; exit 3");
    opt.printer = "lp1";
    r = run(opt);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.reason, "printed on lp1 (with errors: a line was cut)");
}

TEST_F(WatchJob, AJobKilledBySignalIsStoppedOnlyWhileTheWatchStops) {
    const WatchOptions opt = program("kill -TERM $$");
    JobResult r = run(opt, false);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.stopped);
    EXPECT_EQ(r.reason, "the job died of signal " + std::to_string(SIGTERM));
    r = run(opt, true);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.stopped) << "the file stays for the next start";
    // A job that fails on its own while the watch stops is a failure like any other.
    r = run(program("exit 2"), true);
    EXPECT_FALSE(r.stopped);
    EXPECT_EQ(r.reason, "the job failed (exit status 2)");
}

TEST_F(WatchJob, APdfTakesTheFilesNameAndAFailedOneLeavesNothing) {
    // The job writes its PDF to the partial name after -o; it is then moved to the file's
    // name with .pdf, numbered when that is taken.
    WatchOptions opt = program("cat > \"$2\"");
    opt.pdfDir = path_;
    JobResult r = run(opt, false, dir_.get());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.reason, "printed to " + path_ + "/report.pdf");
    EXPECT_EQ(read("report.pdf"), "report bytes");
    r = run(opt, false, dir_.get());
    EXPECT_EQ(r.reason, "printed to " + path_ + "/report-1.pdf");
    EXPECT_EQ(files(), 2);
    // A job that wrote part of its PDF and failed, or was killed, leaves no partial file.
    for (const char* body :
         {"echo partial > \"$2\"; exit 1", "echo partial > \"$2\"; kill -9 $$"}) {
        opt.program = program(body).program;
        r = run(opt, false, dir_.get());
        EXPECT_FALSE(r.ok) << body;
        EXPECT_EQ(files(), 2) << body;
    }
    r = run(opt, true, dir_.get());
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(files(), 2);
}

}  // namespace
}  // namespace folvek
