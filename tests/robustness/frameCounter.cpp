// Preloaded (LD_PRELOAD) into a program under test: counts the frames it
// shows, that is its glutSwapBuffers calls, and keeps "frames pid" in the
// file named by ZE_FRAME_COUNT_FILE, rewritten in place after every frame.
// It allocates nothing and prints nothing.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

using SwapFn = void (*)();

SwapFn realSwap() {
  static SwapFn fn = reinterpret_cast<SwapFn>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
  return fn;
}

int countFile() {
  static int fd = [] {
    const char* path = std::getenv("ZE_FRAME_COUNT_FILE");
    return path ? open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644) : -1;
  }();
  return fd;
}

unsigned long frames = 0;

}  // namespace

extern "C" void glutSwapBuffers() {
  if (SwapFn fn = realSwap()) fn();
  ++frames;
  const int fd = countFile();
  if (fd < 0) return;
  // Fixed width, so each write covers the previous one completely.
  char line[40];
  const int n =
      std::snprintf(line, sizeof line, "%20lu %10d\n", frames, static_cast<int>(getpid()));
  if (n > 0 && pwrite(fd, line, static_cast<size_t>(n), 0) < 0) return;
}
