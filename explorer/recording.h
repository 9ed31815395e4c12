// The lab's m key: the window recorded to drape-<frame>.mp4 through ffmpeg,
// one picture per drawn frame, until m is pressed again, Escape ends the
// program or ffmpeg ends on its own.
#pragma once

#include "viewkit/files/videoRecorder.h"

namespace explorer {

class Recording {
 public:
  /// Starts recording the even-sized lower-left part of the window at the
  /// rate given (rounded; 60 frames a second when not yet measured), or
  /// ends the recording under way. Reports "wrote <name>: <n> frames, <k>
  /// dropped" on standard output or "could not record[ <name>]: <reason>"
  /// on standard error. True when a recording started or was written.
  bool toggle(int frame, float fps);
  /// Ends the recording under way, reported as above.
  bool stop();
  /// Takes the window's picture as the next frame, after a drawn frame;
  /// a recording whose ffmpeg has ended is stopped (and said why) instead.
  void takeFrame();
  bool recording() const { return recorder_.recording(); }
  /// Seconds recorded so far.
  double seconds() const { return recorder_.seconds(); }

 private:
  viewkit::VideoRecorder recorder_;
};

}  // namespace explorer
