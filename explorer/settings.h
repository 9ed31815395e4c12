// The glue between the lab's settings and its panels (the desktop's ImGui
// panel and the page's controls): what they are shown each frame, and the
// changes they hand back, put into the running lab.
#pragma once

#include <memory>
#include <vector>

#include "cloth/obstacles.h"
#include "cloth/params.h"
#include "explorer/panel.h"

class drapeExplorerApp;

namespace explorer {

/// The settings a restart takes: the preset, the parameters (the size
/// among them) and the threads.
struct LabSettings {
  cloth::Preset preset = cloth::Preset::drape;
  cloth::Params params;
  int threads = 1;
  std::vector<std::shared_ptr<const cloth::MeshObstacle>> meshes;  ///< --collider's
};

/// What a panel shows of the lab now.
PanelState panelState(const drapeExplorerApp& app);

/// Takes back what a panel changed. Parameters go to the running cloth from
/// its next step, which carries on from where it is; those the table marks
/// as applying at restart wait for one. A choice of preset brings its
/// parameters at the size asked for and restarts.
void applyPanel(drapeExplorerApp& app, const PanelState& state);

}  // namespace explorer
