#include "game/controls.h"

#include "base/console_sink.h"
#include "bodies/cable.h"
#include "bodies/cars.h"
#include "bodies/crane.h"
#include "bodies/ship.h"
#include "bodies/wake.h"
#include "game/build_tools.h"
#include "game/keys.h"
#include "game/moments.h"
#include "game/time_flow.h"
#include "game/world_setup.h"
#include "state/handles.h"
#include "state/state.h"
#include "terrain/terrain.h"

static_assert(kPlainCarLimit == 30, "C's help in the key table names the number of plain cars");

namespace {

constexpr float kRamp = 0.1f;        // ship speed gained per frame of a held arrow
constexpr float kDecay = 0.05f;      // ship speed lost per frame without it
constexpr float kWheelStep = 0.15f;  // wheel motor speed step
constexpr float kCraneSpeed = 0.3f;  // crane joint motor speed
constexpr float kHangingGravity = -0.09f;

void boundShip(State& s) { limitBodyBounds(s, s.ship); }

bool hasWheels(const CarsPart& cars) { return cars.wheel || cars.wheel12; }

void setWheelSpeed(b2WheelJoint* joint, float value) {
  if (!joint) return;
  joint->SetMotorSpeed(value);
  wakeJointBodies(joint);
}

void setWheelSpeeds(CarsPart& cars, float value) {
  setWheelSpeed(cars.wheel, value);
  setWheelSpeed(cars.wheel12, value);
}

void setMotor(b2RevoluteJoint* joint, float value) {
  if (!joint) return;
  joint->SetMotorSpeed(value);
  wakeJointBodies(joint);
}

}  // namespace

// R: the bodies of the R list fall.
void makeListedBodiesDynamic(MetalsPart& metals) {
  for (b2Body* body : metals.BODY) body->SetType(b2_dynamicBody);
}

// B: the ship turns slightly buoyant and, without a crane car, builds one 5 m
// below itself and hangs it on the cable.
void hangCraneCar(State& s) {
  if (!s.ship) return;
  s.ship->SetGravityScale(kHangingGravity);
  const b2Vec2 p = s.ship->GetPosition();
  if (s.car) return;
  s.car = makeCar2(s, static_cast<int>(p.x * M2P), static_cast<int>((p.y + 5) * M2P));
  attachCable(s);
}

// C: a plain car under the pointer, at most one a frame (a second would be made
// inside the first); past the limit the oldest goes.
void makePlainCar(State& s, int x, int y) {
  if (s.plainCarMadeThisFrame) return;
  s.plainCarMadeThisFrame = true;
  while (s.plainCars.size() >= static_cast<size_t>(kPlainCarLimit)) {
    const std::vector<b2Body*> oldest = s.plainCars.front();  // destroyBody edits the list
    for (b2Body* body : oldest) destroyBody(s, body);
  }
  makeCar(s, x, y);
}

// J: drops the hanging car; with the car down, flies above it and hangs it again.
void releaseOrRehangCraneCar(State& s) {
  if (s.cableWhole()) {
    say("TOTO ");
    destroyJoint(s, s.distanceJoint);
    destroyJoint(s, s.distanceJoint2);
    boundShip(s);
  } else if (s.craneCarDropped()) {
    if (!s.ship) return;
    s.ship->SetTransform(b2Vec2(s.car->GetPosition().x, 1), 0);
    say("TOTO1");
    attachCable(s);
  } else if (!s.car) {  // the cable dies with the car: neither rod is left
    say("TOTO2");
  }
}

// D: cuts one rod of the cable at a time, then destroys the newest plain car's
// wheels and the crane car.
void cutCableOrDestroyCars(State& s) {
  if (s.distanceJoint) {
    destroyJoint(s, s.distanceJoint);
    return;
  }
  if (s.distanceJoint2) {
    destroyJoint(s, s.distanceJoint2);
    return;
  }
  if (s.wheel1) {
    destroyBody(s, s.wheel1);
    say("DESTROY wheel1 = OK");
  }
  if (s.wheel2) destroyBody(s, s.wheel2);
  if (s.car) {
    say("DESTROY CAR = EN COURS");
    destroyBody(s, s.car);
    say("TOTO");
    if (s.ship) s.ship->SetGravityScale(0);
  }
}

