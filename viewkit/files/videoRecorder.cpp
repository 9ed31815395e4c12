#include "viewkit/files/videoRecorder.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "viewkit/files/safeFile.h"

extern char** environ;

namespace viewkit {

namespace {

// The lowest priority: the encoder gets the time nothing else wants.
constexpr int kEncoderNice = 19;

std::string reason(int error) {
  return std::strerror(error != 0 ? error : EIO);
}

bool executable(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// "dir/.name.XXXXXX", hidden beside the final name so that naming it stays
// within one file system.
std::string temporaryPattern(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t cut = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, cut) + "." + path.substr(cut) + ".XXXXXX";
}

bool writeAll(int fd, const unsigned char* data, size_t size, int& error) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : EIO;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

std::string childEnd(int status) {
  if (WIFSIGNALED(status)) return "ffmpeg was killed by signal " + std::to_string(WTERMSIG(status));
  if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
    return "ffmpeg exited with status " + std::to_string(WEXITSTATUS(status));
  return "";
}

bool syncFile(const std::string& path, std::string& error) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 || fsync(fd) != 0) {
    error = reason(errno);
    if (fd >= 0) close(fd);
    return false;
  }
  close(fd);
  return true;
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

VideoRecorder::~VideoRecorder() {
  std::string report;
  if (recording()) stop(report);
}

bool VideoRecorder::start(const std::string& name, int width, int height, double fps,
                          std::string& error) {
  error.clear();
  if (recording()) {
    error = "already recording";
    return false;
  }
  if (width <= 0 || height <= 0 || width % 2 != 0 || height % 2 != 0) {
    error = "the frame size must be even and not zero";
    return false;
  }
  const std::string ffmpeg = findOnPath("ffmpeg");
  if (ffmpeg.empty()) {
    error = "ffmpeg not found";
    return false;
  }
  temporary_ = temporaryPattern(name);
  const int fd = mkstemp(&temporary_[0]);
  if (fd < 0) {
    error = reason(errno);
    return false;
  }
  // mkstemp makes 0600; the video should be as readable as any file the user makes.
  const mode_t mask = umask(0);
  umask(mask);
  const bool readable = fchmod(fd, 0666 & ~mask) == 0;
  const int chmodError = errno;
  close(fd);
  int fds[2] = {-1, -1};
  if (!readable || pipe2(fds, O_CLOEXEC) != 0) {
    error = reason(readable ? errno : chmodError);
    unlink(temporary_.c_str());
    return false;
  }

  char size[32], rate[32];
  std::snprintf(size, sizeof size, "%dx%d", width, height);
  // A whole number of frames a second, as players expect.
  const long perSecond = std::isfinite(fps) ? std::lround(fps) : 0;
  std::snprintf(rate, sizeof rate, "%ld", perSecond < 1 ? 1 : perSecond > 1000 ? 1000 : perSecond);
  // The frames arrive bottom row first; the output format is given, as the
  // temporary name has no extension to tell it.
  std::vector<std::string> args = {
      ffmpeg,      "-hide_banner", "-loglevel", "error", "-nostdin", "-y",      "-f",
      "rawvideo",  "-pix_fmt",     "rgb24",     "-s",    size,       "-r",      rate,
      "-i",        "pipe:0",       "-vf",       "vflip", "-c:v",     "libx264", "-preset",
      "ultrafast", "-pix_fmt",     "yuv420p",   "-f",    "mp4",      temporary_};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(&a[0]);
  argv.push_back(nullptr);

  // The encoder reads the pipe as its standard input, has no standard output
  // and keeps standard error for its own messages. It starts with every
  // signal unblocked and SIGPIPE at its default, whatever the caller set.
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
  const int spawned =
      posix_spawn(&pid, ffmpeg.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(fds[0]);
  if (spawned != 0) {
    error = "could not start ffmpeg: " + reason(spawned);
    close(fds[1]);
    unlink(temporary_.c_str());
    return false;
  }

  // The encoder takes the time the program leaves: it may drop frames, the
  // program's own frames must not wait for it. Set before ffmpeg, still
  // loading, starts the threads that inherit it.
  setpriority(PRIO_PROCESS, static_cast<id_t>(pid), kEncoderNice);

  name_ = name;
  width_ = width;
  height_ = height;
  frameBytes_ = static_cast<size_t>(width) * static_cast<size_t>(height) * 3;
  child_ = pid;
  pipe_ = fds[1];
  started_ = std::chrono::steady_clock::now();
  // Made here, once: a frame never allocates while recording.
  slots_.assign(kQueueFrames, std::vector<unsigned char>(frameBytes_));
  first_ = queued_ = 0;
  closing_ = writeFailed_ = false;
  writeError_.clear();
  frames_ = dropped_ = 0;
  writer_ = std::thread(&VideoRecorder::writeFrames, this);
  return true;
}

void VideoRecorder::writeFrames() {
  // A write into the pipe of a finished ffmpeg raises SIGPIPE in this
  // thread; blocked here, it leaves the program alone and the write fails
  // with EPIPE instead. It dies pending with the thread.
  sigset_t pipeSignal;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    ready_.wait(lock, [this] { return queued_ > 0 || closing_; });
    if (queued_ == 0) return;
    const unsigned char* frame = slots_[first_].data();
    lock.unlock();
    int error = 0;
    const bool written = writeAll(pipe_, frame, frameBytes_, error);
    lock.lock();
    if (!written) {
      writeFailed_ = true;
      writeError_ = "ffmpeg stopped reading: " + reason(error);
      queued_ = 0;
      return;
    }
    first_ = (first_ + 1) % kQueueFrames;
    --queued_;
    ++frames_;
  }
}

unsigned char* VideoRecorder::frameSlot() {
  if (!recording()) return nullptr;
  std::lock_guard<std::mutex> lock(mutex_);
  if (writeFailed_ || queued_ == kQueueFrames) {
    ++dropped_;
    return nullptr;
  }
  // The writer only reads queued slots, so this one is the caller's until submitted.
  return slots_[(first_ + queued_) % kQueueFrames].data();
}

void VideoRecorder::submitFrame() {
  if (!recording()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (writeFailed_ || queued_ == kQueueFrames) return;
    ++queued_;
  }
  ready_.notify_one();
}

bool VideoRecorder::addFrame(const unsigned char* rgb) {
  unsigned char* slot = frameSlot();
  if (slot == nullptr) return false;
  std::memcpy(slot, rgb, frameBytes_);
  submitFrame();
  return true;
}

bool VideoRecorder::stop(std::string& report) {
  report.clear();
  if (!recording()) {
    report = "not recording";
    return false;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
  }
  ready_.notify_one();
  writer_.join();
  close(pipe_);  // end of input: ffmpeg finishes the file
  pipe_ = -1;
  int status = 0;
  pid_t waited;
  do {
    waited = waitpid(child_, &status, 0);
  } while (waited < 0 && errno == EINTR);
  child_ = -1;

  std::string error = waited < 0 ? "ffmpeg: " + reason(errno) : childEnd(status);
  if (error.empty() && writeFailed_) error = writeError_;
  if (error.empty() && syncFile(temporary_, error) && nameNewFile(temporary_, name_, error)) {
    report = "wrote " + name_ + ": " + std::to_string(frames_) + " frames, " +
             std::to_string(dropped_) + " dropped";
    cleanUp();
    return true;
  }
  unlink(temporary_.c_str());
  report = "could not record " + name_ + ": " + error;
  cleanUp();
  return false;
}

void VideoRecorder::cleanUp() {
  slots_.clear();
  slots_.shrink_to_fit();
  temporary_.clear();
}

bool VideoRecorder::failed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return writeFailed_;
}

double VideoRecorder::seconds() const {
  if (!recording()) return 0.0;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
}

long VideoRecorder::frames() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return frames_;
}

long VideoRecorder::dropped() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return dropped_;
}

}  // namespace viewkit
