#pragma once
#include <box2d/box2d.h>

// Wakes each of the joint's two bodies that is asleep. Call it after a motor
// call: the motor setters wake the bodies only when the value changes, while
// the controls rely on every call waking them. An awake body is left alone,
// since SetAwake(true) would restart its sleep timer and keep it awake forever.
void wakeJointBodies(b2Joint* joint);
