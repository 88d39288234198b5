#include "app/state.h"

#include <algorithm>

State::State() = default;

State::~State() = default;

namespace {

template <typename Handle, typename Object>
void forget(Handle*& handle, const Object* object) {
  if (handle && handle == object)
    handle = nullptr;
}

void forgetJoint(State& s, const b2Joint* joint) {
  forget(s.distanceJoint, joint);
  forget(s.distanceJoint2, joint);
  forget(s.wheel, joint);
  forget(s.wheel12, joint);
  forget(s.wheelBras, joint);
  forget(s.wheelSecondBras, joint);
  forget(s.wheelPoignet, joint);
  forget(s.wheelPouce, joint);
  forget(s.wheelIndex, joint);
}

void forgetBody(State& s, const b2Body* body) {
  for (b2Body** handle : {&s.ship, &s.car, &s.wheel1, &s.wheel2, &s.baseBras, &s.secondBras,
                          &s.poignet, &s.pouce, &s.Index, &s.brasGrue, &s.randomWalker})
    forget(*handle, body);
  s.BODY.erase(std::remove(s.BODY.begin(), s.BODY.end(), body), s.BODY.end());
  for (std::vector<b2Body*>& car : s.plainCars)
    car.erase(std::remove(car.begin(), car.end(), body), car.end());
  s.plainCars.erase(std::remove_if(s.plainCars.begin(), s.plainCars.end(),
                                   [](const std::vector<b2Body*>& car) { return car.empty(); }),
                    s.plainCars.end());
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
