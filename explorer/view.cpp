#include "explorer/view.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>

#include "cloth/strain.h"
#include "explorer/clothFiles.h"
#include "explorer/lab.h"
#include "explorer/strainLook.h"
#include "zeShape/zeTransforms.h"

namespace explorer {

namespace {

// drape's net as white lines over the cloth's nodes: a mesh for its lists,
// made at their size in one go, with its strips replaced by the net's links.
zeMeshShape* newNetShape(int size) {
  zeMeshShape* net = new zeMeshShape(size, size);
  net->drawStyle = GL_LINES;
  net->enablePicking = false;
  net->enableVertexColors = false;
  net->enableVertexNormals = false;
  net->Color.set(1.0f, 1.0f, 1.0f, 1.0f);
  return net;
}

// The colour the back of the sheet is lit in, so that folds read.
constexpr float kBack[4] = {0.36f, 0.52f, 0.78f, 1.0f};

// Deletes an object known to be of exactly type T (these classes have no
// virtual destructors).
template <class T>
void destroy(T* object) {
  object->T::~T();
  ::operator delete(object);
}

}  // namespace

ClothView::ClothView(int size)
    : mesh(newClothMesh(size)),
      net_(newNetShape(size)),
      netCuts_(-1),
      faceCuts_(0),
      normalsStale_(true),
      strains_(static_cast<size_t>(size) * size) {}

// The program never ends this way, but a test does.
ClothView::~ClothView() {
  destroy(mesh);
  destroy(net_);
}

void ClothView::resize(int size) {
  destroy(mesh);
  mesh = newClothMesh(size);
  destroy(net_);
  net_ = newNetShape(size);
  netCuts_ = -1;
  faceCuts_ = 0;
  normalsStale_ = true;
  strains_.assign(static_cast<size_t>(size) * size, 0.0f);
  strainPainted_ = false;
}

// The surface loses the faces of cut and torn links; made again only when
// links went since the last time.
void ClothView::syncFaces(const cloth::Cloth& cloth) {
  if (faceCuts_ == cloth.cutLinks()) return;
  buildFaces(cloth, *mesh);
  meshArrays_.prepare(*mesh);
  faceCuts_ = cloth.cutLinks();
  normalsStale_ = true;
}

void ClothView::syncPositions(const cloth::Cloth& cloth) {
  copyPositions(cloth, *mesh);
}

// The surface goes through the shape library, whose draw maps the vertices
// through the software transform stack: the view is put there, OpenGL's
// modelview stays the identity, and the captured camera is the standard
// frame's. The net is sent to OpenGL directly, so the same view goes on
// OpenGL's modelview around it.
void ClothView::draw(const cloth::Cloth& cloth, Look look, const viewkit::OrbitCamera& camera,
                     float cx, float cy) {
  // The lighting normals are the cloth's own; the view goes to OpenGL with
  // the vertices, so they change only when the cloth moves, and the net
  // look, which draws no surface, leaves them until a look that does.
  if (normalsStale_ && look != kNet) {
    mesh->calculateMeshNormals();
    normalsStale_ = false;
  }
  if (look == kStrain) {
    paintStrains(cloth);
  } else if (strainPainted_) {
    paintPlain();
  }
  // In the net look only the mesh's window positions are made (picking),
  // as its draw makes them; nothing of it is rasterised.
  zePushMatrix();
  camera.applySoftware(cx, cy);
  if (look == kNet) {
    meshArrays_.locate(*mesh);
  } else {
    drawSurface(look);
  }
  zePopMatrix();
  if (look == kSurfaceAndNet || look == kNet) drawNet(cloth, camera, cx, cy);
}

// Both sides lit: the back of the sheet in a colour of its own, so that
// folds read (in the strain look both sides show the strain). The browser's
// GL emulation lights one side only.
void ClothView::drawSurface(Look look) {
  glPushAttrib(GL_LIGHTING_BIT | GL_POLYGON_BIT);
#ifndef __EMSCRIPTEN__
  // The mesh's normals point to the side its strips wind clockwise on: that
  // side is the front, the one its normals light.
  glFrontFace(GL_CW);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
  if (look != kStrain) {
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glMaterialfv(GL_BACK, GL_AMBIENT_AND_DIFFUSE, kBack);
  }
#endif
  if (look == kSurfaceAndNet) {
    glEnable(GL_POLYGON_OFFSET_FILL);  // the net's lines win over the surface they lie on
    glPolygonOffset(1.0f, 1.0f);
    meshArrays_.draw(*mesh);
    glDisable(GL_POLYGON_OFFSET_FILL);
  } else {
    meshArrays_.draw(*mesh);
  }
  glPopAttrib();
}

// Every frame in the strain look: the colours follow the cloth.
void ClothView::paintStrains(const cloth::Cloth& cloth) {
  cloth::nodeStrains(cloth, strains_.data());
  largestStrain_ = *std::max_element(strains_.begin(), strains_.end());
  explorer::paintStrains(strains_.data(), cloth.nodeCount(), mesh->colorList);
  strainPainted_ = true;
}

void ClothView::paintPlain() {
  paintClothColour(*mesh);
  strainPainted_ = false;
}

void ClothView::drawPoints(const int* nodes, size_t count, float size,
                           const float colour[3]) const {
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_POINT_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glPointSize(size);
  glBegin(GL_POINTS);
  glColor3f(colour[0], colour[1], colour[2]);
  for (size_t k = 0; k < count; ++k) {
    const zeVec3f& p = mesh->absVertexList[nodes[k]];
    glVertex3f(p.x, p.y, p.z);
  }
  glEnd();
  glPopAttrib();
}

// drape's net at any size: for each inner step one segment along row b
// (columns a - 1 to a) and one along column b (rows a - 1 to a); the outer
// border is not drawn, and neither is a cut link. Made again only when links
// were cut.
void ClothView::buildNet(const cloth::Cloth& c) {
  const int N = c.size();
  int32_t count = 0;
  for (int a = 1; a < N; ++a)
    for (int b = 1; b < N - 1; ++b)
      count += 2 * (c.linkRight(N * b + a - 1) + c.linkUp(N * (a - 1) + b));
  int32_t* out = net_->resizeIndexList(count);
  for (int a = 1; a < N; ++a) {
    for (int b = 1; b < N - 1; ++b) {
      const int row = N * b + a - 1, column = N * (a - 1) + b;
      if (c.linkRight(row)) {
        *out++ = row;
        *out++ = row + 1;
      }
      if (c.linkUp(column)) {
        *out++ = column;
        *out++ = column + N;
      }
    }
  }
  netArrays_.prepare(*net_);
  netCuts_ = c.cutLinks();
}

// The net's lines are lit with the normal (0, 0, 1), OpenGL's initial one,
// as drape's are.
void ClothView::drawNet(const cloth::Cloth& cloth, const viewkit::OrbitCamera& camera, float cx,
                        float cy) {
  if (netCuts_ != cloth.cutLinks()) buildNet(cloth);
  std::memcpy(static_cast<void*>(net_->vertexList), cloth.positions(),
              sizeof(zeVec3f) * static_cast<size_t>(cloth.nodeCount()));
  zePushMatrix();
  camera.applySoftware(cx, cy);
  netArrays_.draw(*net_);
  zePopMatrix();
}

void ClothView::drawInShortCalls(int32_t vertices) {
  for (zeShapeArrays* arrays : {&meshArrays_, &netArrays_}) {
    arrays->setVertexWindow(vertices);
    arrays->setInterleaved(true);
  }
  meshArrays_.prepare(*mesh);
  netCuts_ = -1;  // the net's list is made again, in short calls
}

}  // namespace explorer
