#include "explorer/commandLine.h"

#include <cerrno>
#include <cstdlib>
#include <thread>

namespace explorer {

const char kUsage[] =
    "usage: drapeExplorer [options]\n"
    "  --size N          nodes along each side of the cloth, 8 to 512 (default 60)\n"
    "  --preset NAME     drape (default), curtain or flag\n"
    "  --threads K       threads that step the cloth, 1 to 64 (default: the number of cores)\n"
    "  --batch FRAMES    run up to frame FRAMES without a window and print\n"
    "                    \"cloth digest FRAMES <16 hex digits>\"\n"
    "  --scene FILE      open a scene saved with s (it holds the size and the preset);\n"
    "                    with --batch, run it on from its frame up to frame FRAMES\n"
    "  --obj FILE        with --batch: write the final cloth as a Wavefront OBJ (- for\n"
    "                    standard output)\n"
    "  --shape FILE      with --batch: write the final cloth as a shape record\n"
    "  --help            show this help\n"
    "In the window: drag orbits, the wheel zooms, a click prints the node; space pauses,\n"
    ". steps, r restarts, n changes the look, t the turn, v the view; p, o, w, s save a\n"
    "PNG, an OBJ, a shape record, a scene; F1 toggles full screen, Escape quits.\n";

int defaultThreads() {
  const unsigned cores = std::thread::hardware_concurrency();
  if (cores == 0) return 1;
  return cores > 64 ? 64 : static_cast<int>(cores);
}

namespace {

// A whole number in [least, most], written in decimal and nothing else.
bool readWhole(const char* text, long least, long most, long& value) {
  if (*text == '\0' || *text == ' ' || *text == '+') return false;
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (errno != 0 || *end != '\0' || v < least || v > most) return false;
  value = v;
  return true;
}

}  // namespace

bool parseCommandLine(int argc, const char* const* argv, Options& options, std::string& error) {
  options = Options();
  options.threads = defaultThreads();
  bool objGiven = false, shapeGiven = false, sizeGiven = false, presetGiven = false;
  for (int k = 1; k < argc; ++k) {
    const std::string option = argv[k];
    if (option == "--help") {
      options.help = true;
      continue;
    }
    const bool takesValue = option == "--size" || option == "--threads" || option == "--preset" ||
                            option == "--batch" || option == "--obj" || option == "--shape" ||
                            option == "--scene";
    if (!takesValue) {
      error = "unknown option '" + option + "' (see --help)";
      return false;
    }
    if (k + 1 >= argc) {
      error = option + ": missing value";
      return false;
    }
    const char* value = argv[++k];
    long n = 0;
    if (option == "--size") {
      if (!readWhole(value, cloth::kMinSize, cloth::kMaxSize, n)) {
        error = "--size: '" + std::string(value) + "' is not a whole number from 8 to 512";
        return false;
      }
      options.size = static_cast<int>(n);
      sizeGiven = true;
    } else if (option == "--threads") {
      if (!readWhole(value, 1, 64, n)) {
        error = "--threads: '" + std::string(value) + "' is not a whole number from 1 to 64";
        return false;
      }
      options.threads = static_cast<int>(n);
    } else if (option == "--preset") {
      if (!cloth::presetFromName(value, options.preset)) {
        error = "--preset: unknown preset '" + std::string(value) + "' (one of " +
                cloth::presetNames() + ")";
        return false;
      }
      presetGiven = true;
    } else if (option == "--batch") {
      if (!readWhole(value, 0, 100000000, n)) {
        error = "--batch: '" + std::string(value) + "' is not a whole number from 0 to 100000000";
        return false;
      }
      options.batch = n;
    } else if (*value == '\0') {
      error = option + ": empty file name";
      return false;
    } else if (option == "--scene") {
      options.scene = value;
    } else if (option == "--obj") {
      options.obj = value;
      objGiven = true;
    } else {
      options.shape = value;
      shapeGiven = true;
    }
  }
  if ((objGiven || shapeGiven) && options.batch < 0 && !options.help) {
    error = std::string(objGiven ? "--obj" : "--shape") + ": only with --batch FRAMES";
    return false;
  }
  // A scene's nodes are laid out for its own size and its pins come from its
  // run, so neither can be chosen again.
  if ((sizeGiven || presetGiven) && !options.scene.empty() && !options.help) {
    error = std::string(sizeGiven ? "--size" : "--preset") +
            ": not with --scene (the scene holds its size and preset)";
    return false;
  }
  return true;
}

}  // namespace explorer
