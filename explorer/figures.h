// The lab's figures of each frame (frames a second, the smoothed times of
// the step, of the rest of the draw and of the panel) and the overlay text
// in the window's top-left corner that shows them with the key help.
#pragma once

#include <chrono>
#include <cstddef>

#include "cloth/cloth.h"

namespace explorer {

using Clock = std::chrono::steady_clock;

/// Milliseconds from `since` to now.
float millisecondsSince(Clock::time_point since);

class FrameFigures {
 public:
  float fps = 0;      ///< frames per second over the last whole second
  float stepMs = 0;   ///< the cloth's step, smoothed
  float drawMs = 0;   ///< the rest of a frame, smoothed
  float panelMs = 0;  ///< the panel's share of drawMs, smoothed

  /// Measured times, followed by the shown ones over some ten frames.
  void stepTook(float ms);
  void drawTook(float ms);
  void panelTook(float ms);
  /// One more frame drawn; fps is counted again each whole second.
  void countFrame();

 private:
  Clock::time_point start_ = Clock::now();
  int frames_ = 0;
};

/// What the overlay says of a frame.
struct OverlayFacts {
  int frame = 0;
  float fps = 0;
  bool paused = false;
  double recordingSeconds = -1;  ///< seconds recorded, or -1 when not recording
  int hovered = -1;              ///< node under the pointer, or -1
};

/// "frame <f>   <fps> fps[   paused][   recording m:ss]\n", then the node
/// under the pointer "node <n> (<x>, <y>, <z>)[ on terrain]" or nothing,
/// then a newline and the key help. Cut short to fit, never past size.
void overlayText(char* out, size_t size, const OverlayFacts& facts, const cloth::Cloth& cloth);

/// Draws text at the window's top-left corner.
void drawOverlay(const char* text, float windowHeight);

}  // namespace explorer
