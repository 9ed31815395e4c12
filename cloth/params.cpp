#include "cloth/params.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace cloth {

namespace {

constexpr PresetInfo kPresets[] = {
    {Preset::drape, "drape", "drape's own cloth: falls flat onto the terrain", 0, {}},
    // The two corners of the far edge (y = 30).
    {Preset::curtain,
     "curtain",
     "hangs from the two pinned corners of one edge",
     2,
     {{0, 1, 0, 1}, {1, 1, 1, 1}}},
    // The whole edge at x = -29.
    {Preset::flag, "flag", "flies in the wind from one pinned edge", 1, {{0, 0, 0, 1}}},
    // The two corners of the far edge, with nothing under the sheet.
    {Preset::hanging,
     "hanging",
     "hangs from the two corners of its far edge, no terrain, no wind",
     2,
     {{0, 1, 0, 1}, {1, 1, 1, 1}}},
    {Preset::sphere, "sphere", "falls from height 30 onto a ball on the ground", 0, {}},
    // Upright, its lowest edge at height 5, nothing pinned.
    {Preset::pile,
     "pile",
     "falls upright onto the ground and folds onto itself",
     0,
     {},
     true,
     5.0f},
};

// Built with designated fields so that each entry names its one field.
ParamInfo integer(const char* name, const char* meaning, double least, double most,
                  int Params::*field, bool atRestart = false) {
  ParamInfo p{name, meaning, ParamKind::integer, least, most};
  p.integerField = field;
  p.atRestart = atRestart;
  return p;
}
ParamInfo real(const char* name, const char* meaning, double least, double most,
               float Params::*field, const char* format) {
  ParamInfo p{name, meaning, ParamKind::real, least, most};
  p.realField = field;
  p.format = format;
  return p;
}
ParamInfo realD(const char* name, const char* meaning, double least, double most,
                double Params::*field, const char* format) {
  ParamInfo p{name, meaning, ParamKind::real, least, most};
  p.doubleField = field;
  p.format = format;
  return p;
}
ParamInfo flag(const char* name, const char* meaning, bool Params::*field) {
  ParamInfo p{name, meaning, ParamKind::flag, 0, 1};
  p.flagField = field;
  return p;
}

constexpr const char* kSolverNames[] = {"springs", "xpbd"};
ParamInfo choice(const char* name, const char* meaning, const char* const* names, int count,
                 int Params::*field) {
  ParamInfo p{name, meaning, ParamKind::choice, 0, static_cast<double>(count - 1)};
  p.integerField = field;
  p.choiceNames = names;
  return p;
}

// A parameter that came after the first scene files: what they mean by
// leaving it out (they ran the springs, on the terrain, without tethers).
ParamInfo since(ParamInfo p, double sceneDefault) {
  p.sceneDefault = sceneDefault;
  return p;
}

const Params kDefaults;

// The pile's thickness, in links.
constexpr double kPileThickness = 1.1;

// What the cloth meets (shown under a heading of its own), which came after
// the first scene files: sceneDefault is what they mean by leaving it out.
ParamInfo meets(ParamInfo p, double sceneDefault) {
  p.sceneDefault = sceneDefault;
  p.collider = true;
  return p;
}

// A compliance: 0 is rigid, and the useful values span powers of ten.
ParamInfo compliance(const char* name, const char* meaning, float Params::*field) {
  ParamInfo p{name, meaning, ParamKind::real, 0, 1};
  p.realField = field;
  p.format = "%.3g";
  p.logarithmic = true;
  return p;
}

const ParamInfo kTable[] = {
    // The nodes are laid out for the size: a running cloth keeps its own.
    integer("size", "nodes per side", kMinSize, kMaxSize, &Params::size, true),
    real("stiffness", "spring stiffness", 1, 5000, &Params::stiffness, "%.1f"),
    real("damping", "velocity kept per 0.01 time", 0.9, 1, &Params::damping, "%.4f"),
    real("gravity", "gravity", 0, 500, &Params::gravity, "%.1f"),
    realD("timeStep", "time step", 0.001, 0.02, &Params::timeStep, "%.4f"),
    integer("stepsPerFrame", "steps per frame (at least)", 1, 32, &Params::stepsPerFrame),
    flag("wind", "wind on", &Params::wind),
    real("windDirection", "wind direction (degrees)", 0, 360, &Params::windDirection, "%.1f"),
    real("windStrength", "wind strength", 0, 500, &Params::windStrength, "%.1f"),
    real("windGusts", "gusts", 0, 1, &Params::windGusts, "%.2f"),
    flag("tearing", "tearing on", &Params::tearing),
    real("tearStretch", "tear past (rest lengths)", 1.1, 10, &Params::tearStretch, "%.2f"),
    flag("groundStops", "ground stops what lands", &Params::groundStops),
    since(choice("solver", "springs (explicit) or xpbd (constraints in small steps)", kSolverNames,
                 2, &Params::solver),
          kSolverSprings),
    since(
        compliance("stretchCompliance", "stretch compliance (0 rigid)", &Params::stretchCompliance),
        kDefaults.stretchCompliance),
    since(compliance("shearCompliance", "shear compliance (0 rigid)", &Params::shearCompliance),
          kDefaults.shearCompliance),
    since(compliance("bendCompliance", "bending compliance (0 rigid)", &Params::bendCompliance),
          kDefaults.bendCompliance),
    since(flag("tethers", "tethers to the pins", &Params::tethers), 0),
    since(flag("terrain", "drape's terrain under the sheet", &Params::terrain), 1),
    // Obstacles, friction and self-collision (scenes from before them had none).
    meets(flag("ground", "ground plane at height 0", &Params::ground), 0),
    meets(real("thickness", "thickness kept from obstacles and itself", 0.05, 5, &Params::thickness,
               "%.2f"),
          kDefaults.thickness),
    meets(real("staticFriction", "static friction", 0, 2, &Params::staticFriction, "%.2f"),
          kDefaults.staticFriction),
    meets(real("kineticFriction", "kinetic friction", 0, 2, &Params::kineticFriction, "%.2f"),
          kDefaults.kineticFriction),
    meets(flag("selfCollision", "self-collision on", &Params::selfCollision), 0),
    meets(flag("ball", "ball (Shift + drag moves it)", &Params::ball), 0),
    meets(real("ballX", "ball centre x", -80, 80, &Params::ballX, "%.1f"), kDefaults.ballX),
    meets(real("ballY", "ball centre y", -80, 80, &Params::ballY, "%.1f"), kDefaults.ballY),
    meets(real("ballZ", "ball centre z", -40, 100, &Params::ballZ, "%.1f"), kDefaults.ballZ),
    meets(real("ballRadius", "ball radius", 0.5, 40, &Params::ballRadius, "%.1f"),
          kDefaults.ballRadius),
    meets(flag("box", "box", &Params::box), 0),
    meets(real("boxX", "box centre x", -80, 80, &Params::boxX, "%.1f"), kDefaults.boxX),
    meets(real("boxY", "box centre y", -80, 80, &Params::boxY, "%.1f"), kDefaults.boxY),
    meets(real("boxZ", "box centre z", -40, 100, &Params::boxZ, "%.1f"), kDefaults.boxZ),
    meets(real("boxWidth", "box extent along x", 0.5, 120, &Params::boxWidth, "%.1f"),
          kDefaults.boxWidth),
    meets(real("boxDepth", "box extent along y", 0.5, 120, &Params::boxDepth, "%.1f"),
          kDefaults.boxDepth),
    meets(real("boxHeight", "box extent along z", 0.5, 120, &Params::boxHeight, "%.1f"),
          kDefaults.boxHeight),
    meets(real("boxTilt", "box tilt about x (degrees)", -60, 60, &Params::boxTilt, "%.1f"),
          kDefaults.boxTilt),
};
constexpr int kTableSize = sizeof kTable / sizeof kTable[0];

}  // namespace

