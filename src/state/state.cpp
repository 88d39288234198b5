#include "state/state.h"

#include <algorithm>

#include "state/handles.h"

State::State() = default;

State::~State() = default;

namespace {

template <typename Handle, typename Object>
void forget(Handle*& handle, const Object* object) {
  if (handle && handle == object) handle = nullptr;
}

void forgetJoint(State& s, const b2Joint* joint) {
  for (const auto& h : kCableHandles) forget(s.*h.member, joint);
  for (const auto& h : kWheelHandles) forget(s.*h.member, joint);
  for (const auto& h : kMouseHandles) forget(s.*h.member, joint);
  for (const auto& h : kCraneHandles) forget(s.*h.joint.member, joint);
}

// Out of the walk's lists; a column leaves from the front, as a rule.
void unlist(State& s, const b2Body* body) {
  if (body == s.newestListed) s.newestListed = s.newestListed->GetNext();
  auto named = [body](const MadeBody& m) { return m.body == body; };
  if (!s.columns.empty() && s.columns.front().body == body) return s.columns.pop_front();
  const auto other = std::find_if(s.others.rbegin(), s.others.rend(), named);
  if (other != s.others.rend()) return (void)s.others.erase(std::next(other).base());
  const auto column = std::find_if(s.columns.begin(), s.columns.end(), named);
  if (column != s.columns.end()) s.columns.erase(column);
}

void forgetBody(State& s, const b2Body* body) {
  for (const auto& h : kBodyHandles) forget(s.*h.member, body);
  unlist(s, body);
  // A body made later in its place must not be drawn from this one's pose.
  s.posesBeforeStep.erase(body);
  s.BODY.erase(std::remove(s.BODY.begin(), s.BODY.end(), body), s.BODY.end());
  for (std::vector<b2Body*>& car : s.plainCars)
    car.erase(std::remove(car.begin(), car.end(), body), car.end());
  s.plainCars.erase(std::remove_if(s.plainCars.begin(), s.plainCars.end(),
                                   [](const std::vector<b2Body*>& car) { return car.empty(); }),
                    s.plainCars.end());
  s.built.erase(std::remove(s.built.begin(), s.built.end(), body), s.built.end());
  s.pinAnchors.erase(std::remove(s.pinAnchors.begin(), s.pinAnchors.end(), body),
                     s.pinAnchors.end());
}

}  // namespace

void JointHandleListener::SayGoodbye(b2Joint* joint) { forgetJoint(state_, joint); }

void destroyBody(State& state, b2Body* body) {
  if (!body) return;
  forgetBody(state, body);
  state.world->DestroyBody(body);  // its joints reach JointHandleListener
}

void destroyJoint(State& state, b2Joint* joint) {
  if (!joint) return;
  forgetJoint(state, joint);
  state.world->DestroyJoint(joint);
}
