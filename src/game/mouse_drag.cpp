#include "game/mouse_drag.h"

#include <box2d/box2d.h>

#include "state/state.h"

namespace {

// The pull: a spring of 2 Hz, damped short of critically, whose force is capped
// at 30 times the body's weight under 9.81 m/s^2, so that light and heavy bodies
// alike follow the pointer at the same pace, under any sky, without being
// flung. 2 Hz stays well under the world's 20 steps a second.
constexpr float kPullHertz = 2.0f;
constexpr float kPullDampingRatio = 0.7f;
constexpr float kPullWeights = 30.0f;
constexpr float kStandardGravity = 9.81f;

// Inside the window, where the walk over the bodies never removes it.
constexpr float kMiddleX = WIDTH * P2M / 2, kMiddleY = HEIGHT * P2M / 2;
const b2Vec2 kGroundPosition(kMiddleX, kMiddleY);

b2Vec2 toWorld(int x, int y) { return P2M * b2Vec2(static_cast<float>(x), static_cast<float>(y)); }

// The body the picture shows at p: the walk paints the newest body first, so
// of several bodies there the oldest one is on top.
b2Body* grabbableBodyAt(const State& state, const b2Vec2& p) {
  b2Body* found = nullptr;
  for (b2Body* body = state.world->GetBodyList(); body; body = body->GetNext()) {
    if (body->GetType() != b2_dynamicBody || body == state.ship) continue;
    for (const b2Fixture* f = body->GetFixtureList(); f; f = f->GetNext())
      if (f->TestPoint(p)) found = body;
  }
  return found;
}

}  // namespace

void grabBody(State& state, int x, int y) {
  releaseBody(state);
  const b2Vec2 p = toWorld(x, y);
  b2Body* body = grabbableBodyAt(state, p);
  if (!body) return;

  b2BodyDef groundDef;
  groundDef.position = kGroundPosition;
  state.mouseGround = state.world->CreateBody(&groundDef);

  b2MouseJointDef def;
  def.bodyA = state.mouseGround;
  def.bodyB = body;
  def.target = p;
  def.maxForce = kPullWeights * body->GetMass() * kStandardGravity;
  b2LinearStiffness(def.stiffness, def.damping, kPullHertz, kPullDampingRatio, def.bodyA,
                    def.bodyB);
  state.mouseJoint = static_cast<b2MouseJoint*>(state.world->CreateJoint(&def));
  state.mouseTarget = p;
  if (!body->IsAwake()) body->SetAwake(true);
}

bool grabbableAt(const State& state, int x, int y) {
  return grabbableBodyAt(state, toWorld(x, y)) != nullptr;
}

void dragBody(State& state, int x, int y) {
  if (!grabbing(state)) return;
  state.mouseTarget = toWorld(x, y);
  if (state.mouseJoint) state.mouseJoint->SetTarget(state.mouseTarget);
}

void releaseBody(State& state) {
  // The ground takes the joint with it, if the grabbed body has not already.
  destroyBody(state, state.mouseGround);
}

bool grabbing(const MousePart& mouse) { return mouse.mouseGround != nullptr; }

void holdGrab(State& state) {
  if (!state.mouseGround) return;
  state.mouseGround->SetTransform(kGroundPosition, 0);
  if (state.mouseJoint) state.mouseJoint->SetTarget(state.mouseTarget);
}
