// The lab page's address: ?size=N&preset=NAME&scene=URL&frames=N and any
// parameter of the cloth's table by its name (?stiffness=2000), read as the
// explorer's command line of the same meaning (--set for a parameter), so
// that both take the same values and refuse the same ones.
#pragma once

#include <string>
#include <vector>

#include "explorer/commandLine.h"

namespace explorer {

/// The address's values, each "name=value" as the page decoded it: size,
/// preset and scene as their options, frames as --batch (run that many
/// frames, then show the digest); a parameter of the table as --set
/// NAME=VALUE. timers is the page's own and is skipped.
/// The cloth runs on one thread. On a bad value returns false with one line
/// in error that names the address value, for example
/// "size: 'abc' is not a whole number from 8 to 512".
bool parseAddress(const std::vector<std::string>& values, Options& options, std::string& error);

}  // namespace explorer
