#pragma once
// Runs one of the built programs as a child process, for start-and-stop tests.
#include <string>
#include <vector>

struct ProgramRun {
    int ExitCode = -1;     // the exit status, or -1 when the program did not exit normally
    int Signal = 0;        // the signal that ended it, if one did
    bool TimedOut = false; // killed after the time limit
    std::string Stderr;
};

// Starts program with args and the current environment plus extra ("NAME=value", each
// in place of an inherited entry of that name),
// waits for it at most limitSeconds, and collects what it wrote to standard error.
// With a signal given, sends it once, as soon as the program has written signalWhen to
// standard error and signalDelayMs have passed since the start. The program starts with
// that signal blocked, so one sent before it can handle signals waits until it unblocks
// them (a program of ours does when it installs its handlers).
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::vector<std::string>& extraEnv, int limitSeconds = 60, int signal = 0,
                      const std::string& signalWhen = {}, int signalDelayMs = 0);

// The reason the run does not count as a clean stop (a crash, a time-out, a non-zero
// exit or a sanitizer report on standard error); empty when it was clean.
std::string UncleanStop(const ProgramRun& run);

// Runs one test of the running test program (its full name, "Suite.Name") in a child
// process with extra environment, for settings a process reads once (a screen's scale,
// an override read at start). The child's result is in ExitCode (0: passed).
ProgramRun RunTestInChild(const std::string& testName, const std::vector<std::string>& extraEnv,
                          int limitSeconds = 60);
