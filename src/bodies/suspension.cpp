#include "bodies/suspension.h"

#include <cmath>

#include "bodies/inverse_mass.h"

namespace {

constexpr float kOmega = 2 * b2_pi * kSuspensionHz;

float axialMass(b2WheelJoint* joint) {
  const b2Body* a = joint->GetBodyA();
  const b2Body* b = joint->GetBodyB();
  const b2Vec2 rA = b2Mul(a->GetTransform().q, joint->GetLocalAnchorA() - a->GetLocalCenter());
  const b2Vec2 rB = b2Mul(b->GetTransform().q, joint->GetLocalAnchorB() - b->GetLocalCenter());
  const b2Vec2 d = b->GetWorldCenter() + rB - a->GetWorldCenter() - rA;
  const b2Vec2 axis = b2Mul(a->GetTransform().q, joint->GetLocalAxisA());
  const float sAx = b2Cross(d + rA, axis);
  const float sBx = b2Cross(rB, axis);
  const float invMass = inverseMass(a) + inverseMass(b) + inverseCentralInertia(a) * sAx * sAx +
                        inverseCentralInertia(b) * sBx * sBx;
  return invMass > 0 ? 1 / invMass : 0;
}

}  // namespace

void setSuspension(b2WheelJoint* joint, float dampingRatio) {
  const float mass = axialMass(joint);
  joint->SetStiffness(mass * kOmega * kOmega);
  joint->SetDamping(2 * mass * dampingRatio * kOmega);
}

void updateSuspensions(b2World& world) {
  for (b2Joint* j = world.GetJointList(); j; j = j->GetNext()) {
    if (j->GetType() != e_wheelJoint) continue;
    auto* wheel = static_cast<b2WheelJoint*>(j);
    // damping / stiffness = 2 ratio / omega whatever the mass, so the joint
    // keeps its own ratio without our storing it.
    const float stiffness = wheel->GetStiffness();
    if (stiffness <= 0) continue;
    setSuspension(wheel, wheel->GetDamping() * kOmega / (2 * stiffness));
  }
}
