// The cloth application object: the node layout. The factory and the type
// tag are in drapeFactory.cpp.
#include "app/drapeApp.h"

#include "zeShape/zeTransforms.h"

// The scratch and unused fields start at zero so that no field is ever read
// uninitialised; every operation writes its scratch before using it.
drapeApp::drapeApp()
    : dist1(0.0f),
      dist2(0.0f),
      dist3(0.0f),
      dist4(0.0f),
      fx(0.0f),
      fy(0.0f),
      i(0),
      h(0),
      m(0),
      n(0) {
  // A flat sheet at height 30, one unit between neighbours (the springs'
  // rest length), centred near the origin: x and y run from -29 to 30.
  for (i = 0; i < 3600; i++) {
    clothknob& knob = thread[i];
    knob.on_surf = false;
    knob.pos.x = static_cast<float>(i % 60 - 29);
    knob.pos.y = static_cast<float>(i / 60 - 29);
    knob.pos.z = 30.0f;
    knob.vel.x = 0.0f;
    knob.vel.y = 0.0f;
    knob.vel.z = 0.0f;
  }
  enviro.x = 0.0f;
  enviro.y = 0.0f;
  enviro.z = -2.0f;
  zero *= 0.0f;
  blanky = new zeMeshShape(60, 60);
  j = 0.0f;
  zeTransformsInit();
}
