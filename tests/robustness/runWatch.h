// Watching a program started in an X session: its frame count, kept by the
// preloaded frame counter, and its resident memory.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace runwatch {

struct Frames {
  unsigned long count = 0;
  int pid = 0;
};

// What the frame counter last wrote, if it has written anything yet.
inline std::optional<Frames> readFrames(const std::string& path) {
  std::ifstream f(path);
  Frames fr;
  if (!(f >> fr.count >> fr.pid) || fr.pid <= 0) return std::nullopt;
  return fr;
}

// VmRSS of a process in KiB, or -1 when it cannot be read.
inline long residentKiB(int pid) {
  std::ifstream f("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(f, line))
    if (line.compare(0, 6, "VmRSS:") == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return -1;
}

// The environment for a watched program: the frame counter preloaded and
// told where to write. AddressSanitizer builds must accept a preloaded
// library ahead of their runtime; their leak check cannot see into the GL
// driver, which is unloaded before it runs; and their quarantine of freed
// blocks, filled by the driver's per-frame allocations, would make the
// resident size wander by megabytes and hide any real trend.
inline std::vector<std::string> watchedEnvironment(const std::string& countFile) {
  const char* asan = std::getenv("ASAN_OPTIONS");
  return {std::string("LD_PRELOAD=") + ZE_FRAME_COUNTER, "ZE_FRAME_COUNT_FILE=" + countFile,
          std::string("ASAN_OPTIONS=") + (asan ? asan : "") +
              ":detect_leaks=0:verify_asan_link_order=0:quarantine_size_mb=0:"
              "thread_local_quarantine_size_kb=0"};
}

inline double envSeconds(const char* name, double fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::atof(v) : fallback;
}

}  // namespace runwatch
