#pragma once
// Box2D 2.3 created the contacts of a step's new overlaps sorted by proxy id;
// 2.4.1 creates them in the order its tree query meets them. For a machine
// built with its parts overlapping, the first step's contact order decides how
// it unfolds: the crane's second arm folds one way on 2.3 and back over the
// hull on 2.4.1, where the car then never rests.

#include <box2d/box2d.h>

#include <vector>

// Creates now, in ascending proxy-id order, the contact of every broad-phase
// pair that involves a fixture of these bodies, as 2.3's next step would have.
// The step's own search then finds each pair already made and adds nothing.
void createContactsInProxyOrder(b2World& world, const std::vector<b2Body*>& bodies);
