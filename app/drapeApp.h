// The cloth application: 60 x 60 nodes on springs that fall onto an analytic
// terrain and are drawn every frame as a turning white net.
#pragma once

#include "zeShape/zeNiceShapes.h"
#include "zeu/zeApp.h"
#include "zeu/zeVec3f.h"

// One cloth node. Node n sits at column n % 60 and row n / 60.
struct clothknob {
  zeVec3f pos;   // cloth space: x, y horizontal, z up
  zeVec3f vel;   // position units per unit time
  bool on_surf;  // has touched the terrain; never reset
};

class drapeApp : public zeApp {
 public:
  zeMeshShape* blanky;  // built at start, never drawn
  clothknob thread[3600];
  zeVec3f del1;  // rungef scratch: vectors to the four neighbours
  zeVec3f del2;
  zeVec3f del3;
  zeVec3f del4;
  zeVec3f force;     // rungef scratch: total spring force
  zeVec3f zero;      // stage argument of the first stage
  zeVec3f enviro;    // per-frame velocity change: gravity
  zeVec3f k1[3600];  // Runge-Kutta stage values (velocity increments)
  zeVec3f k2[3600];
  zeVec3f k3[3600];
  zeVec3f k4[3600];
  float dist1;  // rungef scratch: lengths of del1..del4, 1 when absent
  float dist2;
  float dist3;
  float dist4;
  float fx;  // unused
  float fy;  // unused
  float j;   // frames drawn; the view turns by j * 0.25 degrees
  int i;     // node loop counter
  int h;     // inner loop counter of the line drawing
  int m;     // unused
  int n;     // unused

  drapeApp();
  void draw() override;
  // The simulation part of draw: the contact, stage and update passes of one
  // frame, without the view or the drawing and without advancing j.
  void step();
  // The drawing part of draw: the white net of lines through the node
  // positions, on whatever view OpenGL's modelview holds. Sets i and h as
  // the loops of draw leave them.
  void drawNet();
  virtual void rungef(clothknob* P, zeVec3f& vstore, zeVec3f ref, int i);
  virtual float surface(float x, float y);
};

extern "C" char my_type[4];  // "App"
