#include "bodies/cars.h"

#include "bodies/crane.h"
#include "bodies/factories.h"
#include "bodies/pair_order.h"
#include "bodies/suspension.h"
#include "state/state.h"

namespace {

b2WheelJoint* makeWheelJoint(State& state, b2Body* chassis, b2Body* wheelBody, const b2Vec2& anchor,
                             float maxTorque, float dampingRatio) {
  b2WheelJointDef def;
  def.bodyA = chassis;
  def.bodyB = wheelBody;
  def.localAnchorA = anchor;
  def.localAnchorB.Set(0, 0);
  def.enableMotor = true;
  def.motorSpeed = 0;
  def.maxMotorTorque = maxTorque;
  def.collideConnected = false;
  auto* joint = static_cast<b2WheelJoint*>(state.world->CreateJoint(&def));
  // Stiffness and damping follow the geometry; every step updates them.
  setSuspension(joint, dampingRatio);
  return joint;
}

}  // namespace

b2Body* makeCar(State& state, int x, int y) {
  const int largeur = 40;
  const int hauteur = 40;
  const int diviseur = 20;
  b2Body* chassis = addRect(state, x, y, largeur, hauteur, true);
  state.wheel1 = addWheel(state, x + largeur / diviseur, y, largeur / 5, true);
  state.wheel2 = addWheel(state, x - largeur / diviseur, y, largeur / 5, true);
  const float offset = static_cast<float>(largeur / diviseur);
  state.wheel = makeWheelJoint(state, chassis, state.wheel1, b2Vec2(offset, 1), 300, 2);
  state.wheel12 = makeWheelJoint(state, chassis, state.wheel2, b2Vec2(-offset, 1), 100, 0);
  state.plainCars.push_back({chassis, state.wheel1, state.wheel2});
  // Built overlapping too, but its wheels are its one pair: no contact order to restore.
  return chassis;
}

b2Body* makeCar2(State& state, int x, int y) {
  const int largeur = 40;
  const int hauteur = 15;
  b2Body* chassis = addRect1(state, x, y, largeur, hauteur, true);

  // A second, twice as wide box; Box2D lists it first, so it is what gets drawn.
  b2PolygonShape wide;
  wide.SetAsBox(largeur * P2M, hauteur * P2M / 2);
  b2FixtureDef fixture;
  fixture.shape = &wide;
  fixture.density = kHullDensity;
  chassis->CreateFixture(&fixture);

  b2Body* frontWheel = addWheel(state, x + 5, y, 8, true);
  b2Body* backWheel = addWheel(state, x - 5, y, 8, true);
  state.wheel = makeWheelJoint(state, chassis, frontWheel, b2Vec2(5, 5), 100, 0);
  state.wheel12 = makeWheelJoint(state, chassis, backWheel, b2Vec2(-5, 5), 100, 0);
  state.brasGrue = make_Grue(state, x, y, chassis);
  // Built overlapping: the first step's contact order decides how the arm unfolds.
  createContactsInProxyOrder(*state.world,
                             {chassis, frontWheel, backWheel, state.baseBras, state.secondBras,
                              state.poignet, state.pouce, state.Index});
  return chassis;
}
