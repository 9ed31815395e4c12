/// @file
/// Files a program writes for its user: never half-written, never over
/// another file by accident. Content goes to a temporary file beside the
/// target and takes the target's name only once it is complete.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

/// Viewer kit of the zeu framework: camera, pointer, picking, files.
namespace viewkit {

/// The first of "stem.ext", "stem-1.ext", "stem-2.ext", ... that names no existing file.
std::string freeFileName(const std::string& stem, const std::string& ext);

/// How writeFile treats the name it is given.
enum class WriteMode {
  /// Never touch an existing entry of any kind: fail with "File exists".
  kNoReplace,
  /// Replace a regular file atomically, through symbolic links; refuse anything else.
  kReplace,
  /// As kReplace, but write straight into a device or FIFO, and take "-" for standard output.
  kUserOutput,
};

/// How writeFile delivered the content.
enum class Delivery {
  kNone,    ///< nothing was written
  kFile,    ///< a regular file now holds the content
  kStream,  ///< the content went straight into standard output, a device or a FIFO
};

/// Writes path by mode; body writes the content and returns false to give up. On failure error
/// holds one line of reason, any temporary file is gone and an existing file is as it was.
bool writeFile(const std::string& path, const std::function<bool(FILE*)>& body, std::string& error,
               WriteMode mode, Delivery* delivery = nullptr);

/// writeFile with kReplace when replace is true and kNoReplace otherwise.
bool writeFileAtomically(const std::string& path, const std::function<bool(FILE*)>& body,
                         std::string& error, bool replace = false);

/// Gives the finished file `from` the name `to` without replacing anything, as kNoReplace does:
/// an entry that appeared under `to` meanwhile stays, also where there are no hard links; then
/// makes the new name durable. On failure error holds the reason and `from` is the caller's.
bool nameNewFile(const std::string& from, const std::string& to, std::string& error);

/// The calls that give a finished temporary file its name without replacing anything, replaceable
/// so tests can take a file system without hard links.
struct NamingCalls {
  /// link(2), or a stand-in; nullptr means the system's.
  int (*link)(const char* from, const char* to) = nullptr;
  /// rename without replacing (renameat2 with RENAME_NOREPLACE), or a stand-in; nullptr means the
  /// system's.
  int (*renameNoReplace)(const char* from, const char* to) = nullptr;
};

/// Installs calls for the no-replace naming and returns the ones before; for tests.
NamingCalls setNamingCalls(const NamingCalls& calls);

}  // namespace viewkit
