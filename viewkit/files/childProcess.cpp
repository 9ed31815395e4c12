#include "viewkit/files/childProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "viewkit/files/errorText.h"

extern char** environ;

namespace viewkit {

namespace {

// "5 s", "0.5 s".
std::string seconds(double s) {
  char text[32];
  std::snprintf(text, sizeof text, "%g s", s);
  return text;
}

bool executable(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string findOnPath(const std::string& program) {
  if (program.empty()) return "";
  if (program.find('/') != std::string::npos) return executable(program) ? program : "";
  const char* env = std::getenv("PATH");
  const std::string path = env != nullptr ? env : "/bin:/usr/bin";
  for (size_t begin = 0;;) {
    const size_t end = path.find(':', begin);
    const std::string dir = path.substr(begin, end == std::string::npos ? end : end - begin);
    const std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
    if (executable(candidate)) return candidate;
    if (end == std::string::npos) return "";
    begin = end + 1;
  }
}

ChildProcess::~ChildProcess() {
  if (running()) finish();
}

bool ChildProcess::start(const std::string& name, const std::vector<std::string>& args, int nice,
                         std::string& error) {
  error.clear();
  if (running()) {
    error = "could not start " + name + ": " + name_ + " is still running";
    return false;
  }
  if (args.empty()) {
    error = "could not start " + name + ": no program";
    return false;
  }
  int fds[2] = {-1, -1};
  if (pipe2(fds, O_CLOEXEC) != 0) {
    error = "could not start " + name + ": " + errorText(errno);
    return false;
  }
  std::vector<std::string> copies = args;
  std::vector<char*> argv;
  for (std::string& a : copies) argv.push_back(&a[0]);
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_init(&attributes);
  sigset_t none, pipeSignal;
  sigemptyset(&none);
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &pipeSignal);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(fds[0]);
  if (spawned != 0) {
    error = "could not start " + name + ": " + errorText(spawned);
    close(fds[1]);
    return false;
  }
  // Set before the child, still loading, starts any threads that inherit it.
  if (nice != 0) setpriority(PRIO_PROCESS, static_cast<id_t>(pid), nice);
  name_ = name;
  pid_ = pid;
  pipe_ = fds[1];
  // Written without blocking, so that a child that stops reading can be
  // given up on (write() waits for room with poll).
  fcntl(pipe_, F_SETFL, fcntl(pipe_, F_GETFL) | O_NONBLOCK);
  return true;
}

bool ChildProcess::write(const unsigned char* data, size_t size, int& error,
                         double stallSeconds) const {
  const int waitMs = stallSeconds < 0 ? -1 : static_cast<int>(std::ceil(stallSeconds * 1000.0));
  while (size > 0) {
    const ssize_t n = ::write(pipe_, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      // No room: wait for the child to read, at most waitMs without progress.
      pollfd p = {pipe_, POLLOUT, 0};
      int ready;
      do {
        ready = poll(&p, 1, waitMs);
      } while (ready < 0 && errno == EINTR);
      if (ready == 0) {
        error = ETIMEDOUT;
        return false;
      }
      continue;  // room, or an error the next write reports
    }
    if (n <= 0) {
      error = n < 0 ? errno : EIO;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

std::string ChildProcess::finish(double stoppedSeconds, double limitSeconds) {
  if (!running()) return "";
  close(pipe_);  // end of input
  pipe_ = -1;
  using Clock = std::chrono::steady_clock;
  const auto began = Clock::now();
  auto stoppedAt = Clock::time_point::max();  // while it runs
  auto after = [](Clock::time_point from, double seconds) {
    return seconds >= 0 && Clock::now() - from >= std::chrono::duration<double>(seconds);
  };
  const bool bounded = stoppedSeconds >= 0 || limitSeconds >= 0;
  std::string gaveUp;
  int status = 0;
  pid_t waited;
  for (;;) {
    waited = waitpid(pid_, &status, bounded ? WNOHANG | WUNTRACED | WCONTINUED : 0);
    if (waited < 0 && errno == EINTR) continue;
    if (waited == pid_ && WIFSTOPPED(status)) {
      stoppedAt = Clock::now();
      continue;
    }
    if (waited == pid_ && WIFCONTINUED(status)) {
      stoppedAt = Clock::time_point::max();
      continue;
    }
    if (waited != 0) break;
    if (stoppedAt != Clock::time_point::max() && after(stoppedAt, stoppedSeconds))
      gaveUp = name_ + " was stopped for " + seconds(stoppedSeconds) + "; gave up on it";
    else if (after(began, limitSeconds))
      gaveUp = name_ + " did not end within " + seconds(limitSeconds) +
               " of its input's end; gave up on it";
    if (!gaveUp.empty()) {
      kill(pid_, SIGKILL);  // ends a stopped process too
      do {
        waited = waitpid(pid_, &status, 0);
      } while (waited < 0 && errno == EINTR);
      pid_ = -1;
      return gaveUp;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  pid_ = -1;
  if (waited < 0) return name_ + ": " + errorText(errno);
  if (WIFSIGNALED(status))
    return name_ + " was killed by signal " + std::to_string(WTERMSIG(status));
  if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
    return name_ + " exited with status " + std::to_string(WEXITSTATUS(status));
  return "";
}

}  // namespace viewkit
