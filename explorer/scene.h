// drapeExplorer's scenes: a cloth's whole state as a JSON file, so that a
// cloth saved and opened again runs on to the same bits as the run that
// saved it.
//
// The file is one JSON object:
//   "version"  1
//   "size"     nodes along each side (the parameter table's "size")
//   "preset"   a preset's name (what r restarts from)
//   "params"   every other parameter of cloth::paramTable() by its name:
//              whole numbers, true/false for flags, numbers for reals
//   "frame"    frames advanced
//   "steps"    steps taken (the clock of the wind's gusts)
//   "pins"     the pinned nodes' indices, ascending
//   "cuts"     {"right": [...], "up": [...]}: nodes whose link to the next
//              column (right) or the next row (up) is cut or torn
//   "colliders" (when there are any) [{"file": the OBJ file as given,
//              "digest": FNV-1a of its bytes, 16 hex digits}, ...]: mesh
//              colliders, read again from their files when opened, which
//              must still hold what they held
//   "nodes"    {"positions": [x0, y0, z0, x1, ...], "velocities": [...],
//              "contact": [0 or 1 per node]}, in node order
// Floats are written as the doubles they equal, which read back as the same
// floats. Other members are ignored.
#pragma once

#include <memory>
#include <string>

#include "cloth/cloth.h"

namespace explorer {

/// The version this program writes and reads.
constexpr int kSceneVersion = 1;
/// The largest scene file read (a 512 x 512 scene is about 30 MB), so that
/// endless input such as /dev/zero ends.
constexpr long kMaxSceneBytes = 128L << 20;

/// The deepest nesting of arrays and objects read (a scene needs 3), so that
/// hostile input is refused before the JSON reader recurses that deep.
constexpr int kMaxSceneDepth = 64;

/// The largest size of a node's position coordinate or velocity component
/// in a scene: the lab's world spans some 60 units, and a cloth opened with
/// nodes much farther apart or faster than this would overflow the floats
/// of its first steps.
constexpr float kMaxSceneMagnitude = 1e6f;

/// The cloth's state as the text of a scene file. False, with the reason in
/// error, when a node holds a value that is not finite or is beyond
/// kMaxSceneMagnitude (such a scene could not be opened).
bool sceneText(const cloth::Cloth& cloth, std::string& text, std::string& error);

/// A cloth on threads workers from the text of a scene file (at most
/// kMaxSceneBytes, nested at most kMaxSceneDepth deep); nullptr, with one
/// line in error saying what is wrong, when it is not a good scene.
std::unique_ptr<cloth::Cloth> clothFromScene(const std::string& text, int threads,
                                             std::string& error);

/// clothFromScene of the file at path (at most kMaxSceneBytes).
std::unique_ptr<cloth::Cloth> readScene(const std::string& path, int threads, std::string& error);

/// Writes the cloth's scene to path through the safe writer, never over an
/// existing file. False with one line of reason in error.
bool writeScene(const cloth::Cloth& cloth, const std::string& path, std::string& error);

}  // namespace explorer
