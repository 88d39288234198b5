#pragma once
// Every handle of the state that names a body or a joint, as tables of member
// pointers: the destroy routine, the destruction listener, the crane motors'
// stop and the tests' handle check walk these tables rather than list the
// members again. They point into StateFields, so they serve the state whole.

#include "state/parts.h"

template <typename Object>
struct Handle {
  const char* name;
  Object* StateFields::*member;
};

inline constexpr Handle<b2Body> kBodyHandles[] = {{"ship", &StateFields::ship},
                                                  {"car", &StateFields::car},
                                                  {"wheel1", &StateFields::wheel1},
                                                  {"wheel2", &StateFields::wheel2},
                                                  {"baseBras", &StateFields::baseBras},
                                                  {"secondBras", &StateFields::secondBras},
                                                  {"poignet", &StateFields::poignet},
                                                  {"pouce", &StateFields::pouce},
                                                  {"Index", &StateFields::Index},
                                                  {"brasGrue", &StateFields::brasGrue},
                                                  {"randomWalker", &StateFields::randomWalker},
                                                  {"mouseGround", &StateFields::mouseGround}};

// The cable's two rods, each from the ship to the crane car.
inline constexpr Handle<b2Joint> kCableHandles[] = {
    {"distanceJoint", &StateFields::distanceJoint},
    {"distanceJoint2", &StateFields::distanceJoint2}};

inline constexpr Handle<b2MouseJoint> kMouseHandles[] = {{"mouseJoint", &StateFields::mouseJoint}};

inline constexpr Handle<b2WheelJoint> kWheelHandles[] = {{"wheel", &StateFields::wheel},
                                                         {"wheel12", &StateFields::wheel12}};

// The crane's five hinges, from the car outward, with the bodies each joins.
struct CraneHandle {
  Handle<b2RevoluteJoint> joint;
  b2Body* StateFields::*bodyA;
  b2Body* StateFields::*bodyB;
};
inline constexpr CraneHandle kCraneHandles[] = {
    {{"wheelBras", &StateFields::wheelBras}, &StateFields::car, &StateFields::baseBras},
    {{"wheelSecondBras", &StateFields::wheelSecondBras},
     &StateFields::baseBras,
     &StateFields::secondBras},
    {{"wheelPoignet", &StateFields::wheelPoignet}, &StateFields::secondBras, &StateFields::poignet},
    {{"wheelPouce", &StateFields::wheelPouce}, &StateFields::poignet, &StateFields::pouce},
    {{"wheelIndex", &StateFields::wheelIndex}, &StateFields::poignet, &StateFields::Index}};