namespace {

// One arrow's step of the ship's speed: ramps towards `direction` while held;
// released, a speed on the arrow's side (or zero) decays. Says whether it was held.
bool rampShipSpeed(State& s, float& speed, bool held, float direction) {
  boundShip(s);
  if (held) speed += direction * kRamp;
  else if (speed * direction >= 0) speed -= direction * kDecay;
  return held;
}

// A held crane key sets its joints' motor speeds; a row acts only when all its
// joints exist (the fingers move as a pair).
struct CraneKey {
  int key;
  b2RevoluteJoint* State::*joint;
  float speed;
  b2RevoluteJoint* State::*partner;
  float partnerSpeed;
};

// In the order they are applied: a later row wins over an earlier one.
constexpr CraneKey kCraneKeys[] = {
    {key::KP0, &State::wheelPouce, -kCraneSpeed, &State::wheelIndex, kCraneSpeed},
    {key::KP_PERIOD, &State::wheelPouce, kCraneSpeed, &State::wheelIndex, -kCraneSpeed},
    {key::KP3, &State::wheelBras, kCraneSpeed, nullptr, 0},
    {key::KP1, &State::wheelBras, -kCraneSpeed, nullptr, 0},
    {key::KP2, &State::wheelBras, 0, nullptr, 0},
    {key::KP9, &State::wheelSecondBras, kCraneSpeed, nullptr, 0},
    {key::KP7, &State::wheelSecondBras, -kCraneSpeed, nullptr, 0},
    {key::KP5, &State::wheelPoignet, kCraneSpeed, nullptr, 0},
    {key::KP_ENTER, &State::wheelPoignet, -kCraneSpeed, nullptr, 0},
};

void applyCraneKey(State& s, const CraneKey& row) {
  b2RevoluteJoint* joint = s.*row.joint;
  b2RevoluteJoint* partner = row.partner ? s.*row.partner : nullptr;
  if (!joint || (row.partner && !partner)) return;
  setMotor(joint, row.speed);
  setMotor(partner, row.partnerSpeed);
}

bool allCraneKeysHeld(const unsigned char* keys) {
  for (int k :
       {key::KP1, key::KP3, key::KP7, key::KP9, key::KP5, key::KP_ENTER, key::KP0, key::KP_PERIOD})
    if (!keys[k]) return false;
  return true;
}

}  // namespace

void onKeyPress(State& s, int symbol, int mouseX, int mouseY) {
  const KeyRow* row = keyRow(keypadKeyFor(symbol));
  switch (row ? row->press : GameAction::none) {
    case GameAction::none: break;
    case GameAction::quit: s.running = false; break;
    case GameAction::togglePause: togglePause(s); break;
    case GameAction::playOneFrame: playOneFrame(s); break;
    case GameAction::slowDown: slowDown(s); break;
    case GameAction::speedUp: speedUp(s); break;
    case GameAction::keepMoment: keepMoment(s); break;
    case GameAction::returnToKeptMoment: returnToKeptMoment(s); break;
    case GameAction::newWorld: newWorld(s); break;
    case GameAction::makePlainCar: makePlainCar(s, mouseX, mouseY); break;
    case GameAction::hangCraneCar: hangCraneCar(s); break;
    case GameAction::releaseOrRehangCraneCar: releaseOrRehangCraneCar(s); break;
    case GameAction::cutCableOrDestroyCars: cutCableOrDestroyCars(s); break;
    case GameAction::makeListedBodiesDynamic: makeListedBodiesDynamic(s); break;
    case GameAction::previousTool: choosePreviousTool(s); break;
    case GameAction::nextTool: chooseNextTool(s); break;
    case GameAction::nextMetal: chooseNextMetal(s); break;
  }
}

void applyHeldKeys(State& s, const unsigned char* keyState) {
  s.plainCarMadeThisFrame = false;  // the frame's key presses are over
  const auto held = withKeypadStandIns(keyState);
  const unsigned char* keys = held.data();
  rampShipSpeed(s, s.vitesseShipHorizontale, keys[key::RIGHT], +1);

  // Wheels and crane lock: a held key locks only when there are wheels to drive.
  if (!keys[key::KP6]) {
    bloque_bras_robot(s);
  } else if (hasWheels(s)) {
    s.speed += kWheelStep;
    setWheelSpeeds(s, s.speed);
    bloque_bras_robot(s);
  }

  if (!keys[key::KP4]) {
    bloque_bras_robot(s);
  } else if (hasWheels(s)) {
    s.speed -= kWheelStep;
    setWheelSpeeds(s, s.speed);
    bloque_bras_robot(s);
  }

  if (keys[key::KP8]) {
    if (hasWheels(s)) {
      s.speed = 0;
      setWheelSpeeds(s, 0);
      bloque_bras_robot(s);
    }
    setMotor(s.wheelSecondBras, 0);
  } else {
    bloque_bras_robot(s);
  }

  rampShipSpeed(s, s.vitesseShipHorizontale, keys[key::LEFT], -1);
  rampShipSpeed(s, s.vitesseShipVerticale, keys[key::UP], -1);
  if (rampShipSpeed(s, s.vitesseShipVerticale, keys[key::DOWN], +1) && hasWheels(s)) {
    s.speed = 0;
    setWheelSpeeds(s, 0);
  }

  if (s.ship) s.ship->SetLinearVelocity(b2Vec2(s.vitesseShipHorizontale, s.vitesseShipVerticale));

  if (keys[key::SPACE]) {
    boundShip(s);
    ShiftOrigin(s, b2Vec2(s.vitesseScrolling, 0));
    update(s);
  }

  // Crane motors run only while their keys are held, also once the car and its
  // arm joint are gone: the surviving joints would otherwise turn for ever.
  if (!allCraneKeysHeld(keys)) {
    for (const CraneHandle& h : kCraneHandles) setMotor(s.*h.joint.member, 0);
  }
  for (const CraneKey& row : kCraneKeys)
    if (keys[row.key]) applyCraneKey(s, row);
}
