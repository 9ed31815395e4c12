#include "explorer/commandLine.h"

#include <cerrno>
#include <cstdlib>
#include <thread>
#include <utility>
#include <vector>

#include "explorer/keys.h"
#include "explorer/paramText.h"

namespace explorer {

std::string usage() {
  char text[2048];
  std::snprintf(
      text, sizeof text,
      "usage: drapeExplorer [options]\n"
      "  --size N          nodes along each side of the cloth, %d to %d (default 60)\n"
      "  --preset NAME     %s (the first is the default)\n"
      "  --set NAME=VALUE  set a parameter of the cloth (any of --list-params) over the\n"
      "                    preset's value; may be given again. --set size=N is --size N\n"
      "  --list-params     list the parameters (name, range, default, meaning) and end\n"
      "  --threads K       threads that step the cloth, %d to %d (default: the number of cores)\n"
      "  --batch FRAMES    run up to frame FRAMES without a window and print\n"
      "                    \"cloth digest FRAMES <16 hex digits>\"\n"
      "  --scene FILE      open a scene saved with s (it holds the size, the preset and\n"
      "                    the parameters); with --batch, run it on from its frame up to\n"
      "                    frame FRAMES\n"
      "  --obj FILE        with --batch: write the final cloth as a Wavefront OBJ (- for\n"
      "                    standard output)\n"
      "  --shape FILE      with --batch: write the final cloth as a shape record\n"
      "  --collider FILE   keep the cloth out of the closed triangle mesh of a Wavefront\n"
      "                    OBJ file, placed as written (the xpbd solver); may be given again\n"
      "  --help            show this help\n"
      "In the window:\n",
      cloth::kMinSize, cloth::kMaxSize, cloth::presetNames(), cloth::kMinThreads,
      cloth::kMaxThreads);
  return text + keyList();
}

bool loadColliders(Options& options, std::string& error) {
  options.meshes.clear();
  for (const std::string& file : options.colliders) {
    std::string what;
    auto mesh = cloth::loadMeshObstacle(file, what);
    if (!mesh) {
      error = file + ": " + what;
      return false;
    }
    options.meshes.push_back(std::move(mesh));
  }
  return true;
}

int defaultThreads() {
  const unsigned cores = std::thread::hardware_concurrency();
  if (cores == 0) return 1;
  return cores > cloth::kMaxThreads ? cloth::kMaxThreads : static_cast<int>(cores);
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

std::string range(long least, long most) {
  return std::to_string(least) + " to " + std::to_string(most);
}

}  // namespace

bool parseCommandLine(int argc, const char* const* argv, Options& options, std::string& error) {
  options = Options();
  options.threads = defaultThreads();
  bool objGiven = false, shapeGiven = false, sizeGiven = false, presetGiven = false;
  std::vector<std::pair<const cloth::ParamInfo*, double>> sets;
  std::string firstSet;  // the first --set's text, for messages
  for (int k = 1; k < argc; ++k) {
    const std::string option = argv[k];
    if (option == "--help") {
      options.help = true;
      continue;
    }
    if (option == "--list-params") {
      options.listParams = true;
      continue;
    }
    const bool takesValue = option == "--size" || option == "--threads" || option == "--preset" ||
                            option == "--batch" || option == "--obj" || option == "--shape" ||
                            option == "--scene" || option == "--set" || option == "--collider";
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
    if (option == "--set") {
      const cloth::ParamInfo* info = nullptr;
      double v = 0;
      if (!readSetting(value, info, v, error)) {
        error = "--set " + std::string(value) + ": " + error;
        return false;
      }
      if (firstSet.empty()) firstSet = value;
      sets.emplace_back(info, v);
    } else if (option == "--size") {
      if (!readWhole(value, cloth::kMinSize, cloth::kMaxSize, n)) {
        error = "--size: '" + std::string(value) + "' is not a whole number from " +
                range(cloth::kMinSize, cloth::kMaxSize);
        return false;
      }
      options.size = static_cast<int>(n);
      sizeGiven = true;
    } else if (option == "--threads") {
      if (!readWhole(value, cloth::kMinThreads, cloth::kMaxThreads, n)) {
        error = "--threads: '" + std::string(value) + "' is not a whole number from " +
                range(cloth::kMinThreads, cloth::kMaxThreads);
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
    } else if (option == "--collider") {
      options.colliders.push_back(value);
    } else if (option == "--obj") {
      options.obj = value;
      objGiven = true;
    } else {
      options.shape = value;
      shapeGiven = true;
    }
  }
  if (options.help || options.listParams) return true;
  // The preset's values first, then every --set over them; --set size=N is
  // --size N, and both may be given only alike.
  options.params = cloth::presetParams(options.preset, options.size);
  for (const auto& set : sets) cloth::setParam(*set.first, options.params, set.second);
  if (options.params.size != options.size) {
    if (sizeGiven) {
      error = "--set size=" + std::to_string(options.params.size) + ": --size " +
              std::to_string(options.size) + " gives another size";
      return false;
    }
    options.size = options.params.size;
    sizeGiven = true;
  }
  if ((objGiven || shapeGiven) && options.batch < 0) {
    error = std::string(objGiven ? "--obj" : "--shape") + ": only with --batch FRAMES";
    return false;
  }
  if (!sets.empty() && !options.scene.empty()) {
    error = "--set " + firstSet + ": not with --scene (the scene holds its parameters)";
    return false;
  }
  if (!options.colliders.empty() && !options.scene.empty()) {
    error = "--collider: not with --scene (the scene holds its colliders)";
    return false;
  }
  // A scene's nodes are laid out for its own size and its pins come from its
  // run, so neither can be chosen again.
  if ((sizeGiven || presetGiven) && !options.scene.empty()) {
    error = std::string(sizeGiven ? "--size" : "--preset") +
            ": not with --scene (the scene holds its size and preset)";
    return false;
  }
  return true;
}

}  // namespace explorer
