// drapeExplorer without a window: run the cloth for a number of frames and
// report its digest, optionally keeping the final cloth as files.
#pragma once

#include <cstdio>

#include "explorer/commandLine.h"

namespace explorer {

// Runs options.batch frames, prints "cloth digest <frames> <16 hex digits>"
// on out and writes the files asked for; progress goes to err when it is a
// terminal. Returns the exit status: 0, or 1 when a file cannot be written.
int runBatch(const Options& options, FILE* out, FILE* err);

}  // namespace explorer
