// Timings of the explorer against the GL recording stand-in, recording off,
// on the cloth as it lies after 300 frames (draped):
//   normals/60x60     the mesh's per-vertex normal generation, which every
//                     draw of the surface runs once;
//   explorer/frame    one whole frame of the explorer in the surface-with-net
//                     look with a node under the pointer (paused, so every
//                     frame draws the same cloth);
//   explorer/1000_frames  the heap allocations of 1000 running frames.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "bench/allocCounter.h"
#include "explorer/drapeExplorerApp.h"
#include "testkit/glRecorder.h"
#include "zeShape/zeNiceShapes.h"
#include "zeu/zeu.h"

namespace {

using Clock = std::chrono::steady_clock;

void frame(drapeExplorerApp& app) {
  zeuOpenToloFrame();
  app.draw();
  zeuCloseToloFrame();
}

std::unique_ptr<drapeExplorerApp> drapedExplorer() {
  glrec::reset();
  glrec::state().recording = false;
  zeuScreenFov = 60.0f;  // as zeuOpen sets it
  zeuWindowClear = true;
  zeuWindowWidth = 1920;
  zeuWindowHeight = 1080;
  std::unique_ptr<drapeExplorerApp> app(new drapeExplorerApp());
  app->resize(0.0f, 0.0f, 1920.0f, 1080.0f);
  for (int k = 0; k < 300; ++k) frame(*app);
  return app;
}

void BM_Normals(benchmark::State& state) {
  auto app = drapedExplorer();
  zeMeshShape& mesh = *app->mesh;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    mesh.calculateNormals();
    benchmark::DoNotOptimize(mesh.normalList[1830]);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
  }
}

void BM_ExplorerFrame(benchmark::State& state) {
  auto app = drapedExplorer();
  app->keyDown('n');
  app->keyDown(' ');
  app->mouseMove(960.0f, 540.0f);
  frame(*app);
  for (auto _ : state) {
    const auto t0 = Clock::now();
    frame(*app);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
  }
  state.counters["hovered"] = app->hovered;
}

void BM_Explorer1000FramesAllocations(benchmark::State& state) {
  uint64_t allocations = 0;
  for (auto _ : state) {
    auto app = drapedExplorer();
    app->keyDown('n');
    app->mouseMove(960.0f, 540.0f);
    frame(*app);
    const auto t0 = Clock::now();
    const uint64_t before = alloccount::allocations();
    for (int k = 0; k < 1000; ++k) frame(*app);
    allocations += alloccount::allocations() - before;
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
  }
  state.counters["heap_allocs"] =
      benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

}  // namespace

BENCHMARK(BM_Normals)->Name("normals/60x60")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExplorerFrame)->Name("explorer/frame")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Explorer1000FramesAllocations)
    ->Name("explorer/1000_frames")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
