// drapeExplorer's command line: which cloth to run, on how many threads, and
// whether to run it without a window.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cloth/obstacles.h"
#include "cloth/params.h"

namespace explorer {

/// What the command line asks for.
struct Options {
  cloth::Preset preset = cloth::Preset::drape;
  int size = 60;
  /// The cloth's parameters: the preset's at the size, then every --set in
  /// the order given, whatever their place among the other options.
  cloth::Params params;
  int threads = 1;    ///< defaults to the number of cores
  long batch = -1;    ///< frames to run without a window; -1 opens the window
  std::string obj;    ///< with batch: write the final cloth as OBJ here
  std::string shape;  ///< with batch: write the final cloth as a shape record here
  std::string scene;  ///< open this scene file instead of a fresh cloth (size and preset are its)
  std::vector<std::string> colliders;  ///< --collider: OBJ files of closed meshes to keep out of
  /// The colliders' meshes once read (by loadColliders), for the cloth.
  std::vector<std::shared_ptr<const cloth::MeshObstacle>> meshes;
  bool help = false;
  bool listParams = false;  ///< --list-params: print the parameter table and end
};

/// The usage text of --help, with the window's keys from the key table.
std::string usage();

/// Reads argv into options. On a bad command line returns false with one
/// line in error (without the program's name) that names the option and what
/// it allows.
bool parseCommandLine(int argc, const char* const* argv, Options& options, std::string& error);

/// Reads the --collider files into options.meshes; false, with
/// "<file>: <what is wrong>" in error, at the first that cannot be read or
/// is not a closed mesh.
bool loadColliders(Options& options, std::string& error);

/// The threads used when --threads is not given: the number of cores.
int defaultThreads();

}  // namespace explorer
