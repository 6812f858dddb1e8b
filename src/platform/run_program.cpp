// posix_spawnp and a polling wait, so the caller's event loop keeps running.
#include "run_program.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

extern char** environ;

namespace folvek {

ProgramRun runProgram(const std::vector<std::string>& argv,
                      const std::function<void()>& whileWaiting, int timeoutMs,
                      const ProgramStreams& streams) {
    ProgramRun run;
    if (argv.empty()) return run;
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    const int targets[3] = {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO};
    const int sources[3] = {streams.input, streams.output, streams.errors};
    for (int i = 0; i < 3; ++i)
        if (sources[i] >= 0) ::posix_spawn_file_actions_adddup2(&actions, sources[i], targets[i]);
    pid_t pid = 0;
    // glibc reports a failed exec as the spawn's own error, so "not found" is told apart.
    const int spawned = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return run;
    run.started = true;
    const timespec pause{0, 10 * 1000 * 1000};
    int status = 0;
    for (long waited = 0;; waited += 10) {
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) break;
        if (r < 0 && errno != EINTR) return run;
        if (timeoutMs >= 0 && waited >= timeoutMs) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            run.signal = SIGKILL;
            run.timedOut = true;
            return run;
        }
        if (whileWaiting) whileWaiting();
        ::nanosleep(&pause, nullptr);
    }
    if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
    return run;
}

}  // namespace folvek
