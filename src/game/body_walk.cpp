#include "game/body_walk.h"

#include <algorithm>
#include <vector>

#include "base/random.h"
#include "state/state.h"

namespace {

constexpr float kFarHeights = 3;  // window heights above the top and below the bottom

void pushWalker(b2Body* body) {
  const int choice = rand_a_b(1, 5);
  // The force acts at the world origin, not the body's centre: the walker hops and spins.
  if (choice == 4) body->ApplyForce(b2Vec2(0, -100), b2Vec2(0, 0), true);
}

bool beyond(const FarLimits& far, const b2Vec2& p) {
  return p.x > far.right || p.y < far.top || p.y > far.bottom;
}

// The ship and every body reachable from it through joints: the crane car on its
// cable, its wheels and crane, and whatever else someone joins to them.
std::vector<const b2Body*> shipAndJoined(const State& state) {
  std::vector<const b2Body*> found;
  if (state.ship) found.push_back(state.ship);
  for (size_t i = 0; i < found.size(); ++i)
    for (const b2JointEdge* e = found[i]->GetJointList(); e; e = e->next)
      if (std::find(found.begin(), found.end(), e->other) == found.end())
        found.push_back(e->other);
  return found;
}

}  // namespace

FarLimits farLimits(const State& state) {
  return {(200 + state.bordGaucheEcran + WIDTH) * P2M, -kFarHeights * HEIGHT * P2M,
          (1 + kFarHeights) * HEIGHT * P2M};
}

void walkBodies(State& state, BodyPainter* painter) {
  const FarLimits far = farLimits(state);
  std::vector<const b2Body*> kept;  // worked out only once a far body turns up
  bool keptKnown = false;

  if (painter) painter->beginFrame();
  b2Body* body = state.world->GetBodyList();
  while (body) {
    b2Body* next = body->GetNext();
    const b2Fixture* fixture = body->GetFixtureList();
    if (painter) painter->paint(body);
    if (fixture && fixture->GetType() == b2Shape::e_polygon &&
        fixture->GetDensity() == kWalkerDensity)
      pushWalker(body);
    const b2Vec2 p = body->GetPosition();
    bool remove = p.x <= 0;
    if (!remove && beyond(far, p)) {
      if (!keptKnown) kept = shipAndJoined(state), keptKnown = true;
      remove = std::find(kept.begin(), kept.end(), body) == kept.end();
    }
    if (remove) destroyBody(state, body);
    body = next;
  }
  if (painter) painter->endFrame();
}
