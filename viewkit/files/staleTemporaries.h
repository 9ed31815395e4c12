/// @file
/// Temporary files left behind by a writer that was killed before its file took its name.
#pragma once

#include <string>
#include <vector>

/// Viewer kit of the zeu framework: camera, pointer, picking, files.
namespace viewkit {

/// True when `name` (a directory entry, without folder) has the form of temporaryPattern's
/// names, ".NAME.PID.XXXXXX" with a non-empty NAME, a process id and six letters or digits;
/// the process id is put in `pid`.
bool temporaryNamePid(const std::string& name, long& pid);

/// Removes from `dir` the temporary files of temporaryPattern's form that this user owns and
/// whose writing process no longer runs, and returns their paths ("dir/.NAME.PID.XXXXXX").
/// A file whose process runs (or cannot be asked about) stays, as does anything that is not a
/// regular file. An unreadable `dir` gives nothing.
std::vector<std::string> removeStaleTemporaries(const std::string& dir);

}  // namespace viewkit
