#pragma once
// Every handle of State that names a body or a joint, as tables of member
// pointers: the destroy routine, the destruction listener, the crane lock, the
// crane motors' stop and the tests' handle check walk these tables rather than
// list the members again.

#include "state/state.h"

template <typename Object>
struct Handle {
  const char* name;
  Object* State::*member;
};

inline constexpr Handle<b2Body> kBodyHandles[] = {
    {"ship", &State::ship},          {"car", &State::car},
    {"wheel1", &State::wheel1},      {"wheel2", &State::wheel2},
    {"baseBras", &State::baseBras},  {"secondBras", &State::secondBras},
    {"poignet", &State::poignet},    {"pouce", &State::pouce},
    {"Index", &State::Index},        {"brasGrue", &State::brasGrue},
    {"randomWalker", &State::randomWalker}, {"mouseGround", &State::mouseGround}};

// The cable's two rods, each from the ship to the crane car.
inline constexpr Handle<b2Joint> kCableHandles[] = {{"distanceJoint", &State::distanceJoint},
                                                    {"distanceJoint2", &State::distanceJoint2}};

inline constexpr Handle<b2MouseJoint> kMouseHandles[] = {{"mouseJoint", &State::mouseJoint}};

inline constexpr Handle<b2WheelJoint> kWheelHandles[] = {{"wheel", &State::wheel},
                                                         {"wheel12", &State::wheel12}};

// The crane's five hinges, from the car outward, with the bodies each joins.
struct CraneHandle {
  Handle<b2RevoluteJoint> joint;
  b2Body* State::*bodyA;
  b2Body* State::*bodyB;
};
inline constexpr CraneHandle kCraneHandles[] = {
    {{"wheelBras", &State::wheelBras}, &State::car, &State::baseBras},
    {{"wheelSecondBras", &State::wheelSecondBras}, &State::baseBras, &State::secondBras},
    {{"wheelPoignet", &State::wheelPoignet}, &State::secondBras, &State::poignet},
    {{"wheelPouce", &State::wheelPouce}, &State::poignet, &State::pouce},
    {{"wheelIndex", &State::wheelIndex}, &State::poignet, &State::Index}};
