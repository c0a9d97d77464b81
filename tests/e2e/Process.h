// Child processes for the end-to-end driver: posix_spawn with an explicit
// environment, output captured through pipes or sent to a file, time-outs
// enforced by killing the child we started (never by name).
#pragma once

#include <sys/types.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vkp::e2e {

struct RunResult {
  int exitCode = -1;  // exit status, 128 + signal, or -1 when it could not start
  bool timedOut = false;
  std::string out;
  std::string err;
  bool ok() const { return exitCode == 0 && !timedOut; }
};

// Environment changes: a value sets the variable, std::nullopt removes it.
using EnvChanges = std::map<std::string, std::optional<std::string>>;

// Runs argv (argv[0] looked up in PATH) to completion, stdin from /dev/null;
// killed after MachineMs(timeoutMs).
RunResult RunProcess(const std::vector<std::string>& argv, const EnvChanges& env, int timeoutMs,
                     const std::string& cwd = {});

// Starts argv in the background with stdin /dev/null and stdout/stderr
// appended to logFile (or /dev/null when empty). Returns the pid or -1.
pid_t StartProcess(const std::vector<std::string>& argv, const EnvChanges& env,
                   const std::string& logFile);

// Waits for a child started by StartProcess, MachineMs(timeoutMs) at most;
// std::nullopt on time-out.
std::optional<int> WaitProcess(pid_t pid, int timeoutMs);

// Kills (SIGKILL) and reaps a child we started.
void KillProcess(pid_t pid);

// Milliseconds from a steady clock.
long long NowMs();

// How many times slower than the machines its waits were written for this
// one runs Wine: VKP_TIME_SCALE (scripts/test measures it in the emulated
// machine), 1 where unset. Every wait and time limit of the driver is
// multiplied by it, so that emulation never turns a wait into a failure,
// while a hang still fails.
int TimeScale();
// A wait of `ms` on a native machine, on this one.
int MachineMs(int ms);
// NowMs() plus MachineMs(ms).
long long DeadlineAfter(int ms);

}  // namespace vkp::e2e
