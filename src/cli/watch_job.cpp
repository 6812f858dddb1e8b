// One job of the watched folder: a folvek-print of its own lays the file out from its standard
// input, so that a crash on one file never stops the watch.
#include "watch_job.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "retrying_io.h"
#include "run_program.h"
#include "watch_files.h"
#include "watch_names.h"

namespace folvek {

namespace {

constexpr int kJobTimeoutMs = 10 * 60 * 1000;

std::string errnoText() {
    return std::strerror(errno);
}

std::string readAll(int fd);

}  // namespace

JobResult runWatchJob(const WatchOptions& opt, int outDir, int jobNumber, const std::string& name,
                      int input, bool stopping) {
    JobResult r;
    std::vector<std::string> args{opt.program};
    std::string partial;
    if (!opt.pdfDir.empty()) {
        partial = ".folvek-watch-" + std::to_string(::getpid()) + "-" + std::to_string(jobNumber) +
                  ".pdf";
        args.insert(args.end(), {"-o", opt.pdfDir + "/" + partial});
    } else {
        args.push_back("--lp");
        if (!opt.printer.empty()) args.insert(args.end(), {"--printer", opt.printer});
    }
    // The job's name and the PDF's title: the file's name, decoded by the job as its text is.
    args.insert(args.end(), {"--title", name});
    args.insert(args.end(), opt.jobArgs.begin(), opt.jobArgs.end());
    args.push_back("-");

    Fd errors(::memfd_create("folvek-job-errors", MFD_CLOEXEC));
    if (errors.get() < 0) {
        r.reason = "cannot start the job: " + errnoText();
        return r;
    }
    Fd quiet(::open("/dev/null", O_WRONLY | O_CLOEXEC));
    const ProgramRun run = runProgram(args, {}, kJobTimeoutMs, {input, quiet.get(), errors.get()});
    if (!run.started) {
        r.reason = "cannot start " + opt.program;
        return r;
    }
    r.output = readAll(errors.get());
    const int code = run.exitCode;
    if (code == 0 || code == 3) {
        r.ok = true;
        r.reason = opt.pdfDir.empty() ? "printed" : "";
        if (!opt.pdfDir.empty()) {
            std::string placed, error;
            if (!moveNoReplace(
                    outDir, partial, outDir, [&](int n) { return pdfNameFor(name, n); }, &placed,
                    &error)) {
                ::unlinkat(outDir, partial.c_str(), 0);
                r.ok = false;
                r.reason = "no PDF file could be written: " + error;
                return r;
            }
            r.reason = "printed to " + opt.pdfDir + "/" + printableName(placed);
        } else if (!opt.printer.empty()) {
            r.reason += " on " + opt.printer;
        }
        if (code == 3) r.reason += " (with errors: " + firstLine(r.output) + ")";
        return r;
    }
    if (!partial.empty()) ::unlinkat(outDir, partial.c_str(), 0);
    if (stopping && !run.timedOut && run.signal) {
        r.stopped = true;
        return r;
    }
    if (run.timedOut)
        r.reason = "the job took longer than " + std::to_string(kJobTimeoutMs / 60000) +
                   " minutes and was stopped";
    else if (run.signal)
        r.reason = "the job died of signal " + std::to_string(run.signal);
    else
        r.reason = firstLine(r.output).empty()
                       ? "the job failed (exit status " + std::to_string(code) + ")"
                       : firstLine(r.output);
    return r;
}

namespace {

std::string readAll(int fd) {
    std::string text;
    char buf[8192];
    ssize_t n;
    while (text.size() < (1 << 20) &&
           (n = preadSome(fd, buf, sizeof buf, static_cast<off_t>(text.size()))) > 0)
        text.append(buf, static_cast<std::size_t>(n));
    return text;
}

}  // namespace

std::string firstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    const std::string prefix = "folvek-print: ";
    if (line.rfind(prefix, 0) == 0) line.erase(0, prefix.size());
    return line;
}

}  // namespace folvek
