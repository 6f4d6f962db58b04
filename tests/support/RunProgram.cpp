#include "tests/support/RunProgram.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>

extern char** environ;

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::vector<std::string>& extraEnv, int limitSeconds, int signal,
                      const std::string& signalWhen, int signalDelayMs)
{
    ProgramRun run;
    // An extra entry replaces the inherited one of its name (the first of two would win).
    auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (std::none_of(extraEnv.begin(), extraEnv.end(),
                         [&](const std::string& x) { return nameOf(x) == nameOf(entry); }))
            env.push_back(entry);
    }
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> argStore{program};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (signal != 0) {
        sigset_t mask;
        sigemptyset(&mask);
        sigaddset(&mask, signal);
        posix_spawnattr_setsigmask(&attributes, &mask);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    }
    pid_t pid = 0;
    const auto started = std::chrono::steady_clock::now();
    const int rc = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        run.Stderr = std::string("cannot start: ") + std::strerror(rc);
        return run;
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds);
    bool signalled = signal == 0;
    char buffer[4096];
    const auto signalAt = started + std::chrono::milliseconds(signalDelayMs);
    for (;;) {
        const auto now = std::chrono::steady_clock::now();
        if (!signalled && now >= signalAt && run.Stderr.find(signalWhen) != std::string::npos) {
            kill(pid, signal);
            signalled = true;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
        if (left <= 0) {
            run.TimedOut = true;
            kill(pid, SIGKILL);
            break;
        }
        if (!signalled && now < signalAt) {
            const long long untilSignal =
                std::chrono::duration_cast<std::chrono::milliseconds>(signalAt - now).count() + 1;
            left = std::min<long long>(left, untilSignal);
        }
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0)
            continue;
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0)
            break; // the program closed standard error: it has ended
        run.Stderr.append(buffer, static_cast<size_t>(n));
    }
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status))
        run.ExitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        run.Signal = WTERMSIG(status);
    return run;
}

std::string UncleanStop(const ProgramRun& run)
{
    if (run.TimedOut)
        return "did not stop in time";
    if (run.Signal != 0)
        return "ended by signal " + std::to_string(run.Signal);
    for (const char* report : {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:"})
        if (run.Stderr.find(report) != std::string::npos)
            return std::string("sanitizer report: ") + report;
    if (run.ExitCode != 0)
        return "exit code " + std::to_string(run.ExitCode);
    return {};
}

ProgramRun RunTestInChild(const std::string& testName, const std::vector<std::string>& extraEnv,
                          int limitSeconds)
{
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) {
        ProgramRun run;
        run.Stderr = "cannot find the test program";
        return run;
    }
    self[n] = 0;
    return RunProgram(self, {"--gtest_filter=" + testName}, extraEnv, limitSeconds);
}
