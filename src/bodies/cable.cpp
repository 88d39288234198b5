#include "bodies/cable.h"

#include <box2d/b2_distance.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "bodies/inverse_mass.h"
#include "state/state.h"

namespace {

constexpr float kRestLength = 1;        // metres
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

// The farthest a copy can move in one estimate: every clamped push of both rods.
constexpr float kReach = 2 * kPositionIterations * kMaxCorrection;

// Where the static ground stops a point that moves with a copy: the point, the
// ground's normal there (away from the ground) and the gap between them.
struct Stop {
  b2Vec2 point, normal;
  float gap;
};

// The static fixtures whose boxes overlap the query's.
struct StaticFixtures : b2QueryCallback {
  std::vector<const b2Fixture*> found;
  bool ReportFixture(b2Fixture* f) override {
    if (f->GetBody()->GetType() == b2_staticBody && !f->IsSensor() &&
        std::find(found.begin(), found.end(), f) == found.end())
      found.push_back(f);
    return true;
  }
};

// The normal of a touching contact between the two fixture children, turned
// away from the ground, and its points; false when they do not touch.
bool touchingContact(const b2Fixture* own, int32 ownChild, const b2Fixture* ground,
                     int32 groundChild, b2WorldManifold& manifold, int& pointCount) {
  for (const b2ContactEdge* e = own->GetBody()->GetContactList(); e; e = e->next) {
    b2Contact* c = e->contact;
    const bool groundFirst = c->GetFixtureA() == ground && c->GetChildIndexA() == groundChild &&
                             c->GetFixtureB() == own && c->GetChildIndexB() == ownChild;
    const bool ownFirst = c->GetFixtureA() == own && c->GetChildIndexA() == ownChild &&
                          c->GetFixtureB() == ground && c->GetChildIndexB() == groundChild;
    if (!(groundFirst || ownFirst) || !c->IsTouching()) continue;
    c->GetWorldManifold(&manifold);
    if (ownFirst) manifold.normal = -manifold.normal;  // Box2D's normal runs from A to B
    pointCount = c->GetManifold()->pointCount;
    return pointCount > 0;
  }
  return false;
}

// The stops that the static ground within reach puts in the way of one body.
void addGroundStops(const b2Body* body, std::vector<Stop>& stops) {
  for (const b2Fixture* f = body->GetFixtureList(); f; f = f->GetNext()) {
    if (f->IsSensor()) continue;
    for (int32 child = 0; child < f->GetShape()->GetChildCount(); ++child) {
      b2AABB box = f->GetAABB(child);
      box.lowerBound -= b2Vec2(kReach, kReach);
      box.upperBound += b2Vec2(kReach, kReach);
      StaticFixtures near;
      body->GetWorld()->QueryAABB(&near, box);
      for (const b2Fixture* g : near.found)
        for (int32 groundChild = 0; groundChild < g->GetShape()->GetChildCount(); ++groundChild) {
          b2DistanceInput in;
          in.proxyA.Set(f->GetShape(), child);
          in.proxyB.Set(g->GetShape(), groundChild);
          in.transformA = body->GetTransform();
          in.transformB = g->GetBody()->GetTransform();
          in.useRadii = true;
          b2SimplexCache cache;
          cache.count = 0;
          b2DistanceOutput out;
          b2Distance(&out, &cache, &in);
          if (out.distance > kReach) continue;
          if (out.distance > b2_epsilon) {
            b2Vec2 normal = out.pointA - out.pointB;
            normal.Normalize();
            stops.push_back({out.pointA, normal, out.distance});
            continue;
          }
          // Overlapping skins: only the contact knows which way is out.
          b2WorldManifold manifold;
          int points = 0;
          if (touchingContact(f, child, g, groundChild, manifold, points))
            for (int i = 0; i < points; ++i)
              stops.push_back({manifold.points[i], manifold.normal, 0});
        }
    }
  }
}

// A body's position, as the position solver moves it, stopped at the static
// ground near it and near the bodies joined to it (the car's wheels and arm).
// The rods' 2.3 pushes were clamped, and the floor's contacts undid the car's
// share of each; a copy that went through the floor would take up far more.
struct Pose {
  const b2Body* body;
  b2Vec2 centre;
  float angle;
  float invMass, invInertia;
  b2Vec2 startCentre;
  float startAngle;
  std::vector<Stop> stops;

  // `other` is the cable's other body, which moves with its own copy.
  Pose(const b2Body* b, const b2Body* other)
      : body(b),
        centre(b->GetWorldCenter()),
        angle(b->GetAngle()),
        invMass(inverseMass(b)),
        invInertia(inverseCentralInertia(b)),
        startCentre(centre),
        startAngle(angle) {
    addGroundStops(b, stops);
    for (const b2JointEdge* e = b->GetJointList(); e; e = e->next)
      if (e->other != other && e->other->GetType() != b2_staticBody)
        addGroundStops(e->other, stops);
  }
  b2Vec2 arm(const b2Vec2& localAnchor) const {
    return b2Mul(b2Rot(angle), localAnchor - body->GetLocalCenter());
  }
  void push(const b2Vec2& r, const b2Vec2& P) {
    centre += invMass * P;
    angle += invInertia * b2Cross(r, P);
  }
  // Moves the copy back out of the ground along each stop's normal, as a
  // contact's position correction would.
  void stopAtGround() {
    for (const Stop& s : stops) {
      const b2Vec2 r = b2Mul(b2Rot(angle - startAngle), s.point - startCentre);
      const float C = b2Dot(centre + r - s.point, s.normal) + s.gap;
      if (C >= 0) continue;
      const float rn = b2Cross(r, s.normal);
      const float k = invMass + invInertia * rn * rn;
      if (k > 0) push(r, (-C / k) * s.normal);
    }
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
  const b2Body* ship = rods.front().joint->GetBodyA();
  const b2Body* car = rods.front().joint->GetBodyB();
  Pose a(ship, car);
  Pose b(car, ship);
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
      a.push(rA, -P);
      b.push(rB, P);
    }
    a.stopAtGround();
    b.stopAtGround();
  }

  for (const Rod& rod : rods) {
    b2Vec2 rA, rB;
    float length = rod.span(a, b, rA, rB).Length();
    // Within the solver's tolerance the rod is at rest: hold it at exactly 1 m.
    if (std::abs(length - kRestLength) < b2_linearSlop) length = kRestLength;
    setRodLength(rod.joint, length);
  }
}
