#include "tests/e2e/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

extern char** environ;

namespace vkp::e2e {
namespace {

// Owns a file descriptor.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { Reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  void Reset() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

// Owns posix_spawn's file actions.
class FileActions {
 public:
  FileActions() { posix_spawn_file_actions_init(&fa_); }
  ~FileActions() { posix_spawn_file_actions_destroy(&fa_); }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;
  posix_spawn_file_actions_t* get() { return &fa_; }

 private:
  posix_spawn_file_actions_t fa_;
};

std::vector<std::string> MergedEnvironment(const EnvChanges& changes) {
  std::vector<std::string> out;
  for (char** e = environ; e && *e; ++e) {
    const char* eq = std::strchr(*e, '=');
    if (!eq) continue;
    if (changes.count(std::string(*e, static_cast<size_t>(eq - *e)))) continue;
    out.emplace_back(*e);
  }
  for (const auto& [name, value] : changes)
    if (value) out.push_back(name + "=" + *value);
  return out;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (std::string& s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

pid_t Spawn(const std::vector<std::string>& argv, const EnvChanges& env, FileActions& fa) {
  std::vector<std::string> args(argv);
  std::vector<std::string> envStrings = MergedEnvironment(env);
  std::vector<char*> argp = Pointers(args);
  std::vector<char*> envp = Pointers(envStrings);
  // Its own process group, so that nothing it leaves behind shares ours.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attr, 0);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, argp[0], fa.get(), &attr, argp.data(), envp.data());
  posix_spawnattr_destroy(&attr);
  return rc == 0 ? pid : -1;
}

int DecodeStatus(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

void Drain(int fd, std::string* into) {
  char buf[4096];
  for (;;) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n > 0) {
      into->append(buf, static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return;
  }
}

}  // namespace

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

int TimeScale() {
  static const int scale = [] {
    const char* text = std::getenv("VKP_TIME_SCALE");
    const long value = text != nullptr ? std::strtol(text, nullptr, 10) : 1;
    return static_cast<int>(value < 1 ? 1 : value > 100 ? 100 : value);
  }();
  return scale;
}

int MachineMs(int ms) { return ms * TimeScale(); }

long long DeadlineAfter(int ms) { return NowMs() + MachineMs(ms); }

RunResult RunProcess(const std::vector<std::string>& argv, const EnvChanges& env, int timeoutMs,
                     const std::string& cwd) {
  RunResult result;
  int outPipe[2], errPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0) return result;
  Fd outRead(outPipe[0]), outWrite(outPipe[1]);
  if (pipe2(errPipe, O_CLOEXEC) != 0) return result;
  Fd errRead(errPipe[0]), errWrite(errPipe[1]);
  FileActions fa;
  posix_spawn_file_actions_addopen(fa.get(), 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(fa.get(), outWrite.get(), 1);
  posix_spawn_file_actions_adddup2(fa.get(), errWrite.get(), 2);
  if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(fa.get(), cwd.c_str());
  const pid_t pid = Spawn(argv, env, fa);
  outWrite.Reset();
  errWrite.Reset();
  if (pid < 0) return result;
  fcntl(outRead.get(), F_SETFL, O_NONBLOCK);
  fcntl(errRead.get(), F_SETFL, O_NONBLOCK);
  const long long deadline = DeadlineAfter(timeoutMs);
  for (;;) {
    pollfd fds[2] = {{outRead.get(), POLLIN, 0}, {errRead.get(), POLLIN, 0}};
    poll(fds, 2, 20);
    Drain(outRead.get(), &result.out);
    Drain(errRead.get(), &result.err);
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      // A grandchild may still hold the pipes: take what is there, do not wait for EOF.
      Drain(outRead.get(), &result.out);
      Drain(errRead.get(), &result.err);
      result.exitCode = DecodeStatus(status);
      return result;
    }
    if (NowMs() >= deadline) {
      KillProcess(pid);
      result.timedOut = true;
      return result;
    }
  }
}

pid_t StartProcess(const std::vector<std::string>& argv, const EnvChanges& env,
                   const std::string& logFile) {
  FileActions fa;
  posix_spawn_file_actions_addopen(fa.get(), 0, "/dev/null", O_RDONLY, 0);
  const char* out = logFile.empty() ? "/dev/null" : logFile.c_str();
  posix_spawn_file_actions_addopen(fa.get(), 1, out, O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(fa.get(), 1, 2);
  return Spawn(argv, env, fa);
}

std::optional<int> WaitProcess(pid_t pid, int timeoutMs) {
  const long long deadline = DeadlineAfter(timeoutMs);
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return DecodeStatus(status);
    if (done < 0) return -1;  // not our child (already reaped)
    if (NowMs() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void KillProcess(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace vkp::e2e