const PresetInfo* presetTable(int& count) {
  count = static_cast<int>(sizeof kPresets / sizeof kPresets[0]);
  return kPresets;
}

const PresetInfo& presetInfo(Preset preset) {
  for (const PresetInfo& p : kPresets)
    if (p.preset == preset) return p;
  return kPresets[0];
}

std::vector<int> presetPins(Preset preset, int size) {
  std::vector<int> nodes;
  const PresetInfo& info = presetInfo(preset);
  const float last = static_cast<float>(size - 1);
  auto at = [last](float f) { return static_cast<int>(std::lround(f * last)); };
  for (int k = 0; k < info.pinAreas; ++k) {
    const PinArea& a = info.pins[k];
    for (int r = at(a.r0); r <= at(a.r1); ++r)
      for (int c = at(a.c0); c <= at(a.c1); ++c) nodes.push_back(r * size + c);
  }
  return nodes;
}

const char* presetName(Preset preset) {
  return presetInfo(preset).name;
}

bool presetFromName(const std::string& name, Preset& preset) {
  for (const PresetInfo& p : kPresets)
    if (name == p.name) {
      preset = p.preset;
      return true;
    }
  return false;
}

const char* presetNames() {
  static const std::string names = [] {
    std::string text;
    for (const PresetInfo& p : kPresets) text += std::string(text.empty() ? "" : ", ") + p.name;
    return text;
  }();
  return names.c_str();
}

