#include "cloth/params.h"

#include <cmath>
#include <cstring>

namespace cloth {

namespace {

struct PresetName {
  Preset preset;
  const char* name;
};
constexpr PresetName kPresets[] = {{Preset::drape, "drape"},
                                   {Preset::curtain, "curtain"},
                                   {Preset::flag, "flag"},
                                   {Preset::hanging, "hanging"}};

// Built with designated fields so that each entry names its one field.
ParamInfo integer(const char* name, const char* meaning, double least, double most,
                  int Params::*field) {
  ParamInfo p{name, meaning, ParamKind::integer, least, most};
  p.integerField = field;
  return p;
}
ParamInfo real(const char* name, const char* meaning, double least, double most,
               float Params::*field) {
  ParamInfo p{name, meaning, ParamKind::real, least, most};
  p.realField = field;
  return p;
}
ParamInfo realD(const char* name, const char* meaning, double least, double most,
                double Params::*field) {
  ParamInfo p{name, meaning, ParamKind::real, least, most};
  p.doubleField = field;
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

const ParamInfo kTable[] = {
    integer("size", "nodes per side", kMinSize, kMaxSize, &Params::size),
    real("stiffness", "spring stiffness", 1, 5000, &Params::stiffness),
    real("damping", "velocity kept per 0.01 time", 0.9, 1, &Params::damping),
    real("gravity", "gravity", 0, 500, &Params::gravity),
    realD("timeStep", "time step", 0.001, 0.02, &Params::timeStep),
    integer("stepsPerFrame", "steps per frame (at least)", 1, 32, &Params::stepsPerFrame),
    flag("wind", "wind on", &Params::wind),
    real("windDirection", "wind direction (degrees)", 0, 360, &Params::windDirection),
    real("windStrength", "wind strength", 0, 500, &Params::windStrength),
    real("windGusts", "gusts", 0, 1, &Params::windGusts),
    flag("tearing", "tearing on", &Params::tearing),
    real("tearStretch", "tear past (rest lengths)", 1.1, 10, &Params::tearStretch),
    flag("groundStops", "ground stops what lands", &Params::groundStops),
    choice("solver", "solver", kSolverNames, 2, &Params::solver),
    real("stretchCompliance", "stretch compliance (0 rigid)", 0, 1, &Params::stretchCompliance),
    real("shearCompliance", "shear compliance (0 rigid)", 0, 1, &Params::shearCompliance),
    real("bendCompliance", "bending compliance (0 rigid)", 0, 1, &Params::bendCompliance),
    flag("tethers", "tethers to the pins", &Params::tethers),
    flag("terrain", "terrain", &Params::terrain),
};
constexpr int kTableSize = sizeof kTable / sizeof kTable[0];

}  // namespace

const char* presetName(Preset preset) {
  for (const PresetName& p : kPresets)
    if (p.preset == preset) return p.name;
  return "drape";
}

bool presetFromName(const std::string& name, Preset& preset) {
  for (const PresetName& p : kPresets)
    if (name == p.name) {
      preset = p.preset;
      return true;
    }
  return false;
}

const char* presetNames() {
  return "drape, curtain, flag, hanging";
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

}  // namespace cloth
