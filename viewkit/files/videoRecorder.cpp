#include "viewkit/files/videoRecorder.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "viewkit/files/errorText.h"
#include "viewkit/files/safeFile.h"
#include "viewkit/files/temporaryFile.h"

namespace viewkit {

namespace {

// The lowest priority: the encoder gets the time nothing else wants.
constexpr int kEncoderNice = 19;

bool syncFile(const std::string& path, std::string& error) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 || fsync(fd) != 0) {
    error = errorText(errno);
    if (fd >= 0) close(fd);
    return false;
  }
  close(fd);
  return true;
}

}  // namespace

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
  int tmpError = 0;
  const int fd = createTemporaryFile(name, newFileMode(), temporary_, tmpError);
  if (fd < 0) {
    error = errorText(tmpError);
    return false;
  }
  close(fd);  // ffmpeg writes it by name

  char size[32], rate[32];
  std::snprintf(size, sizeof size, "%dx%d", width, height);
  // A whole number of frames a second, as players expect.
  const long perSecond = std::isfinite(fps) ? std::lround(fps) : 0;
  std::snprintf(rate, sizeof rate, "%ld", perSecond < 1 ? 1 : perSecond > 1000 ? 1000 : perSecond);
  // The frames arrive bottom row first; the output format is given, as the
  // temporary name has no extension to tell it.
  const std::vector<std::string> args = {
      ffmpeg,      "-hide_banner", "-loglevel", "error", "-nostdin", "-y",      "-f",
      "rawvideo",  "-pix_fmt",     "rgb24",     "-s",    size,       "-r",      rate,
      "-i",        "pipe:0",       "-vf",       "vflip", "-c:v",     "libx264", "-preset",
      "ultrafast", "-pix_fmt",     "yuv420p",   "-f",    "mp4",      temporary_};
  // The encoder takes the time the program leaves: it may drop frames, the
  // program's own frames must not wait for it.
  if (!encoder_.start("ffmpeg", args, kEncoderNice, error)) {
    unlink(temporary_.c_str());
    return false;
  }

  name_ = name;
  width_ = width;
  height_ = height;
  frameBytes_ = static_cast<size_t>(width) * static_cast<size_t>(height) * 3;
  started_ = std::chrono::steady_clock::now();
  // Made here, once: a frame never allocates while recording.
  slots_.assign(kQueueFrames, std::vector<unsigned char>(frameBytes_));
  first_ = queued_ = 0;
  closing_ = writeFailed_ = stalled_ = false;
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
    const bool written = encoder_.write(frame, frameBytes_, error, stallSeconds_);
    lock.lock();
    if (!written) {
      writeFailed_ = true;
      stalled_ = error == ETIMEDOUT;
      char stall[96];
      std::snprintf(stall, sizeof stall, "ffmpeg took no frame for %g s; gave up on it",
                    stallSeconds_);
      writeError_ = stalled_ ? stall : "ffmpeg stopped reading: " + errorText(error);
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
  // The end of the input: ffmpeg finishes the file.
  // One that took nothing is killed at once, else it has its time to finish.
  std::string error =
      stalled_ ? encoder_.finish(0.0, 0.0) : encoder_.finish(stallSeconds_, kFinishSeconds);
  if ((error.empty() || stalled_) && writeFailed_) error = writeError_;
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
