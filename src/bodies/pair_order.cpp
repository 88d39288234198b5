#include "bodies/pair_order.h"

#include <algorithm>
#include <utility>

// This reaches into Box2D 2.4.1's internals: the world's contact manager (handed
// out const, for testing), its broad phase, and AddPair, the callback the step's
// own pair search calls. AddPair skips a pair whose contact exists, filters by
// joints and fixtures as the step does, and puts the new contact at the head of
// the world's list. tests/bodies/cars_test.cpp checks each of these.

namespace {

using ProxyPair = std::pair<int32, int32>;  // lower id first

// The broad-phase proxy of one child of a fixture: the one whose user data names it.
struct ProxyOf {
  const b2BroadPhase& broadPhase;
  const b2Fixture* fixture;
  int32 child;
  int32 found = b2_nullNode;

  bool QueryCallback(int32 id) {
    const auto* proxy = static_cast<const b2FixtureProxy*>(broadPhase.GetUserData(id));
    if (proxy->fixture != fixture || proxy->childIndex != child) return true;
    found = id;
    return false;
  }
};

// Every proxy whose fat box overlaps the given proxy's, as a pair with it.
struct PairsWith {
  int32 proxy;
  std::vector<ProxyPair>& pairs;

  bool QueryCallback(int32 id) {
    if (id != proxy) pairs.emplace_back(std::min(id, proxy), std::max(id, proxy));
    return true;
  }
};

}  // namespace

void createContactsInProxyOrder(b2World& world, const std::vector<b2Body*>& bodies) {
  auto& contacts = const_cast<b2ContactManager&>(world.GetContactManager());
  const b2BroadPhase& broadPhase = contacts.m_broadPhase;

  std::vector<ProxyPair> pairs;
  for (const b2Body* body : bodies)
    for (const b2Fixture* f = body->GetFixtureList(); f; f = f->GetNext())
      for (int32 child = 0; child < f->GetShape()->GetChildCount(); ++child) {
        ProxyOf own{broadPhase, f, child};
        broadPhase.Query(&own, f->GetAABB(child));
        if (own.found == b2_nullNode) continue;  // a body that is not enabled has none
        PairsWith with{own.found, pairs};
        broadPhase.Query(&with, broadPhase.GetFatAABB(own.found));
      }

  // 2.3 sorted its pair buffer by (lower id, higher id) and skipped repeats.
  std::sort(pairs.begin(), pairs.end());
  pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
  for (const ProxyPair& p : pairs)
    contacts.AddPair(broadPhase.GetUserData(p.first), broadPhase.GetUserData(p.second));
}
