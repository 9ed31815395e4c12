// Timings of the cloth component, in the same run as drape's own step:
//   component/<N>/<threads>  one frame of the drape preset at N x N in free
//                            fall (frames 1-15, every node free), on one
//                            thread or on every core (threads 0);
//   drapeStep/falling        drapeApp::step over the same frames at 60 x 60;
//   component/rest/60, drapeStep/rest  frames 2001-2200, the cloth at rest;
//   component/run80/<N>      frames 2-81, falling and landing, on one thread:
//                            the frames bench/bulletCloth times for Bullet.
//   xpbd/<N>/<threads>      one frame of the hanging preset (the XPBD solver
//                            with stretch, shear, bending and tethers) after
//                            its first 10, counter ns_per_node_step: the frame
//                            over the nodes and the small steps.
// Every iteration is one frame, timed on its own; when the phase runs out the
// cloth is built again outside the timing. Counters: ns_per_node (the mean
// frame over the nodes) and allocs_per_frame.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <thread>

#include "app/drapeApp.h"
#include "bench/allocCounter.h"
#include "cloth/cloth.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Phase {
  int first, last;  // frames counted from 1 after construction
};
constexpr Phase kFalling{1, 15};
constexpr Phase kAtRest{2001, 2200};
constexpr Phase kRun80{2, 81};

int threadsFor(int arg) {
  const unsigned cores = std::thread::hardware_concurrency();
  return arg > 0 ? arg : static_cast<int>(cores == 0 ? 1 : cores);
}

std::unique_ptr<cloth::Cloth> clothAt(int size, int threads, const Phase& phase) {
  auto c = std::make_unique<cloth::Cloth>(cloth::Preset::drape,
                                          cloth::presetParams(cloth::Preset::drape, size), threads);
  for (int f = 1; f < phase.first; ++f) c->advance();
  return c;
}

void timeComponent(benchmark::State& state, int size, int threads, const Phase& phase) {
  std::unique_ptr<cloth::Cloth> c = clothAt(size, threads, phase);
  int frame = phase.first;
  double seconds = 0.0;
  uint64_t allocs = 0;
  for (auto _ : state) {
    if (frame > phase.last) {
      c = clothAt(size, threads, phase);
      frame = phase.first;
    }
    const uint64_t a0 = alloccount::allocations();
    const auto t0 = Clock::now();
    c->advance();
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    allocs += alloccount::allocations() - a0;
    state.SetIterationTime(s);
    seconds += s;
    ++frame;
  }
  const double frames = static_cast<double>(state.iterations());
  state.counters["ns_per_node"] = seconds * 1e9 / frames / (size * size);
  state.counters["allocs_per_frame"] = static_cast<double>(allocs) / frames;
  state.counters["threads"] = c->threads();
}

void BM_Component(benchmark::State& state) {
  timeComponent(state, static_cast<int>(state.range(0)), threadsFor(static_cast<int>(state.range(1))),
                kFalling);
}

void BM_ComponentRun80(benchmark::State& state) {
  timeComponent(state, static_cast<int>(state.range(0)), 1, kRun80);
}

void BM_ComponentAtRest(benchmark::State& state) {
  timeComponent(state, 60, 1, kAtRest);
}

void BM_Xpbd(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  cloth::Cloth c(cloth::Preset::hanging, cloth::presetParams(cloth::Preset::hanging, size),
                 static_cast<int>(state.range(1)));
  for (int f = 0; f < 10; ++f) c.advance();
  double seconds = 0.0;
  uint64_t allocs = 0;
  for (auto _ : state) {
    const uint64_t a0 = alloccount::allocations();
    const auto t0 = Clock::now();
    c.advance();
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    allocs += alloccount::allocations() - a0;
    state.SetIterationTime(s);
    seconds += s;
  }
  const double frames = static_cast<double>(state.iterations());
  state.counters["ns_per_node_step"] =
      seconds * 1e9 / frames / (static_cast<double>(size) * size * c.stepsPerFrame());
  state.counters["allocs_per_frame"] = static_cast<double>(allocs) / frames;
}

// drape's application object is big (its arrays are fields): it lives on
// the heap, and is made once per phase start.
drapeApp* drapeAt(const Phase& phase) {
  drapeApp* app = new drapeApp();
  for (int f = 1; f < phase.first; ++f) app->step();
  return app;
}

void timeDrape(benchmark::State& state, const Phase& phase) {
  drapeApp* app = drapeAt(phase);
  int frame = phase.first;
  double seconds = 0.0;
  for (auto _ : state) {
    if (frame > phase.last) {
      app = drapeAt(phase);  // the old one is left, like the program's
      frame = phase.first;
    }
    const auto t0 = Clock::now();
    app->step();
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    state.SetIterationTime(s);
    seconds += s;
    ++frame;
  }
  state.counters["ns_per_node"] = seconds * 1e9 / static_cast<double>(state.iterations()) / 3600;
}

void BM_DrapeFalling(benchmark::State& state) {
  timeDrape(state, kFalling);
}
void BM_DrapeAtRest(benchmark::State& state) {
  timeDrape(state, kAtRest);
}

}  // namespace

BENCHMARK(BM_Component)
    ->Name("component")
    ->ArgsProduct({{60, 128, 256, 512}, {1, 0}})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(0.3);
BENCHMARK(BM_ComponentRun80)
    ->Name("component/run80")
    ->Arg(60)->Arg(128)->Arg(256)->Arg(512)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(0.3);
BENCHMARK(BM_Xpbd)
    ->Name("xpbd")
    ->Args({64, 1})->Args({128, 1})->Args({256, 1})->Args({512, 1})->Args({256, 2})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.3);
BENCHMARK(BM_DrapeFalling)->Name("drapeStep/falling")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComponentAtRest)->Name("component/rest/60")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrapeAtRest)->Name("drapeStep/rest")->UseManualTime()->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
