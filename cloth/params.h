// The cloth's parameters, described once: the structure the simulation
// reads, the named presets, and one table that gives every parameter its
// name, range and field, so the command line, a panel or a scene file can
// all read and check values from the same place.
#pragma once

#include <limits>
#include <string>
#include <vector>

namespace cloth {

/// Everything that shapes a cloth's motion. Sizes are resolutions: the sheet
/// always spans the same square, and mass and springs scale with the spacing
/// so that every size stretches, falls and drapes alike.
struct Params {
  int size = 60;            ///< nodes along each side of the square sheet
  float stiffness = 10.0f;  ///< spring constant of a sheet of unit mass per unit area
  float damping = 0.995f;   ///< share of the velocity kept over 0.01 time units
  float gravity = 200.0f;   ///< downward acceleration
  double timeStep = 0.01;   ///< time advanced by one step
  int stepsPerFrame = 1;  ///< steps in a frame, each of timeStep (raised when the springs need it)
  bool wind = false;      ///< wind on
  float windDirection = 0;   ///< degrees about the vertical axis, 0 blowing along +x
  float windStrength = 0;    ///< acceleration of a sheet facing the wind
  float windGusts = 0;       ///< 0 steady, 1 gusts from nothing to twice the strength
  bool tearing = false;      ///< links break when stretched too far
  float tearStretch = 3.0f;  ///< length, in rest lengths, past which a link breaks
  bool groundStops = false;  ///< a node that lands stops where it lands (drape's nodes slide on)
  // The XPBD solver's own (the springs read none of them but terrain).
  int solver = 0;  ///< kSolverSprings or kSolverXpbd
  /// Compliances: the inverse of a link's stiffness, in the unit of
  /// 1 / stiffness (0.1 stretches as drape's springs do); 0 is rigid.
  float stretchCompliance = 0.0f;
  float shearCompliance = 0.0f;
  float bendCompliance = 0.0f;
  bool tethers = false;  ///< free nodes kept within their rest distance of the nearest pins
  bool terrain = true;   ///< drape's terrain is there
  // What the XPBD solver's cloth meets besides the terrain (the springs keep
  // drape's contact rule and meet the terrain alone).
  bool ground = false;           ///< a ground plane at z = 0
  float thickness = 0.5f;        ///< distance kept from every obstacle (and between nodes)
  float staticFriction = 0.5f;   ///< a slide under this times the contact's depth sticks
  float kineticFriction = 0.3f;  ///< a longer slide is shortened by this times the depth
  bool selfCollision = false;    ///< nodes kept at least thickness apart
  bool ball = false;             ///< a ball, which the lab moves with Shift + drag
  float ballX = 0.5f, ballY = 0.5f, ballZ = 12.0f;  ///< its centre
  float ballRadius = 12.0f;
  bool box = false;                             ///< a box, its top tilted about the x axis
  float boxX = 0.5f, boxY = 0.5f, boxZ = 5.0f;  ///< its centre
  float boxWidth = 30.0f, boxDepth = 30.0f, boxHeight = 10.0f;  ///< its extent along x, y, z
  float boxTilt = 0.0f;                                         ///< degrees about the x axis
};

/// Values of Params::solver.
constexpr int kSolverSprings = 0;
constexpr int kSolverXpbd = 1;

/// Named starting points: what is pinned and the parameters that suit it.
enum class Preset {
  drape,    ///< drape's own cloth: falls flat onto the terrain
  curtain,  ///< hangs from the two pinned corners of one edge
  flag,     ///< one edge pinned, wind on
  hanging,  ///< hangs from the two corners of its far edge, no terrain, no wind
  sphere,   ///< falls onto a ball on the ground
  pile,     ///< falls upright onto the ground and folds onto itself
};

/// Nodes a preset pins: those with a column from c0 to c1 and a row from r0
/// to r1, in units of the sheet's side (0 the first column or row, 1 the
/// last), rounded to the nearest node at every size.
struct PinArea {
  float c0, r0, c1, r1;
};

/// One preset, described once: its name (as on the command line, in scene
/// files, the panel and the page), what it is, and what it pins.
struct PresetInfo {
  Preset preset;
  const char* name;
  const char* meaning;
  int pinAreas;  ///< the entries of pins in use
  PinArea pins[2];
  /// The sheet starts upright (turned a quarter turn about the x axis, rows
  /// rising along z from `lowest`) instead of flat at height 30.
  bool upright = false;
  float lowest = 0;
};

/// Every preset, in the order of the enumeration.
const PresetInfo* presetTable(int& count);
/// The entry of a preset.
const PresetInfo& presetInfo(Preset preset);
/// The nodes (column + size * row) a preset pins on a sheet of size x size.
std::vector<int> presetPins(Preset preset, int size);

/// The preset's name, for example "drape".
const char* presetName(Preset preset);
/// The preset called name; false when there is none.
bool presetFromName(const std::string& name, Preset& preset);
/// The names of every preset, separated by ", " (for messages).
const char* presetNames();
/// The parameters of a preset at a size.
Params presetParams(Preset preset, int size);

/// How a parameter is stored.
enum class ParamKind { integer, real, flag, choice };

/// One parameter: its name (as on the command line, in scene files and the
/// panel), what it means, its range and where it lives in Params.
struct ParamInfo {
  const char* name;                       ///< lower-case name, for example "stiffness"
  const char* meaning;                    ///< a short label
  ParamKind kind;                         ///< how it is stored
  double least;                           ///< smallest allowed value
  double most;                            ///< largest allowed value
  int Params::*integerField = nullptr;    ///< the field when kind is integer
  float Params::*realField = nullptr;     ///< the field when kind is real (float)
  double Params::*doubleField = nullptr;  ///< the field when kind is real (double)
  bool Params::*flagField = nullptr;      ///< the field when kind is flag
  bool atRestart = false;                 ///< taken by a fresh cloth only, not a running one
  /// printf format of one value: of an int for integers and flags, of a
  /// double for reals; the panel, the page and --list-params show values so.
  const char* format = "%d";
  /// Kind choice: the names of the values 0..most, held in integerField.
  const char* const* choiceNames = nullptr;
  /// Shown on a logarithmic scale (values that span powers of ten, such as
  /// compliances, where 0 is the stiffest).
  bool logarithmic = false;
  /// What a scene file that does not give the parameter means (files
  /// written before it existed); NaN when a scene must give it.
  double sceneDefault = std::numeric_limits<double>::quiet_NaN();
  /// What the cloth meets rather than the cloth itself (obstacles, friction,
  /// self-collision): shown together, under their own heading.
  bool collider = false;
};

/// Every parameter, in the order a panel shows them.
const ParamInfo* paramTable(int& count);
/// The entry called name, or nullptr.
const ParamInfo* findParam(const std::string& name);
/// The parameter's value in params, as a double (flags 0 or 1).
double paramValue(const ParamInfo& info, const Params& params);
/// Sets the parameter when value is within its range (and whole, for
/// integers and flags); false, with params unchanged, otherwise.
bool setParam(const ParamInfo& info, Params& params, double value);
/// A choice's name for index, or nullptr when out of range or not a choice.
const char* choiceName(const ParamInfo& info, int index);
/// The index of a choice's value called name; false when there is none.
bool choiceIndex(const ParamInfo& info, const std::string& name, int& index);
/// True when every parameter of params is within its range.
bool paramsValid(const Params& params, std::string& what);
/// A value of the parameter written with its format.
std::string formatParam(const ParamInfo& info, double value);

/// The smallest and largest sizes.
constexpr int kMinSize = 8;
constexpr int kMaxSize = 512;
/// The fewest and most threads a cloth steps on.
constexpr int kMinThreads = 1;
constexpr int kMaxThreads = 64;

}  // namespace cloth
