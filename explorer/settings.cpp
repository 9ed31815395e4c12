#include "explorer/settings.h"

#include <algorithm>
#include <string>

#include "explorer/drapeExplorerApp.h"
#include "explorer/looks.h"

namespace explorer {

namespace {

bool sameParams(const cloth::Params& a, const cloth::Params& b) {
  int count;
  const cloth::ParamInfo* table = cloth::paramTable(count);
  for (int k = 0; k < count; ++k)
    if (cloth::paramValue(table[k], a) != cloth::paramValue(table[k], b)) return false;
  return true;
}

// The running cloth's parameters with the new ones that apply now.
cloth::Params liveParams(const cloth::Params& running, const cloth::Params& asked) {
  cloth::Params live = asked;
  int count;
  const cloth::ParamInfo* table = cloth::paramTable(count);
  for (int k = 0; k < count; ++k)
    if (table[k].atRestart) cloth::setParam(table[k], live, cloth::paramValue(table[k], running));
  return live;
}

}  // namespace

PanelState panelState(const drapeExplorerApp& app) {
  const LabSettings& settings = app.settings();
  const FrameFigures& figures = app.figures();
  PanelState s;
  s.params = settings.params;
  s.preset = settings.preset;
  s.threads = settings.threads;
  s.look = app.look;
  s.autoTurn = app.camera.autoTurn;
  s.paused = app.paused;
  s.stepMs = figures.stepMs;
  s.drawMs = figures.drawMs;
  s.panelMs = figures.panelMs;
  s.fps = figures.fps;
  s.strainPlot = app.plots().strain();
  s.strainPoints = app.plots().strainCount();
  s.energyPlot = app.plots().energy();
  s.energyPoints = app.plots().energyCount();
  s.meshes = settings.meshes.data();
  s.meshCount = static_cast<int>(settings.meshes.size());
  return s;
}

void applyPanel(drapeExplorerApp& app, const PanelState& s) {
  LabSettings& settings = app.settings();
  std::string what;
  if (s.presetChosen) {
    settings.preset = s.preset;
    settings.params = cloth::presetParams(
        settings.preset, std::clamp(s.params.size, cloth::kMinSize, cloth::kMaxSize));
  } else if (cloth::paramsValid(s.params, what)) {
    settings.params = s.params;
    const cloth::Params live = liveParams(app.cloth().params(), settings.params);
    if (!sameParams(live, app.cloth().params())) app.cloth().setParams(live);
  }
  if (s.threads != settings.threads && s.threads >= cloth::kMinThreads &&
      s.threads <= cloth::kMaxThreads) {
    settings.threads = s.threads;
    app.cloth().setThreads(settings.threads);
  }
  app.look = lookAt(s.look);
  app.camera.autoTurn = s.autoTurn;
  if (s.paused != app.paused) {
    app.paused = s.paused;
    app.pendingSteps = 0;
  }
  if (s.step && app.paused) ++app.pendingSteps;
  if (s.restart || s.presetChosen) app.restartCloth();
}

}  // namespace explorer
