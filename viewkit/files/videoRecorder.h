/// @file
/// Video of a window: raw RGB frames piped to Debian's `ffmpeg`, which
/// encodes them as H.264 into an MP4 file. The frames go through a small
/// queue of buffers made when the recording starts and a writer thread, so
/// the program never waits for the encoder: when the queue is full a frame
/// is dropped and counted. The file takes its final name only when ffmpeg
/// has finished cleanly, and never over an existing file; a failed or killed
/// ffmpeg leaves nothing behind.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "viewkit/files/childProcess.h"

/// Viewer kit of the zeu framework: camera, pointer, picking, files.
namespace viewkit {

/// One recording at a time; start again after stop for the next.
class VideoRecorder {
 public:
  /// Frames that may wait for the encoder before new ones are dropped.
  static constexpr int kQueueFrames = 3;

  /// Seconds the encoder may take no frame (or stay stopped) before it is given up on.
  static constexpr double kStallSeconds = 5.0;
  /// Seconds the encoder may take to finish the file once its input has ended.
  static constexpr double kFinishSeconds = 60.0;

  /// stallSeconds replaces kStallSeconds (for tests).
  explicit VideoRecorder(double stallSeconds = kStallSeconds) : stallSeconds_(stallSeconds) {}
  /// Finishes a running recording as stop() does.
  ~VideoRecorder();
  VideoRecorder(const VideoRecorder&) = delete;
  VideoRecorder& operator=(const VideoRecorder&) = delete;

  /// Starts ffmpeg (found on PATH) encoding width x height frames at fps into a temporary file
  /// beside `name`. width and height must be even and positive. On failure returns false with
  /// one line in error ("ffmpeg not found", ...), and nothing is left running or on disk.
  bool start(const std::string& name, int width, int height, double fps, std::string& error);

  /// The buffer for the next frame (width * height * 3 bytes, RGB, bottom row first, as
  /// glReadPixels gives them), or nullptr when the queue is full or the encoder has failed: the
  /// frame is then counted as dropped. Fill it, then call submitFrame().
  unsigned char* frameSlot();
  /// Hands the frame filled through frameSlot() to the writer.
  void submitFrame();
  /// frameSlot(), a copy of rgb, submitFrame(); false when the frame was dropped.
  bool addFrame(const unsigned char* rgb);

  /// Ends the recording: the queued frames are written, ffmpeg finishes and the file gets its
  /// name. report is "wrote <name>: <n> frames, <k> dropped" (true) or "could not record <name>:
  /// <reason>" (false; the temporary file is removed). An ffmpeg that takes no frame or stays
  /// stopped for kStallSeconds, or has not finished kFinishSeconds after the last frame, is
  /// killed, so that this returns within about those times.
  bool stop(std::string& report);

  /// Between a successful start() and stop().
  bool recording() const { return encoder_.running(); }
  /// ffmpeg stopped taking frames (it ended or failed); stop() says why.
  bool failed() const;
  /// The final name of the file.
  const std::string& name() const { return name_; }
  /// The frame width in pixels.
  int width() const { return width_; }
  /// The frame height in pixels.
  int height() const { return height_; }
  /// Seconds since start().
  double seconds() const;
  /// Frames written to ffmpeg so far.
  long frames() const;
  /// Frames dropped so far.
  long dropped() const;

 private:
  void writeFrames();
  void cleanUp();

  std::string name_, temporary_;
  int width_ = 0, height_ = 0;
  size_t frameBytes_ = 0;
  ChildProcess encoder_;
  std::chrono::steady_clock::time_point started_;

  mutable std::mutex mutex_;
  std::condition_variable ready_;
  std::vector<std::vector<unsigned char>> slots_;
  int first_ = 0;   // the oldest queued frame
  int queued_ = 0;  // frames waiting for the writer
  bool closing_ = false;
  bool writeFailed_ = false;
  bool stalled_ = false;  // the write failed because ffmpeg took nothing
  double stallSeconds_;
  std::string writeError_;
  long frames_ = 0, dropped_ = 0;
  std::thread writer_;
};

}  // namespace viewkit
