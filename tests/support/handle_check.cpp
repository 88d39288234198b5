#include "support/handle_check.h"

#include <set>
#include <sstream>

#include "app/state.h"

namespace {

class Checker {
 public:
  explicit Checker(b2World& world) {
    for (b2Body* b = world.GetBodyList(); b; b = b->GetNext()) bodies_.insert(b);
    for (b2Joint* j = world.GetJointList(); j; j = j->GetNext()) joints_.insert(j);
  }

  void body(const char* name, const b2Body* b) {
    if (b && !bodies_.count(b)) faults_ << name << " names a destroyed body; ";
  }

  // Whether the handle names a live joint of the given type (null is fine, and false).
  bool joint(const char* name, b2Joint* j, b2JointType type) {
    if (!j) return false;
    if (!joints_.count(j)) {
      faults_ << name << " names a destroyed joint; ";
      return false;
    }
    if (j->GetType() != type) {
      faults_ << name << " names a joint of type " << j->GetType() << "; ";
      return false;
    }
    return true;
  }

  void joins(const char* name, b2Joint* j, const b2Body* a, const b2Body* b) {
    if (j->GetBodyA() != a || j->GetBodyB() != b)
      faults_ << name << " does not join the bodies it belongs to; ";
  }

  std::string faults() const { return faults_.str(); }

 private:
  std::set<const b2Body*> bodies_;
  std::set<const b2Joint*> joints_;
  std::ostringstream faults_;
};

}  // namespace

::testing::AssertionResult handlesNameLiveObjects(const State& s) {
  Checker c(*s.world);
  c.body("ship", s.ship);
  c.body("car", s.car);
  c.body("wheel1", s.wheel1);
  c.body("wheel2", s.wheel2);
  c.body("baseBras", s.baseBras);
  c.body("secondBras", s.secondBras);
  c.body("poignet", s.poignet);
  c.body("pouce", s.pouce);
  c.body("Index", s.Index);
  c.body("brasGrue", s.brasGrue);
  c.body("randomWalker", s.randomWalker);
  for (const b2Body* b : s.BODY) c.body("an entry of BODY", b);
  for (const auto& car : s.plainCars)
    for (const b2Body* b : car) c.body("a plain car's body", b);

  if (c.joint("distanceJoint", s.distanceJoint, e_distanceJoint))
    c.joins("distanceJoint", s.distanceJoint, s.ship, s.car);
  if (c.joint("distanceJoint2", s.distanceJoint2, e_distanceJoint))
    c.joins("distanceJoint2", s.distanceJoint2, s.ship, s.car);
  c.joint("wheel", s.wheel, e_wheelJoint);
  c.joint("wheel12", s.wheel12, e_wheelJoint);
  // Each crane joint dies with either of its bodies, so a live one joins live handles.
  if (c.joint("wheelBras", s.wheelBras, e_revoluteJoint))
    c.joins("wheelBras", s.wheelBras, s.car, s.baseBras);
  if (c.joint("wheelSecondBras", s.wheelSecondBras, e_revoluteJoint))
    c.joins("wheelSecondBras", s.wheelSecondBras, s.baseBras, s.secondBras);
  if (c.joint("wheelPoignet", s.wheelPoignet, e_revoluteJoint))
    c.joins("wheelPoignet", s.wheelPoignet, s.secondBras, s.poignet);
  if (c.joint("wheelPouce", s.wheelPouce, e_revoluteJoint))
    c.joins("wheelPouce", s.wheelPouce, s.poignet, s.pouce);
  if (c.joint("wheelIndex", s.wheelIndex, e_revoluteJoint))
    c.joins("wheelIndex", s.wheelIndex, s.poignet, s.Index);

  const std::string faults = c.faults();
  if (faults.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << faults;
}
