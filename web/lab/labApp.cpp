#include "web/lab/labApp.h"

#include <chrono>
#include <cstdio>
#include <utility>

#include "explorer/batch.h"
#include "web/platform/webPlatform.h"

// From web/lab/labWeb.js.
extern "C" void zeLabProgress(long frame, long target);
extern "C" void zeLabTogglePanel();
extern "C" void zeLabOfferNewFiles();

namespace {
// The emulation copies each call's vertices into a buffer of 2 MB and takes
// 16-bit indices: a window of 32,768 vertices keeps a call within both.
constexpr int32_t kVertexWindow = 32768;
// The frames run between two pictures while a digest is on its way: long
// enough that drawing costs little, short enough that the page answers.
constexpr std::chrono::milliseconds kRunSlice(50);
}  // namespace

labWebApp::labWebApp(std::unique_ptr<cloth::Cloth> cloth, long frames)
    : drapeExplorerApp(std::move(cloth)), target_(frames), finished_(false) {
  drawInShortCalls(kVertexWindow);
}

// Towards the target the cloth advances here, and the picture of each slice
// is drawn paused, so that the frame count ends exactly at the target.
void labWebApp::draw() {
  if (target_ < 0) {
    drapeExplorerApp::draw();
    return;
  }
  if (finished_) return;
  runTowardsTarget();
  paused = true;
  drapeExplorerApp::draw();
  if (frame() >= target_) {
    finished_ = true;
    zeWebFinishWith(explorer::digestLine(cloth()));
  }
}

void labWebApp::runTowardsTarget() {
  const auto start = std::chrono::steady_clock::now();
  while (frame() < target_ && std::chrono::steady_clock::now() - start < kRunSlice) advanceCloth();
  zeLabProgress(frame(), target_);
}

void labWebApp::keyDown(char key) {
  if (key == '\t') {
    zeLabTogglePanel();
    return;
  }
  // WebGL's drawing buffer cannot be read back here.
  if (key == 'm' || key == 'p') {
    std::fprintf(stderr, "%s\n",
                 key == 'm' ? "could not record: the page records no video (drapeExplorer's m does)"
                            : "could not write a PNG: the browser's own screenshot takes one");
    return;
  }
  drapeExplorerApp::keyDown(key);
  if (key == 'o' || key == 'w' || key == 's') zeLabOfferNewFiles();
}
