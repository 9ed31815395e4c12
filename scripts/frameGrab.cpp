// A preload library for scripts/make-gif.sh: it wraps glutSwapBuffers and,
// before the swaps numbered in GRAB_FRAMES (a comma-separated list, counting
// from 1), reads the rectangle GRAB_RECT ("x,y,width,height", pixels from
// the bottom-left corner) of the finished back buffer and writes it as
// GRAB_DIR/frameNNNNN.ppm. After the last of them it ends the process with
// exit(0). The program itself is not changed, and frames are taken by
// number, so the pictures do not depend on how fast the machine runs.
//
// For programs that move by the clock: GRAB_SECONDS=s instead of GRAB_FRAMES
// takes the one frame finished s seconds after the first swap, and
// GRAB_SLEEP_MS=n waits n milliseconds before every swap, which caps the
// frame rate (two runs with different n show a program at two rates).
#include <GL/gl.h>
#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

struct Grab {
  void (*realSwap)() = nullptr;
  const char* dir = ".";
  std::vector<long> frames;  // ascending
  size_t next = 0;           // index of the next frame to take
  int x = 0, y = 0, width = 0, height = 0;
  long swaps = 0;
  std::vector<unsigned char> pixels;
  double seconds = -1.0;  // GRAB_SECONDS, or -1 for frames by number
  long sleepMs = 0;
  std::chrono::steady_clock::time_point firstSwap;
};
Grab g;

void setUp() {
  g.realSwap = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
  if (!g.realSwap) {
    std::fputs("frameGrab: no glutSwapBuffers to forward to\n", stderr);
    std::_Exit(2);
  }
  if (const char* dir = std::getenv("GRAB_DIR")) g.dir = dir;
  if (const char* s = std::getenv("GRAB_SECONDS")) g.seconds = std::strtod(s, nullptr);
  if (const char* s = std::getenv("GRAB_SLEEP_MS")) g.sleepMs = std::strtol(s, nullptr, 10);
  if (g.seconds >= 0.0) g.frames.push_back(0);  // filled in when the time comes
  const char* list = g.seconds >= 0.0 ? nullptr : std::getenv("GRAB_FRAMES");
  for (char* end = nullptr; list && *list; list = *end ? end + 1 : end) {
    const long n = std::strtol(list, &end, 10);
    if (end == list || (!g.frames.empty() && n <= g.frames.back())) break;
    g.frames.push_back(n);
  }
  const char* rect = std::getenv("GRAB_RECT");
  if (!rect || std::sscanf(rect, "%d,%d,%d,%d", &g.x, &g.y, &g.width, &g.height) != 4 ||
      g.width <= 0 || g.height <= 0 || g.frames.empty()) {
    std::fputs("frameGrab: set GRAB_RECT=x,y,width,height and GRAB_FRAMES=n1,n2,... ascending\n",
               stderr);
    std::_Exit(2);
  }
  g.pixels.resize(static_cast<size_t>(g.width) * g.height * 3);
}

void writeFrame(long number) {
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(g.x, g.y, g.width, g.height, GL_RGB, GL_UNSIGNED_BYTE, g.pixels.data());
  char path[4096];
  std::snprintf(path, sizeof path, "%s/frame%05ld.ppm", g.dir, number);
  FILE* out = std::fopen(path, "wb");
  if (!out) {
    std::fprintf(stderr, "frameGrab: cannot write %s\n", path);
    std::_Exit(2);
  }
  std::fprintf(out, "P6\n%d %d\n255\n", g.width, g.height);
  const size_t row = static_cast<size_t>(g.width) * 3;
  for (int r = g.height - 1; r >= 0; --r)  // OpenGL's rows run bottom to top
    std::fwrite(g.pixels.data() + r * row, 1, row, out);
  std::fclose(out);
}

}  // namespace

extern "C" void glutSwapBuffers() {
  if (!g.realSwap) setUp();
  ++g.swaps;
  if (g.sleepMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(g.sleepMs));
  const auto now = std::chrono::steady_clock::now();
  if (g.swaps == 1) g.firstSwap = now;
  if (g.seconds >= 0.0 && std::chrono::duration<double>(now - g.firstSwap).count() >= g.seconds)
    g.frames[0] = g.swaps;
  const bool take = g.swaps == g.frames[g.next];
  if (take) writeFrame(g.swaps);
  g.realSwap();
  if (take && ++g.next == g.frames.size()) std::exit(0);
}
