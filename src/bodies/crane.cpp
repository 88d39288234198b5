#include "bodies/crane.h"

#include "bodies/factories.h"
#include "bodies/wake.h"
#include "state/state.h"

namespace {

b2Body* makeSegment(State& state, const b2Vec2& position, float halfWidth, float halfHeight,
                    float friction) {
  b2Body* body = makeBoxBody(state, b2_dynamicBody, position, halfWidth, halfHeight, kCraneDensity,
                             friction, 0);
  body->SetGravityScale(0);
  return body;
}

b2RevoluteJoint* makeJoint(State& state, b2Body* a, b2Body* b, const b2Vec2& anchorA,
                           const b2Vec2& anchorB) {
  b2RevoluteJointDef def;
  def.bodyA = a;
  def.bodyB = b;
  def.localAnchorA = anchorA;
  def.localAnchorB = anchorB;
  def.enableMotor = true;
  def.maxMotorTorque = 10000;
  def.motorSpeed = 0;
  def.collideConnected = false;
  auto* joint = static_cast<b2RevoluteJoint*>(state.world->CreateJoint(&def));
  joint->SetMotorSpeed(0);
  wakeJointBodies(joint);
  return joint;
}

}  // namespace

b2Body* make_Grue(State& state, int x, int y, b2Body* b) {
  const float armHalf = 40 * P2M;
  const float wristHalf = 20 * P2M;
  const float fingerHalf = 10 * P2M;
  const float barHalf = 0.1f * P2M;
  const float fingerThick = 1.1f * P2M;

  state.baseBras = makeSegment(state, b2Vec2(x * P2M, y * P2M), armHalf, barHalf, 100);
  state.wheelBras = makeJoint(state, b, state.baseBras, b2Vec2(0, -1.8f), b2Vec2(-4, 0));
  state.wheelBras->EnableLimit(true);
  state.wheelBras->SetLimits(-3.1f, 0);

  state.secondBras =
      makeSegment(state, state.baseBras->GetPosition() + b2Vec2(2, 0), armHalf, barHalf, 100);
  state.wheelSecondBras =
      makeJoint(state, state.baseBras, state.secondBras, b2Vec2(5, 0), b2Vec2(-4, 0));

  state.poignet = makeSegment(state, state.secondBras->GetPosition(), wristHalf, barHalf, 100);
  state.wheelPoignet =
      makeJoint(state, state.secondBras, state.poignet, b2Vec2(5, 0), b2Vec2(0, 0));

  state.pouce = makeSegment(state, state.poignet->GetPosition(), fingerHalf, fingerThick, 1000);
  state.wheelPouce = makeJoint(state, state.poignet, state.pouce, b2Vec2(2, -1.1f), b2Vec2(1, 0));

  state.Index = makeSegment(state, state.poignet->GetPosition(), fingerHalf, fingerThick, 1000);
  state.wheelIndex = makeJoint(state, state.poignet, state.Index, b2Vec2(-2, -1.1f), b2Vec2(1, 0));

  return state.baseBras;
}

void bloque_bras_robot(CranePart& crane) {
  for (b2RevoluteJoint* joint : crane.hinges())
    if (joint) {
      joint->SetMaxMotorTorque(1000000);
      wakeJointBodies(joint);
    }
}
