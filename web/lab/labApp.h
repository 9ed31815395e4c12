// The lab page's application: drapeExplorer's lab in the browser. The page
// shows the parameters as its own controls (web/lab/lab.html), so the panel key
// goes to the page; the files the keys write are offered as downloads; and
// ?frames=N runs N frames as fast as the browser can, then shows the digest.
#pragma once

#include <memory>

#include "explorer/drapeExplorerApp.h"

class labWebApp : public drapeExplorerApp {
 public:
  // frames: the frame to run to before showing the digest; -1 to just run.
  labWebApp(std::unique_ptr<cloth::Cloth> cloth, long frames);

  void draw() override;
  void keyDown(char key) override;

 private:
  void runTowardsTarget();

  long target_;
  bool finished_;
};

// The page's one application, once the program has made it.
extern labWebApp* labPageApp;
