#include "bodies/bridge.h"

#include <cstdlib>
#include <iostream>

#include "bodies/factories.h"
#include "state/state.h"

namespace {

[[noreturn]] void refuse(const char* why) {
  std::cerr << "createBridge: " << why << std::endl;
  std::exit(EXIT_FAILURE);
}

// The station's first fixture as a polygon with at least `minVertices` vertices.
const b2PolygonShape& stationPolygon(const b2Body* body, int minVertices, const char* which) {
  if (body == nullptr) refuse(which);
  const b2Fixture* fixture = body->GetFixtureList();
  if (fixture == nullptr || fixture->GetType() != b2Shape::e_polygon) refuse(which);
  const auto* polygon = static_cast<const b2PolygonShape*>(fixture->GetShape());
  if (polygon->m_count < minVertices) refuse(which);
  return *polygon;
}

}  // namespace

void createBridge(State& state, b2Body* sta1, b2Body* sta2, int w, int h) {
  const b2Vec2 left =
      stationPolygon(sta1, 2, "the left station needs a polygon as its first fixture")
          .m_vertices[1];
  const b2Vec2 right =
      stationPolygon(sta2, 1, "the right station needs a polygon as its first fixture")
          .m_vertices[0];
  if (w <= 0 || h <= 0) refuse("the plank spacing and height must be positive");

  const b2Vec2 pos1 = M2P * (sta1->GetWorldCenter() + left);
  const b2Vec2 pos2 = M2P * (sta2->GetWorldCenter() + right);
  const int num = static_cast<int>((pos2.x - pos1.x) / w);

  const float outer = (w / 2) * P2M;
  const float inner = ((-w) / 2) * P2M;
  b2RevoluteJointDef joint;

  b2Body* prev =
      addRect(state, static_cast<int>(pos1.x + w), static_cast<int>(pos1.y), 2 * w, h, true);
  joint.bodyA = sta1;
  joint.bodyB = prev;
  joint.localAnchorA.Set(left.x, 0);
  joint.localAnchorB.Set(inner, 0);
  state.world->CreateJoint(&joint);

  // These planks start again from pos1.x; the hinges pull the chain together.
  for (int i = 0; i < num - 1; ++i) {
    b2Body* cur =
        addRect(state, static_cast<int>(pos1.x + i * w), static_cast<int>(pos1.y), 2 * w, h, true);
    joint.bodyA = prev;
    joint.bodyB = cur;
    joint.localAnchorA.Set(outer, 0);
    joint.localAnchorB.Set(inner, 0);
    state.world->CreateJoint(&joint);
    prev = cur;
  }

  joint.bodyA = prev;
  joint.bodyB = sta2;
  joint.localAnchorA.Set(outer, 0);
  joint.localAnchorB.Set(right.x, 0);
  state.world->CreateJoint(&joint);
}
