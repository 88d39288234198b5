#include "bodies/cable.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "bodies/inverse_mass.h"
#include "state/state.h"

namespace {

constexpr float kRestLength = 1;     // metres
constexpr float kMaxCorrection = 0.2f;  // metres per position iteration
constexpr int kPositionIterations = 3;

// Both limits at one length make the joint a rigid rod of that length.
// Whichever limit moves towards the other goes first, so neither is clamped.
void setRodLength(b2DistanceJoint* joint, float length) {
  if (length < joint->GetMinLength()) {
    joint->SetMinLength(length);
    joint->SetMaxLength(length);
  } else {
    joint->SetMaxLength(length);
    joint->SetMinLength(length);
  }
}

b2DistanceJoint* makeCableJoint(State& s, const b2Vec2& shipAnchor, const b2Vec2& carAnchor) {
  b2DistanceJointDef def;
  def.bodyA = s.ship;
  def.bodyB = s.car;
  def.localAnchorA = shipAnchor;
  def.localAnchorB = carAnchor;
  def.length = kRestLength;
  // Box2D would close any gap in one step; the rod starts where the car hangs.
  const float gap = (s.car->GetWorldPoint(carAnchor) - s.ship->GetWorldPoint(shipAnchor)).Length();
  def.minLength = def.maxLength = std::max(gap, kRestLength);
  return static_cast<b2DistanceJoint*>(s.world->CreateJoint(&def));
}

// A body's position, as the position solver moves it.
struct Pose {
  const b2Body* body;
  b2Vec2 centre;
  float angle;
  float invMass, invInertia;

  explicit Pose(const b2Body* b)
      : body(b),
        centre(b->GetWorldCenter()),
        angle(b->GetAngle()),
        invMass(inverseMass(b)),
        invInertia(inverseCentralInertia(b)) {}
  b2Vec2 arm(const b2Vec2& localAnchor) const {
    return b2Mul(b2Rot(angle), localAnchor - body->GetLocalCenter());
  }
};

struct Rod {
  b2DistanceJoint* joint;
  float mass;  // effective mass along the rod, fixed for the step as the solver has it

  // Anchor-to-anchor vector from A to B, and the two arms from the centres.
  b2Vec2 span(const Pose& a, const Pose& b, b2Vec2& rA, b2Vec2& rB) const {
    rA = a.arm(joint->GetLocalAnchorA());
    rB = b.arm(joint->GetLocalAnchorB());
    return b.centre + rB - a.centre - rA;
  }
};

}  // namespace

void attachCable(State& s) {
  if (!s.ship || !s.car) return;
  s.distanceJoint = makeCableJoint(s, b2Vec2(-1, 15), b2Vec2(-1, 0));
  s.distanceJoint2 = makeCableJoint(s, b2Vec2(1, 15), b2Vec2(1, 0));
}

void takeUpCable(State& s) {
  std::vector<Rod> rods;
  for (b2Joint* j : {s.distanceJoint, s.distanceJoint2})
    if (j) rods.push_back({static_cast<b2DistanceJoint*>(j), 0});
  if (rods.empty()) return;

  // Both rods join the same two bodies (ship and car); work on copies of them.
  Pose a(rods.front().joint->GetBodyA());
  Pose b(rods.front().joint->GetBodyB());
  for (Rod& rod : rods) {
    b2Vec2 rA, rB;
    b2Vec2 u = rod.span(a, b, rA, rB);
    if (u.Normalize() < b2_linearSlop) u.SetZero();
    const float crA = b2Cross(rA, u), crB = b2Cross(rB, u);
    const float inv = a.invMass + a.invInertia * crA * crA + b.invMass + b.invInertia * crB * crB;
    rod.mass = inv > 0 ? 1 / inv : 0;
  }

  for (int i = 0; i < kPositionIterations; ++i) {
    for (const Rod& rod : rods) {
      b2Vec2 rA, rB;
      b2Vec2 u = rod.span(a, b, rA, rB);
      const float length = u.Normalize();
      const float C = b2Clamp(length - kRestLength, -kMaxCorrection, kMaxCorrection);
      const b2Vec2 P = -rod.mass * C * u;
      a.centre -= a.invMass * P;
      a.angle -= a.invInertia * b2Cross(rA, P);
      b.centre += b.invMass * P;
      b.angle += b.invInertia * b2Cross(rB, P);
    }
  }

  for (const Rod& rod : rods) {
    b2Vec2 rA, rB;
    float length = rod.span(a, b, rA, rB).Length();
    // Within the solver's tolerance the rod is at rest: hold it at exactly 1 m.
    if (std::abs(length - kRestLength) < b2_linearSlop) length = kRestLength;
    setRodLength(rod.joint, length);
  }
}
