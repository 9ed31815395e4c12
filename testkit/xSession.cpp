#include "testkit/xSession.h"

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
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace xsession {
namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point deadlineAfter(double seconds) {
  return Clock::now() +
         std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

int millisecondsLeft(Clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

// Short pause between polls of state that offers nothing to block on.
void pollPause() {
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

int statusCode(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

// Waits for pid until the deadline; true with *status filled once it has ended.
bool reap(pid_t pid, Clock::time_point deadline, int* status) {
  for (;;) {
    const pid_t r = waitpid(pid, status, WNOHANG);
    if (r == pid) return true;
    if (r < 0 && errno != EINTR) {
      *status = -1;
      return true;  // not our child any more
    }
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Moves fd to a number of at least 10, close-on-exec, so that a dup2 onto a
// low number in the child can never be a no-op that keeps close-on-exec.
int highFd(int fd) {
  const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 10);
  close(fd);
  return moved;
}

int openCloexec(const std::string& path, int flags) {
  return highFd(open(path.c_str(), flags | O_CLOEXEC, 0644));
}

// The number after `key` on the first line that contains it.
std::optional<long> field(const std::string& text, const std::string& key, int base = 10) {
  const size_t at = text.find(key);
  if (at == std::string::npos) return std::nullopt;
  const char* start = text.c_str() + at + key.size();
  char* end = nullptr;
  const long value = std::strtol(start, &end, base);
  if (end == start) return std::nullopt;
  return value;
}

std::string escapeRegex(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (std::strchr(".^$*+?()[]{}|\\", c)) out += '\\';
    out += c;
  }
  return out;
}

bool parsePpm(const std::string& data, Image* image) {
  std::istringstream in(data);
  std::string magic;
  in >> magic;
  if (magic != "P6") return false;
  int values[3];
  for (int& v : values) {
    in >> std::ws;
    while (in.peek() == '#') {
      std::string comment;
      std::getline(in, comment);
      in >> std::ws;
    }
    if (!(in >> v)) return false;
  }
  in.get();  // the single whitespace before the samples
  const int width = values[0], height = values[1], maxval = values[2];
  if (width <= 0 || height <= 0 || maxval <= 0 || maxval > 65535) return false;
  const size_t bytes = maxval < 256 ? 1 : 2;
  const size_t samples = static_cast<size_t>(width) * height * 3;
  const size_t offset = static_cast<size_t>(in.tellg());
  if (data.size() < offset + samples * bytes) return false;
  image->width = width;
  image->height = height;
  image->rgb.resize(samples);
  const auto* p = reinterpret_cast<const unsigned char*>(data.data() + offset);
  for (size_t i = 0; i < samples; ++i) {
    const int v = bytes == 1 ? p[i] : (p[2 * i] << 8 | p[2 * i + 1]);
    image->rgb[i] = static_cast<unsigned char>(v * 255 / maxval);
  }
  return true;
}

}  // namespace

std::array<int, 3> Image::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return {-1, -1, -1};
  const size_t i = (static_cast<size_t>(y) * width + x) * 3;
  return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

XSession::XSession(const Options& options) {
  char pattern[] = "/tmp/xsession-XXXXXX";
  if (!mkdtemp(pattern)) {
    error_ = "cannot create a scratch directory";
    return;
  }
  dir_ = pattern;
  if (!startServer(options)) return;
  if (options.windowManager && !startWindowManager(options.startTimeout)) return;
}

XSession::~XSession() {
  stop(program_);
  stop(windowManager_);
  stop(server_);
  if (!dir_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
}

pid_t XSession::spawn(const std::vector<std::string>& argv, int stdoutFd, int stderrFd, int extraFd,
                      const std::vector<std::string>& environment) {
  // The session's display always wins.
  std::vector<std::string> overrides;
  for (const std::string& e : environment)
    if (e.compare(0, 8, "DISPLAY=") != 0) overrides.push_back(e);
  overrides.push_back("DISPLAY=" + display_);
  auto overridden = [&](const char* entry) {
    for (const std::string& o : overrides) {
      const size_t eq = o.find('=');
      if (eq != std::string::npos && std::strncmp(entry, o.c_str(), eq + 1) == 0) return true;
    }
    return false;
  };
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e)
    if (!overridden(*e)) env.emplace_back(*e);
  env.insert(env.end(), overrides.begin(), overrides.end());
  std::vector<char*> envp, args;
  for (std::string& s : env) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::vector<std::string> argCopy = argv;
  for (std::string& s : argCopy) args.push_back(s.data());
  args.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, stdoutFd, 1);
  posix_spawn_file_actions_adddup2(&actions, stderrFd, 2);
  if (extraFd >= 0) posix_spawn_file_actions_adddup2(&actions, extraFd, 3);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

void XSession::stop(pid_t& pid) {
  if (pid <= 0) return;
  int status = 0;
  if (waitpid(pid, &status, WNOHANG) == 0) {
    kill(pid, SIGTERM);
    if (!reap(pid, deadlineAfter(3.0), &status)) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
    }
  }
  pid = -1;
}

bool XSession::startServer(const Options& options) {
  int first = options.firstDisplay, last = options.lastDisplay;
  if (first < 0) {
    if (const char* range = std::getenv("ZE_XDISPLAYS")) {
      if (std::sscanf(range, "%d-%d", &first, &last) == 1) last = first;
    }
  }
  if (first >= 0 && last < first) last = first;

  const std::string screen =
      std::to_string(options.width) + "x" + std::to_string(options.height) + "x24";
  const int log = openCloexec(dir_ + "/Xvfb.log", O_WRONLY | O_CREAT | O_TRUNC);
  // With no range the server picks the number; otherwise try each in turn.
  const int tries = first < 0 ? 1 : last - first + 1;
  for (int i = 0; i < tries; ++i) {
    std::vector<std::string> argv = {"Xvfb"};
    if (first >= 0) {
      const int n = first + i;
      if (access(("/tmp/.X11-unix/X" + std::to_string(n)).c_str(), F_OK) == 0) continue;
      argv.push_back(":" + std::to_string(n));
    }
    for (const char* a : {"-displayfd", "3", "-screen", "0"}) argv.push_back(a);
    argv.push_back(screen);
    for (const char* a : {"-nolisten", "tcp", "-noreset"}) argv.push_back(a);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) break;
    const int readFd = fds[0], writeFd = highFd(fds[1]);
    server_ = spawn(argv, log, log, writeFd);
    close(writeFd);
    std::string number;
    const auto deadline = deadlineAfter(options.startTimeout);
    while (server_ > 0 && number.find('\n') == std::string::npos) {
      pollfd p{readFd, POLLIN, 0};
      const int r = poll(&p, 1, millisecondsLeft(deadline));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) break;
      char buf[32];
      const ssize_t n = read(readFd, buf, sizeof buf);
      if (n <= 0) break;  // the server ended: the display is taken
      number.append(buf, static_cast<size_t>(n));
    }
    close(readFd);
    if (number.find('\n') != std::string::npos) {
      display_ = ":" + std::to_string(std::atoi(number.c_str()));
      close(log);
      return true;
    }
    stop(server_);
  }
  close(log);
  error_ = "could not start Xvfb (see " + dir_ + "/Xvfb.log)";
  return false;
}

bool XSession::startWindowManager(double timeoutSeconds) {
  const int log = openCloexec(dir_ + "/openbox.log", O_WRONLY | O_CREAT | O_TRUNC);
  windowManager_ = spawn({"openbox", "--sm-disable"}, log, log);
  close(log);
  if (windowManager_ <= 0) {
    error_ = "could not start openbox";
    return false;
  }
  // The window manager announces itself on the root window once it manages
  // the screen.
  const auto deadline = deadlineAfter(timeoutSeconds);
  for (;;) {
    std::string out;
    if (run({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}, &out, 5.0) == 0 &&
        out.find("window id #") != std::string::npos)
      return true;
    int status;
    if (waitpid(windowManager_, &status, WNOHANG) == windowManager_) {
      windowManager_ = -1;
      error_ = "openbox ended at start-up";
      return false;
    }
    if (Clock::now() >= deadline) {
      error_ = "openbox did not take over the screen in time";
      return false;
    }
    pollPause();
  }
}

int XSession::run(const std::vector<std::string>& argv, std::string* out, double timeoutSeconds) {
  if (display_.empty()) return -1;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return -1;
  const int readFd = fds[0], writeFd = highFd(fds[1]);
  const int devNull = openCloexec("/dev/null", O_WRONLY);
  const pid_t pid = spawn(argv, writeFd, devNull, -1);
  close(writeFd);
  close(devNull);
  if (pid <= 0) {
    close(readFd);
    return -1;
  }
  const auto deadline = deadlineAfter(timeoutSeconds);
  std::string text;
  bool timedOut = false;
  for (;;) {
    pollfd p{readFd, POLLIN, 0};
    const int r = poll(&p, 1, millisecondsLeft(deadline));
    if (r < 0 && errno == EINTR) continue;
    if (r == 0) {
      timedOut = true;
      break;
    }
    char buf[65536];
    const ssize_t n = read(readFd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(buf, static_cast<size_t>(n));
  }
  close(readFd);
  int status = 0;
  if (timedOut || !reap(pid, deadline, &status)) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
  }
  if (out) *out = std::move(text);
  return statusCode(status);
}

bool XSession::launch(const std::string& program, const std::vector<std::string>& args,
                      const std::vector<std::string>& environment) {
  if (!ok() || program_ > 0) return false;
  stdoutPath_ = dir_ + "/stdout.txt";
  stderrPath_ = dir_ + "/stderr.txt";
  const int outFd = openCloexec(stdoutPath_, O_WRONLY | O_CREAT | O_TRUNC);
  const int errFd = openCloexec(stderrPath_, O_WRONLY | O_CREAT | O_TRUNC);
  std::vector<std::string> argv = {program};
  argv.insert(argv.end(), args.begin(), args.end());
  program_ = spawn(argv, outFd, errFd, -1, environment);
  close(outFd);
  close(errFd);
  programStatus_.reset();
  return program_ > 0;
}

bool XSession::running() {
  if (program_ <= 0) return false;
  int status;
  if (waitpid(program_, &status, WNOHANG) == program_) {
    programStatus_ = statusCode(status);
    program_ = -1;
    return false;
  }
  return true;
}

std::optional<int> XSession::waitExit(double timeoutSeconds) {
  if (program_ > 0) {
    int status;
    if (!reap(program_, deadlineAfter(timeoutSeconds), &status)) return std::nullopt;
    programStatus_ = statusCode(status);
    program_ = -1;
  }
  return programStatus_;
}

std::string XSession::programStdout() const {
  return readFile(stdoutPath_);
}
std::string XSession::programStderr() const {
  return readFile(stderrPath_);
}

std::optional<unsigned long> XSession::findWindow(const std::string& title, double timeoutSeconds) {
  const auto deadline = deadlineAfter(timeoutSeconds);
  for (;;) {
    std::string ids;
    // The search matches without regard to case, so names are compared again.
    if (run({"xdotool", "search", "--name", "^" + escapeRegex(title) + "$"}, &ids) == 0) {
      std::istringstream in(ids);
      unsigned long id;
      while (in >> id) {
        std::string name;
        if (run({"xdotool", "getwindowname", std::to_string(id)}, &name) == 0 &&
            name == title + "\n")
          return id;
      }
    }
    if (Clock::now() >= deadline) return std::nullopt;
    pollPause();
  }
}

std::optional<Geometry> XSession::geometry(unsigned long window) {
  std::string info;
  if (run({"xwininfo", "-id", std::to_string(window)}, &info) != 0) return std::nullopt;
  const auto x = field(info, "Absolute upper-left X:");
  const auto y = field(info, "Absolute upper-left Y:");
  const auto w = field(info, "Width:");
  const auto h = field(info, "Height:");
  if (!x || !y || !w || !h) return std::nullopt;
  Geometry g;
  g.x = static_cast<int>(*x);
  g.y = static_cast<int>(*y);
  g.width = static_cast<int>(*w);
  g.height = static_cast<int>(*h);

  // Climb to the child of the root window: the frame, when a window manager
  // has reparented the window, else the window itself.
  unsigned long top = window;
  for (int depth = 0; depth < 16; ++depth) {
    std::string tree;
    if (run({"xwininfo", "-id", std::to_string(top), "-tree"}, &tree) != 0) return std::nullopt;
    const auto root = field(tree, "Root window id:", 16);
    const auto parent = field(tree, "Parent window id:", 16);
    if (!root || !parent) return std::nullopt;
    if (*parent == *root) break;
    top = static_cast<unsigned long>(*parent);
  }
  if (top == window) {
    g.frameX = g.x;
    g.frameY = g.y;
    g.frameWidth = g.width;
    g.frameHeight = g.height;
    return g;
  }
  if (run({"xwininfo", "-id", std::to_string(top)}, &info) != 0) return std::nullopt;
  const auto fx = field(info, "Absolute upper-left X:");
  const auto fy = field(info, "Absolute upper-left Y:");
  const auto fw = field(info, "Width:");
  const auto fh = field(info, "Height:");
  if (!fx || !fy || !fw || !fh) return std::nullopt;
  g.frameX = static_cast<int>(*fx);
  g.frameY = static_cast<int>(*fy);
  g.frameWidth = static_cast<int>(*fw);
  g.frameHeight = static_cast<int>(*fh);
  return g;
}

std::optional<Geometry> XSession::waitForGeometry(unsigned long window,
                                                  const std::function<bool(const Geometry&)>& done,
                                                  double timeoutSeconds) {
  const auto deadline = deadlineAfter(timeoutSeconds);
  std::optional<Geometry> last;
  for (;;) {
    if (auto g = geometry(window)) {
      last = g;
      if (done(*g)) return last;
    }
    if (Clock::now() >= deadline) return last;
    pollPause();
  }
}

bool XSession::sendKey(unsigned long window, const std::string& key) {
  const std::string id = std::to_string(window);
  if (run({"xdotool", "keydown", "--window", id, key}) != 0) return false;
  // A key that ends the program can take the window away before the release
  // arrives; that release is not owed to anyone.
  return run({"xdotool", "keyup", "--window", id, key}) == 0 || run({"xwininfo", "-id", id}) != 0;
}

std::optional<Image> XSession::screenshot(const std::string& pngPath) {
  static int counter = 0;
  const std::string path =
      pngPath.empty() ? dir_ + "/screen-" + std::to_string(++counter) + ".png" : pngPath;
  if (run({"import", "-window", "root", path}, nullptr, 30.0) != 0) return std::nullopt;
  std::string ppm;
  if (run({"convert", path, "ppm:-"}, &ppm, 30.0) != 0) return std::nullopt;
  Image image;
  if (!parsePpm(ppm, &image)) return std::nullopt;
  return image;
}

std::string leakCheckOff() {
  const char* current = std::getenv("ASAN_OPTIONS");
  return std::string("ASAN_OPTIONS=") + (current ? current : "") + ":detect_leaks=0";
}

}  // namespace xsession
