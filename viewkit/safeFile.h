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

/// The first of "stem.ext", "stem-1.ext", "stem-2.ext", ... that names no
/// existing file. ext includes its dot (".png").
std::string freeFileName(const std::string& stem, const std::string& ext);

/// Writes path through a temporary file in the same directory. body writes the
/// content and returns false to give up (then error, when it set none, says
/// "write failed"). With replace false an existing path is never touched and
/// the call fails with "File exists"; with replace true it is replaced
/// atomically. On any failure the temporary file is removed, path is as it
/// was, error holds the reason and the result is false.
bool writeFileAtomically(const std::string& path, const std::function<bool(FILE*)>& body,
                         std::string& error, bool replace = false);

}  // namespace viewkit
