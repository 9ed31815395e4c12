/// @file
/// The temporary file a finished file is written to before it takes its name: hidden, beside
/// the final name, so that naming it stays within one file system.
#pragma once

#include <sys/types.h>

#include <string>

/// Viewer kit of the zeu framework: camera, pointer, picking, files.
namespace viewkit {

/// The mkstemp pattern of the temporary file for `path`: "dir/.name.PID.XXXXXX" for "dir/name",
/// ".name.PID.XXXXXX" for "name", where PID is the writing process's id (so that a later run can
/// tell a temporary file left by a process that was killed; see staleTemporaries.h).
std::string temporaryPattern(const std::string& path);

/// The permissions a new file gets under the process's umask (0666 without the umask's bits).
mode_t newFileMode();

/// Creates a new, empty file named by temporaryPattern(path) with the permissions `mode`, and
/// returns its descriptor (open for reading and writing, closed on exec) with its name in
/// `name`. On failure returns -1 with the errno value in `error` and `name` empty, and leaves no
/// file.
int createTemporaryFile(const std::string& path, mode_t mode, std::string& name, int& error);

}  // namespace viewkit
