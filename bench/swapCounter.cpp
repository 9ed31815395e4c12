// A preload library that counts a GLUT program's frames without touching the
// program: it wraps glutSwapBuffers, hands every call on to the real one, and
// after a warm-up counts the buffer swaps of a fixed stretch of wall time.
// Then it prints one line to the standard error stream and ends the process
// with exit(0):
//   swapcount window_ms=A main_loop_ms=B first_frame_ms=C frames=N
//             seconds=S fps=R cpu_ms_per_frame=P size=WxH
// The three times run from SWAPCOUNT_T0 (the launch, in nanoseconds of
// CLOCK_REALTIME, set by the caller just before starting the program) to the
// return of glutCreateWindow (window and GL context made), to the entry of
// glutMainLoop (the program's own start-up done) and to the end of the first
// swap; -1 without SWAPCOUNT_T0. cpu_ms_per_frame is the processor time of
// the whole process (all its threads, user and system) over the counted
// frames: unlike the frame rate, it hardly moves when other work shares the
// machine, though it leaves out the X server's share of each frame.
// Settings, from the environment:
//   SWAPCOUNT_WARMUP   seconds after the first frame before counting (2)
//   SWAPCOUNT_SECONDS  seconds to count (5)
//   SWAPCOUNT_T0       launch time, optional
#include <GL/gl.h>
#include <dlfcn.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

double envSeconds(const char* name, double fallback) {
  const char* text = std::getenv(name);
  return text && *text ? std::atof(text) : fallback;
}

double realtimeSeconds() {
  timespec t;
  clock_gettime(CLOCK_REALTIME, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

double processCpuSeconds() {
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

double monotonicSeconds() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

// Milliseconds since SWAPCOUNT_T0, or -1 when it is not set.
double sinceLaunchMs() {
  const char* t0 = std::getenv("SWAPCOUNT_T0");
  if (!t0 || !*t0) return -1.0;
  return (realtimeSeconds() - std::atof(t0) * 1e-9) * 1000.0;
}

template <typename F>
F forwardTo(const char* name) {
  void* real = dlsym(RTLD_NEXT, name);
  if (!real) {
    std::fprintf(stderr, "swapcount: no %s to forward to\n", name);
    std::_Exit(2);
  }
  return reinterpret_cast<F>(real);
}

struct Counter {
  void (*realSwap)() = nullptr;
  double windowMs = -1.0;
  double mainLoopMs = -1.0;
  bool started = false;
  bool counting = false;
  double firstFrameMs = -1.0;
  double firstFrame = 0.0;  // monotonic seconds
  double countFrom = 0.0;
  double cpuFrom = 0.0;
  long frames = 0;
  double warmup = 2.0;
  double seconds = 5.0;
};
Counter g;

void report(double now) {
  int viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  const double elapsed = now - g.countFrom;
  const double cpu = processCpuSeconds() - g.cpuFrom;
  std::fprintf(stderr,
               "swapcount window_ms=%.1f main_loop_ms=%.1f first_frame_ms=%.1f frames=%ld "
               "seconds=%.3f fps=%.2f cpu_ms_per_frame=%.3f size=%dx%d\n",
               g.windowMs, g.mainLoopMs, g.firstFrameMs, g.frames, elapsed, g.frames / elapsed,
               cpu * 1000.0 / g.frames, viewport[2], viewport[3]);
  std::fflush(stderr);
}

}  // namespace

extern "C" int glutCreateWindow(const char* title) {
  static const auto real = forwardTo<int (*)(const char*)>("glutCreateWindow");
  const int window = real(title);
  if (g.windowMs < 0.0) g.windowMs = sinceLaunchMs();
  return window;
}

extern "C" void glutMainLoop() {
  static const auto real = forwardTo<void (*)()>("glutMainLoop");
  g.mainLoopMs = sinceLaunchMs();
  real();
}

extern "C" void glutSwapBuffers() {
  if (!g.realSwap) g.realSwap = forwardTo<void (*)()>("glutSwapBuffers");
  g.realSwap();
  const double now = monotonicSeconds();
  if (!g.started) {
    g.started = true;
    g.firstFrame = now;
    g.warmup = envSeconds("SWAPCOUNT_WARMUP", 2.0);
    g.seconds = envSeconds("SWAPCOUNT_SECONDS", 5.0);
    g.firstFrameMs = sinceLaunchMs();
    return;
  }
  if (!g.counting) {
    if (now - g.firstFrame >= g.warmup) {
      g.counting = true;
      g.countFrom = now;
      g.cpuFrom = processCpuSeconds();
    }
    return;
  }
  ++g.frames;
  if (now - g.countFrom >= g.seconds) {
    report(now);
    std::exit(0);
  }
}
