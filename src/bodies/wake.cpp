#include "bodies/wake.h"

#include <initializer_list>

void wakeJointBodies(b2Joint* joint) {
  for (b2Body* body : {joint->GetBodyA(), joint->GetBodyB()})
    if (!body->IsAwake()) body->SetAwake(true);
}