Params presetParams(Preset preset, int size) {
  Params p;  // the defaults are drape's own constants
  p.size = size;
  switch (preset) {
    case Preset::drape:
      break;
    case Preset::curtain:
      // A stiffer, lighter sheet than drape's, so that it hangs rather than
      // pours: under this gravity its top stretches by about a third.
      p.stiffness = 2000.0f;
      p.gravity = 20.0f;
      p.damping = 0.98f;
      p.groundStops = true;
      break;
    case Preset::flag:
      p.stiffness = 2000.0f;
      p.gravity = 10.0f;
      p.damping = 0.98f;
      p.wind = true;
      p.windDirection = 0.0f;
      p.windStrength = 60.0f;
      p.windGusts = 0.5f;
      p.groundStops = true;
      break;
    case Preset::hanging:
      p.terrain = false;
      break;
    case Preset::sphere:
      p.terrain = false;
      p.ground = true;
      p.ball = true;  // radius 12 at (0.5, 0.5, 12): resting on the ground
      break;
    case Preset::pile:
      p.terrain = false;
      p.ground = true;
      p.selfCollision = true;
      break;
  }
  // The sheets that hang are solved as cloth: inextensible, in twenty small
  // steps a frame (a frame of 0.02 under a quarter of drape's gravity falls
  // as far as drape's), tethered to their pins.
  if (preset != Preset::drape) {
    p.solver = kSolverXpbd;
    p.timeStep = 0.001;
    p.stepsPerFrame = 20;
    p.gravity = 50.0f;
    p.damping = 0.99f;
    p.stretchCompliance = 0.0f;
    p.shearCompliance = 1e-4f;
    p.bendCompliance = 1e-2f;
    p.tethers = true;
    if (preset == Preset::flag) p.windStrength = 150.0f;
  }
  // Nodes kept a little more than a link apart cannot pass between the
  // nodes of a folded layer (a triangle's corners are never all farther
  // than 0.71 links from a point inside it).
  if (preset == Preset::pile)
    p.thickness = std::clamp(static_cast<float>(kPileThickness * 59.0 / (size - 1)), 0.5f, 5.0f);
  return p;
}

const ParamInfo* paramTable(int& count) {
  count = kTableSize;
  return kTable;
}

const ParamInfo* findParam(const std::string& name) {
  for (const ParamInfo& p : kTable)
    if (name == p.name) return &p;
  return nullptr;
}

double paramValue(const ParamInfo& info, const Params& params) {
  switch (info.kind) {
    case ParamKind::integer:
    case ParamKind::choice:
      return params.*info.integerField;
    case ParamKind::flag:
      return params.*info.flagField ? 1.0 : 0.0;
    case ParamKind::real:
      return info.realField ? static_cast<double>(params.*info.realField)
                            : params.*info.doubleField;
  }
  return 0.0;
}

// Float fields are compared in float, so that a value stored as the float
// nearest a bound (0.9f for 0.9) counts as within it.
static bool inRange(const ParamInfo& info, double value) {
  // Written as negated tests so that a NaN is refused too.
  if (info.realField) {
    const float v = static_cast<float>(value);
    return v >= static_cast<float>(info.least) && v <= static_cast<float>(info.most);
  }
  return value >= info.least && value <= info.most;
}

bool setParam(const ParamInfo& info, Params& params, double value) {
  if (!inRange(info, value)) return false;
  switch (info.kind) {
    case ParamKind::integer:
    case ParamKind::choice:
      if (value != std::floor(value)) return false;
      params.*info.integerField = static_cast<int>(value);
      return true;
    case ParamKind::flag:
      if (value != 0.0 && value != 1.0) return false;
      params.*info.flagField = value == 1.0;
      return true;
    case ParamKind::real:
      if (info.realField)
        params.*info.realField = static_cast<float>(value);
      else
        params.*info.doubleField = value;
      return true;
  }
  return false;
}

const char* choiceName(const ParamInfo& info, int index) {
  if (info.kind != ParamKind::choice || index < info.least || index > info.most) return nullptr;
  return info.choiceNames[index];
}

bool choiceIndex(const ParamInfo& info, const std::string& name, int& index) {
  for (int k = 0; choiceName(info, k); ++k)
    if (name == info.choiceNames[k]) {
      index = k;
      return true;
    }
  return false;
}

bool paramsValid(const Params& params, std::string& what) {
  for (const ParamInfo& p : kTable) {
    if (!inRange(p, paramValue(p, params))) {
      what = p.name;
      return false;
    }
  }
  return true;
}

std::string formatParam(const ParamInfo& info, double value) {
  if (info.kind == ParamKind::choice) {
    const char* name = choiceName(info, static_cast<int>(value));
    return name ? name : "?";
  }
  char text[64];
  if (info.kind == ParamKind::real)
    std::snprintf(text, sizeof text, info.format, value);
  else
    std::snprintf(text, sizeof text, info.format, static_cast<int>(value));
  return text;
}

}  // namespace cloth
