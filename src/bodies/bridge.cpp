#include "bodies/bridge.h"

#include "app/state.h"
#include "bodies/factories.h"

namespace {

const b2PolygonShape* firstPolygon(b2Body* body) {
  return static_cast<const b2PolygonShape*>(body->GetFixtureList()->GetShape());
}

}  // namespace

void createBridge(State& state, b2Body* sta1, b2Body* sta2, int w, int h) {
  const b2Vec2 left = firstPolygon(sta1)->m_vertices[1];
  const b2Vec2 right = firstPolygon(sta2)->m_vertices[0];
  const b2Vec2 pos1 = M2P * (sta1->GetWorldCenter() + left);
  const b2Vec2 pos2 = M2P * (sta2->GetWorldCenter() + right);
  const int num = static_cast<int>((pos2.x - pos1.x) / w);

  const float outer = (w / 2) * P2M;
  const float inner = ((-w) / 2) * P2M;
  b2RevoluteJointDef joint;

  b2Body* prev = addRect(state, static_cast<int>(pos1.x + w), static_cast<int>(pos1.y), 2 * w, h, true);
  joint.bodyA = sta1;
  joint.bodyB = prev;
  joint.localAnchorA.Set(left.x, 0);
  joint.localAnchorB.Set(inner, 0);
  state.world->CreateJoint(&joint);

  for (int i = 0; i < num - 1; ++i) {
    b2Body* cur = addRect(state, static_cast<int>(pos1.x + i * w), static_cast<int>(pos1.y), 2 * w, h, true);
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
