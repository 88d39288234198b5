#pragma once
// The frame's walk over the world, without any drawing of its own: the
// renderer is one painter, headless runs pass none, so that tests and
// benchmarks take the same path as the window.

#include <box2d/box2d.h>

#include <vector>

#include "state/parts.h"

struct State;

class BodyPainter {
 public:
  virtual ~BodyPainter() = default;
  // Before the first body and after the last: a picture's start and end.
  virtual void beginFrame() {}
  virtual void paint(b2Body* body) = 0;
  virtual void endFrame() {}
};

// Where the painter draws a body: where it is, or in slow motion between its
// poses at the last two steps.
BodyPose drawnPose(const TimePart& time, const b2Body* body);

// Paints every body where it is drawn, with none of the walk's pushes or
// removals: a frame in which the world does not step. painter may be null.
void paintBodies(State& state, BodyPainter* painter);

// Beyond these, in metres, a body can never come back into view in a way anyone
// would notice: a window's width past the column where new terrain is made, and
// three window heights above the top or below the bottom of the window.
struct FarLimits {
  float right, top, bottom;
};
FarLimits farLimits(const TerrainPart& terrain);

// The walk's rule for what it removes (walkBodies below says which bodies it
// removes and which it keeps). The fuzzer checks the world against the same rule.
class RemovalRule {
 public:
  explicit RemovalRule(const State& state);
  bool removes(const b2Body* body);

 private:
  const State& state_;
  FarLimits far_;
  std::vector<const b2Body*> kept_;  // worked out only once a body to remove turns up
  bool keptKnown_ = false;
};

// Paints every body, newest first, gives walkers their random upward push, and
// destroys (after painting it) every body whose origin has reached the window's
// left edge, and every body whose origin is beyond the right limit, or beyond the
// top or bottom limit while its gravity and speed cannot bring it back to the
// window. Never removed, at the left edge or far: the ship, the crane car in
// `car`, everything joined to either through any chain of joints, and the bodies
// touching those; the ship carries them along while the landscape scrolls, and
// the user brings them back by flying right. painter may be null: the walk
// then visits only the bodies that can need it (state/parts.h, BodyListsPart),
// with the same pushes and removals in the same order.
void walkBodies(State& state, BodyPainter* painter);

// Adds the bodies made since the last walk to the walk's lists.
void listNewBodies(State& state);
