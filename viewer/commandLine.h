// shapeView's command line: its four forms, and everything it does without
// a window.
#pragma once

#include <cstdio>
#include <string>

#include "viewer/shapeFile.h"

namespace shapeview {

struct Command {
  enum Kind { kHelp, kInfo, kObj, kWindow, kUsageError } kind = kUsageError;
  std::string file;  // the shape file, for all but help
  std::string out;   // the OBJ to write, for kObj
};

Command parseCommandLine(int argc, const char* const* argv);

extern const char kUsage[];

// The name the window's pictures start from: FILE's name without its
// folder and its last extension ("cloth" for "out/cloth.shape").
std::string pictureStem(const std::string& file);

// What run returns when the window should open on the records it read.
constexpr int kOpenWindow = -1;

// Carries out the command: help, info and obj completely, writing to out
// and err, with the exit status as result (0, 1 for bad input or a failed
// write, 2 for a bad command line). For the window form it reads the file
// into file and returns kOpenWindow, or fails as the other forms do.
int run(const Command& command, FILE* out, FILE* err, ShapeFile& file);

}  // namespace shapeview
