#pragma once
// The sandbox's whole shared state, one object created by main (tests make
// their own): its parts (state/parts.h), the listeners, the loop's flag, the
// kept moment and the world. Members carry the names the rest of the program
// knows them by.

#include <box2d/box2d.h>

#include <memory>

#include "base/materials.h"
#include "base/region.h"
#include "base/units.h"
#include "state/frame_times.h"
#include "state/parts.h"

struct State;
struct Snapshot;

// Nulls the shared joint handles of joints that Box2D destroys along with a body.
class JointHandleListener : public b2DestructionListener {
 public:
  explicit JointHandleListener(State& state) : state_(state) {}
  void SayGoodbye(b2Joint* joint) override;
  void SayGoodbye(b2Fixture*) override {}

 private:
  State& state_;
};

struct State : StateFields {
  State();
  State(const State&) = delete;
  State& operator=(const State&) = delete;
  ~State();

  myContactListener listener;  // prints the material the ship touches
  JointHandleListener jointListener{*this};

  bool running = false;  // the frame loop's flag

  // F5's moment, which F9 returns to. A snapshot holds it beside the fields,
  // so that going back in time brings back the one kept then.
  std::shared_ptr<const Snapshot> keptMoment;

  // F3's measure of the frame: outside the snapshot, so that a restore cannot
  // bring back what was measured before it.
  FrameTimes frameTimes;

  // Declared last so it is destroyed first, while the listeners it points at
  // live. Built in Box2D's memory region, where a snapshot finds it.
  WorldPtr world;
};

// The one way the program destroys a body: every handle naming it, or a joint
// that dies with it, reads null afterwards.
void destroyBody(State& state, b2Body* body);

// Destroys a joint and nulls every handle naming it.
void destroyJoint(State& state, b2Joint* joint);
