#pragma once
#include <box2d/box2d.h>

// Every wheel joint is a 1.6 Hz spring along its axis.
constexpr float kSuspensionHz = 1.6f;

// Sets the wheel joint's stiffness and damping for kSuspensionHz and the given
// damping ratio, on the effective mass of the two bodies along the joint's axis
// in their current positions: 1 / (1/mA + 1/mB + sAx^2/IA + sBx^2/IB).
void setSuspension(b2WheelJoint* joint, float dampingRatio);

// Recomputes that spring for every wheel joint of the world from its current
// geometry, keeping each joint's damping ratio. Runs before every step, because
// the effective mass changes as the wheels move along their axes.
void updateSuspensions(b2World& world);
