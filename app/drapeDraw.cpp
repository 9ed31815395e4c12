// One frame of the cloth: view, contact with the terrain, the four stage
// evaluations per free node, the update of every node, and the net of lines.
// Runs in place on the object's fixed arrays and allocates nothing.
#include <GL/gl.h>

#include "app/drapeApp.h"
#include "zeu/zeLanes.h"
#include "zeShape/zeTransforms.h"

#ifdef ZE_LANES
using zeLanes::load3;
using zeLanes::store3;
#endif

namespace {
constexpr int kNodes = 3600;
constexpr int kSide = 60;

inline void vertex(const zeVec3f& p) {
  glVertex3f(p.x, p.y, p.z);
}
}  // namespace

// The loops count on locals; the counter fields i and h are stored before
// every virtual call inside a loop and after each loop, so they hold what
// loops on the fields themselves would leave.
void drapeApp::draw() {
  // View: on the modelview of the standard frame, which maps z = 0 to window
  // pixels. The offset is fixed, not tied to the window size.
  glTranslatef(800.0f, 600.0f, 0.0f);
  glRotatef(-35.0f, 1.0f, 0.0f, 0.0f);
  glRotatef(j * 0.25f, 0.0f, 0.0f, 1.0f);
  glScalef(10.0f, 10.0f, 10.0f);
  zeTransformsCaptureCamera();

  step();
  drawNet();
  j += 1.0f;
}

void drapeApp::drawNet() {
  // For each inner step one segment along row b (columns a - 1 to a) and one
  // along column b (rows a - 1 to a); the outer border is not drawn.
  glBegin(GL_LINES);
  for (int a = 1; a < kSide; ++a) {
    for (int b = 1; b < kSide - 1; ++b) {
      glColor3f(1.0f, 1.0f, 1.0f);
      vertex(thread[kSide * b + a - 1].pos);
      vertex(thread[kSide * b + a].pos);
      vertex(thread[kSide * (a - 1) + b].pos);
      vertex(thread[kSide * a + b].pos);
    }
  }
  i = kSide;
  h = kSide - 1;
  glEnd();
}

void drapeApp::step() {
  // Contact: a node below the terrain is lifted onto it and stays in contact
  // for good, even if it later lies above the terrain again.
  for (int node = 0; node < kNodes; ++node) {
    clothknob& knob = thread[node];
    i = node;
    const float ground = surface(knob.pos.x, knob.pos.y);
    if (ground > knob.pos.z) {
      knob.pos.z = ground;
      knob.on_surf = true;
    }
  }
  i = kNodes;

  // Stages, for free nodes only, against the positions the contact pass left.
  // A node in contact keeps the stage values of its last free frame.
  for (int node = 0; node < kNodes; ++node) {
    if (thread[node].on_surf) continue;
    i = node;
    rungef(thread, k1[node], zero, node);
    rungef(thread, k2[node], k1[node] / 2.0f, node);
    rungef(thread, k3[node], k2[node] / 2.0f, node);
    rungef(thread, k4[node], k3[node], node);
  }
  i = kNodes;

  // Update. A node in contact gets gravity alone: adding its frozen stage
  // values every frame would push it on with a force it no longer feels.
#ifdef ZE_LANES
  // The same operations on x, y and z side by side in one register.
  const __m128 gravity = load3(enviro);
  const __m128 six = _mm_set1_ps(6.0f);
  const __m128 three = _mm_set1_ps(3.0f);
  const __m128 damping = _mm_set1_ps(0.995f);
  const __m128 timeStep = _mm_set1_ps(0.01f);
  for (int node = 0; node < kNodes; ++node) {
    clothknob& knob = thread[node];
    __m128 vel = load3(knob.vel);
    if (knob.on_surf) {
      vel = _mm_add_ps(vel, gravity);
    } else {
      const __m128 stages = _mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_div_ps(load3(k1[node]), six),
                                                             _mm_div_ps(load3(k2[node]), three)),
                                                  _mm_div_ps(load3(k3[node]), three)),
                                       _mm_div_ps(load3(k4[node]), six));
      vel = _mm_add_ps(vel, _mm_add_ps(stages, gravity));
    }
    vel = _mm_mul_ps(vel, damping);
    store3(knob.vel, vel);
    store3(knob.pos, _mm_add_ps(load3(knob.pos), _mm_mul_ps(vel, timeStep)));
  }
#else
  for (int node = 0; node < kNodes; ++node) {
    clothknob& knob = thread[node];
    if (knob.on_surf) {
      knob.vel += enviro;
    } else {
      knob.vel +=
          ((((k1[node] / 6.0f + k2[node] / 3.0f) + k3[node] / 3.0f) + k4[node] / 6.0f) + enviro);
    }
    knob.vel *= 0.995f;
    knob.pos += knob.vel * 0.01f;
  }
#endif
  i = kNodes;
}
