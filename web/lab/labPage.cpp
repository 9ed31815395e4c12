// What the lab page's controls call: the description of the parameters the
// controls are built from (the cloth's one parameter table), the state they
// show, and the changes they make, which go through the same path as the
// desktop panel's. A node's state is there for the page's tests and anyone
// curious. Strings returned stay valid until the next call.
#include <emscripten/emscripten.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cloth/params.h"
#include "explorer/looks.h"
#include "web/lab/labApp.h"
#include "zeu/zeu.h"

namespace {

using Json = nlohmann::ordered_json;

std::string answer;

const char* give(const Json& json) {
  answer = json.dump();
  return answer.c_str();
}

// A choice's value names, in order; none for other kinds.
Json choices(const cloth::ParamInfo& info) {
  Json names = Json::array();
  for (int k = 0; cloth::choiceName(info, k); ++k) names.push_back(cloth::choiceName(info, k));
  return names;
}

const char* kindName(cloth::ParamKind kind) {
  switch (kind) {
    case cloth::ParamKind::integer:
      return "integer";
    case cloth::ParamKind::real:
      return "real";
    case cloth::ParamKind::flag:
      return "flag";
    case cloth::ParamKind::choice:
      return "choice";
  }
  return "";
}

}  // namespace

extern "C" {

// {"params": [{"name", "meaning", "kind", "least", "most", "atRestart",
// "format", "logarithmic", "choices"}...], "presets": [...], "looks": [...]}
EMSCRIPTEN_KEEPALIVE const char* zeLabDescribe() {
  Json params = Json::array();
  int count;
  const cloth::ParamInfo* table = cloth::paramTable(count);
  for (int k = 0; k < count; ++k)
    params.push_back({{"name", table[k].name},
                      {"meaning", table[k].meaning},
                      {"kind", kindName(table[k].kind)},
                      {"least", table[k].least},
                      {"most", table[k].most},
                      {"atRestart", table[k].atRestart},
                      {"format", table[k].format},
                      {"logarithmic", table[k].logarithmic},
                      {"choices", choices(table[k])}});
  Json presets = Json::array();
  int presetCount;
  const cloth::PresetInfo* presetTable = cloth::presetTable(presetCount);
  for (int k = 0; k < presetCount; ++k) presets.push_back(presetTable[k].name);
  Json looks = Json::array();
  for (const explorer::LookInfo& look : explorer::kLooks) looks.push_back(look.name);
  return give({{"params", params}, {"presets", presets}, {"looks", looks}});
}

// The parameters' values by name (the size the one the next restart takes),
// the preset, the switches, the live figures and the last ten seconds of the
// largest strain and the kinetic energy, oldest first.
EMSCRIPTEN_KEEPALIVE const char* zeLabState() {
  labWebApp* app = labPageApp;
  if (!app) return "{}";
  const explorer::PanelState s = app->panelState();
  Json values = Json::object();
  int count;
  const cloth::ParamInfo* table = cloth::paramTable(count);
  for (int k = 0; k < count; ++k) values[table[k].name] = cloth::paramValue(table[k], s.params);
  return give({{"values", values},
               {"preset", cloth::presetName(s.preset)},
               {"paused", s.paused},
               {"look", s.look},
               {"autoTurn", s.autoTurn},
               {"frame", app->frame()},
               {"nodes", app->cloth().size()},
               {"fps", s.fps},
               {"stepMs", s.stepMs},
               {"drawMs", s.drawMs},
               {"cut", app->cloth().cutLinks()},
               {"strainPlot", std::vector<float>(s.strainPlot, s.strainPlot + s.strainPoints)},
               {"energyPlot", std::vector<float>(s.energyPlot, s.energyPlot + s.energyPoints)}});
}

// A parameter of the table by its name, or one of the lab's own settings:
// preset (its index: loads it and restarts), paused, look, autoTurn, step,
// restart. 1 when taken; 0 for an unknown name or a value out of range.
EMSCRIPTEN_KEEPALIVE int zeLabSet(const char* name, double value) {
  labWebApp* app = labPageApp;
  if (!app) return 0;
  explorer::PanelState s = app->panelState();
  const std::string n = name;
  if (const cloth::ParamInfo* info = cloth::findParam(n)) {
    if (!cloth::setParam(*info, s.params, value)) return 0;
  } else if (n == "preset") {
    int presetCount;
    const cloth::PresetInfo* presets = cloth::presetTable(presetCount);
    if (!(value >= 0 && value < presetCount && value == static_cast<int>(value))) return 0;
    s.preset = presets[static_cast<int>(value)].preset;
    s.presetChosen = true;
  } else if (n == "paused") {
    s.paused = value != 0;
  } else if (n == "look") {
    if (!(value >= 0 && value < explorer::kLookCount && value == static_cast<int>(value))) return 0;
    s.look = static_cast<int>(value);
  } else if (n == "autoTurn") {
    s.autoTurn = value != 0;
  } else if (n == "step") {
    s.step = true;
  } else if (n == "restart") {
    s.restart = true;
  } else {
    return 0;
  }
  app->applyPanel(s);
  return 1;
}

// Node n as last drawn: {"position": [x, y, z], "window": [x, y] (pixels
// from the canvas's top-left corner), "pinned", "contact"}; {} past the end.
EMSCRIPTEN_KEEPALIVE const char* zeLabNode(int n) {
  labWebApp* app = labPageApp;
  if (!app || n < 0 || n >= app->cloth().nodeCount()) return "{}";
  const zeVec3f& p = app->cloth().positions()[n];
  const zeVec3f& w = app->mesh->screenVertexList[n];
  return give({{"position", {p.x, p.y, p.z}},
               {"window", {w.x, zeuWindowHeight - 1 - w.y}},
               {"pinned", app->cloth().pinned(n)},
               {"contact", app->cloth().inContact(n)}});
}

// A long press at (x, y), pixels from the canvas's top-left corner: pins or
// frees the node there, as a right click does. The node, or -1.
EMSCRIPTEN_KEEPALIVE int zeLabPinAt(float x, float y) {
  labWebApp* app = labPageApp;
  if (!app) return -1;
  const int node = app->pick(x, static_cast<float>(zeuWindowHeight - 1) - y);
  app->togglePin(node);
  return node;
}

}  // extern "C"
