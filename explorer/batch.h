// drapeExplorer without a window: run the cloth for a number of frames and
// report its digest, optionally keeping the final cloth as files.
#pragma once

#include <cstdio>
#include <string>

#include "cloth/cloth.h"
#include "explorer/commandLine.h"

namespace explorer {

// "cloth digest <frame> <16 hex digits>" of the cloth as it is now.
std::string digestLine(const cloth::Cloth& cloth);

// Runs a fresh cloth of options.preset and options.params for options.batch
// frames, prints "cloth digest <frames> <16 hex digits>" on out and writes
// the files asked for; progress goes to err when it is a terminal. Returns
// the exit status: 0, or 1 when a file cannot be written.
int runBatch(const Options& options, FILE* out, FILE* err);

// The same for a given cloth, such as one opened from a scene: it runs on
// from its own frame up to frame options.batch (not past it when it is
// there already), and the digest line names that frame, so a scene saved
// at frame k of a run and run on to N prints what the run gives at N.
int runBatch(cloth::Cloth& cloth, const Options& options, FILE* out, FILE* err);

}  // namespace explorer
