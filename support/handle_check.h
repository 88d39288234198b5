#pragma once
// Whether every body and joint handle of the state names an object still in its
// world, and names the right one. Box2D reuses the memory of destroyed bodies and
// joints for new ones, so a stale handle may alias a live object: the joints are
// also checked against the bodies they must connect. Shared by the tests and the
// fuzzer.

#include <string>

struct State;

// What is wrong, one "...; " per fault; empty when every handle is sound.
std::string handleFaults(const State& state);
