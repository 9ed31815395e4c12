#include "bench/bulletClothScene.h"

#include <BulletSoftBody/btSoftBodyHelpers.h>
#include <BulletSoftBody/btSoftBodyRigidBodyCollisionConfiguration.h>
#include <BulletSoftBody/btSoftRigidDynamicsWorld.h>
#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

namespace bulletcloth {

// Members in construction order: the world goes before what it points to.
struct Scene::World {
  btSoftBodyRigidBodyCollisionConfiguration configuration;
  btCollisionDispatcher dispatcher{&configuration};
  btDbvtBroadphase broadphase;
  btSequentialImpulseConstraintSolver solver;
  btSoftRigidDynamicsWorld world{&dispatcher, &broadphase, &solver, &configuration};
  // The box: 100 x 100 around the sheet's centre, its top at kBoxTop and 50
  // deep. Bullet pushes a node out of the box through its nearest face, so a
  // thin box passes nodes that sink past its middle out at the bottom:
  // the 512 x 512 sheet fell through one 4 deep.
  btBoxShape boxShape{btVector3(50, 50, kBoxDepth / 2)};
  btDefaultMotionState boxMotion{
      btTransform(btQuaternion::getIdentity(), btVector3(0.5f, 0.5f, kBoxTop - kBoxDepth / 2))};
  btRigidBody box{btRigidBody::btRigidBodyConstructionInfo(0, &boxMotion, &boxShape)};
  btSoftBody* sheet = nullptr;  // owned here, removed from the world first

  ~World() {
    if (sheet) {
      world.removeSoftBody(sheet);
      delete sheet;
    }
    world.removeRigidBody(&box);
  }
};

Scene::Scene(int n) : n_(n) {
  if (n < 2 || n > kMaxSide) {
    throw std::invalid_argument("bulletcloth::Scene: side " + std::to_string(n) + " outside 2.." +
                                std::to_string(kMaxSide));
  }
  world_ = std::make_unique<World>();
  World& w = *world_;
  w.world.setGravity(btVector3(0, 0, kGravity));
  w.world.addRigidBody(&w.box);

  btSoftBodyWorldInfo& info = w.world.getWorldInfo();
  info.m_gravity = btVector3(0, 0, kGravity);
  info.m_sparsesdf.Initialize();

  // No fixed corners, no diagonal links: the four-neighbour grid only.
  w.sheet = btSoftBodyHelpers::CreatePatch(
      info, btVector3(kLow, kLow, kStartHeight), btVector3(kHigh, kLow, kStartHeight),
      btVector3(kLow, kHigh, kStartHeight), btVector3(kHigh, kHigh, kStartHeight), n, n, 0, false);
  if (!w.sheet) throw std::runtime_error("bulletcloth::Scene: CreatePatch failed");
  w.sheet->m_materials[0]->m_kLST = 1;  // full linear stiffness
  // Left as Bullet makes them: one position iteration, and collisions
  // fCollision::Default (SDF_RS, nodes against the rigid box's signed
  // distance field; no clusters, no self-collision).
  w.world.addSoftBody(w.sheet);
}

Scene::~Scene() = default;

void Scene::step() {
  world_->world.stepSimulation(kFrameSeconds, 0);
}

int Scene::nodes() const {
  return world_->sheet->m_nodes.size();
}

int Scene::links() const {
  return world_->sheet->m_links.size();
}

int Scene::contacts() const {
  return world_->sheet->m_rcontacts.size();
}

float Scene::lowestHeight() const {
  float z = std::numeric_limits<float>::infinity();
  const btSoftBody::tNodeArray& nodes = world_->sheet->m_nodes;
  for (int i = 0; i < nodes.size(); ++i) z = std::min(z, nodes[i].m_x.z());
  return z;
}

float Scene::highestHeight() const {
  float z = -std::numeric_limits<float>::infinity();
  const btSoftBody::tNodeArray& nodes = world_->sheet->m_nodes;
  for (int i = 0; i < nodes.size(); ++i) z = std::max(z, nodes[i].m_x.z());
  return z;
}

const btSoftBody& Scene::sheet() const {
  return *world_->sheet;
}

struct HangingScene::World {
  btSoftBodyRigidBodyCollisionConfiguration configuration;
  btCollisionDispatcher dispatcher{&configuration};
  btDbvtBroadphase broadphase;
  btSequentialImpulseConstraintSolver solver;
  btSoftRigidDynamicsWorld world{&dispatcher, &broadphase, &solver, &configuration};
  btSoftBody* sheet = nullptr;  // owned here, removed from the world first

  ~World() {
    if (sheet) {
      world.removeSoftBody(sheet);
      delete sheet;
    }
  }
};

HangingScene::HangingScene(int n, int iterations) : n_(n) {
  if (n < 2 || n > Scene::kMaxSide || iterations < 1) {
    throw std::invalid_argument("bulletcloth::HangingScene: side " + std::to_string(n) +
                                " or iterations " + std::to_string(iterations) + " out of range");
  }
  world_ = std::make_unique<World>();
  World& w = *world_;
  w.world.setGravity(btVector3(0, 0, kHangingGravity));
  btSoftBodyWorldInfo& info = w.world.getWorldInfo();
  info.m_gravity = btVector3(0, 0, kHangingGravity);
  info.m_sparsesdf.Initialize();
  // Fixed corners 4 and 8: (kLow, kHigh) and (kHigh, kHigh), the far edge's.
  w.sheet = btSoftBodyHelpers::CreatePatch(
      info, btVector3(kLow, kLow, kStartHeight), btVector3(kHigh, kLow, kStartHeight),
      btVector3(kLow, kHigh, kStartHeight), btVector3(kHigh, kHigh, kStartHeight), n, n, 4 + 8,
      true);
  if (!w.sheet) throw std::runtime_error("bulletcloth::HangingScene: CreatePatch failed");
  btSoftBody::Material* material = w.sheet->m_materials[0];
  material->m_kLST = 1;
  material->m_kAST = 1;
  w.sheet->generateBendingConstraints(2, material);
  w.sheet->m_cfg.piterations = iterations;
  w.world.addSoftBody(w.sheet);
}

HangingScene::~HangingScene() = default;

void HangingScene::step() {
  world_->world.stepSimulation(kFrameSeconds, 0);
}

void HangingScene::position(int node, float& x, float& y, float& z) const {
  const btVector3& p = world_->sheet->m_nodes[node].m_x;
  x = p.x();
  y = p.y();
  z = p.z();
}

}  // namespace bulletcloth
