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

FarRule::FarRule(const State& state) : state_(state), far_(farLimits(state)) {}

bool FarRule::removes(const b2Body* body) {
  if (!beyond(far_, body->GetPosition())) return false;
  if (!keptKnown_) kept_ = shipAndJoined(state_), keptKnown_ = true;
  return std::find(kept_.begin(), kept_.end(), body) == kept_.end();
}

void walkBodies(State& state, BodyPainter* painter) {
  FarRule farRule(state);

  if (painter) painter->beginFrame();
  b2Body* body = state.world->GetBodyList();
  while (body) {
    b2Body* next = body->GetNext();
    const b2Fixture* fixture = body->GetFixtureList();
    if (painter) painter->paint(body);
    if (fixture && fixture->GetType() == b2Shape::e_polygon &&
        fixture->GetDensity() == kWalkerDensity)
      pushWalker(body);
    if (body->GetPosition().x <= 0 || farRule.removes(body)) destroyBody(state, body);
    body = next;
  }
  if (painter) painter->endFrame();
}
