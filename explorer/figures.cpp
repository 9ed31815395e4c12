#include "explorer/figures.h"

#include <cstdio>

#include "explorer/keys.h"
#include "zeu/zeuOverlayText.h"

namespace explorer {

namespace {

constexpr float kText[3] = {0.9f, 0.9f, 0.9f};

void smooth(float& shown, float measured) {
  shown = shown == 0.0f ? measured : 0.9f * shown + 0.1f * measured;
}

}  // namespace

float millisecondsSince(Clock::time_point since) {
  return std::chrono::duration<float, std::milli>(Clock::now() - since).count();
}

void FrameFigures::stepTook(float ms) {
  smooth(stepMs, ms);
}

void FrameFigures::drawTook(float ms) {
  smooth(drawMs, ms);
}

void FrameFigures::panelTook(float ms) {
  smooth(panelMs, ms);
}

void FrameFigures::countFrame() {
  ++frames_;
  const auto now = Clock::now();
  const double seconds = std::chrono::duration<double>(now - start_).count();
  if (seconds >= 1.0) {
    fps = static_cast<float>(frames_ / seconds);
    frames_ = 0;
    start_ = now;
  }
}

void overlayText(char* out, size_t size, const OverlayFacts& f, const cloth::Cloth& cloth) {
  if (size == 0) return;
  char recordingText[40] = "";
  if (f.recordingSeconds >= 0) {
    const long seconds = static_cast<long>(f.recordingSeconds);
    std::snprintf(recordingText, sizeof recordingText, "   recording %ld:%02ld", seconds / 60,
                  seconds % 60);
  }
  // snprintf never writes past the buffer; a cut line is all that can happen.
  int used = std::snprintf(out, size, "frame %d   %.1f fps%s%s\n", f.frame, f.fps,
                           f.paused ? "   paused" : "", recordingText);
  if (used < 0 || static_cast<size_t>(used) >= size) used = 0;
  const size_t left = size - static_cast<size_t>(used);
  const char* help = keyHelp().c_str();
  if (f.hovered >= 0) {
    const zeVec3f& p = cloth.positions()[f.hovered];
    std::snprintf(out + used, left, "node %d (%.2f, %.2f, %.2f)%s\n%s", f.hovered, p.x, p.y, p.z,
                  cloth.inContact(f.hovered) ? " on terrain" : "", help);
  } else {
    std::snprintf(out + used, left, "\n%s", help);
  }
}

void drawOverlay(const char* text, float windowHeight) {
  zeuOverlayText(10.0f, windowHeight - 8.0f, text, kText[0], kText[1], kText[2]);
}

}  // namespace explorer
