#include "game/body_walk.h"

#include <algorithm>
#include <vector>

#include "base/random.h"
#include "state/state.h"

namespace {

constexpr float kFarHeights = 3;  // window heights above the top and below the bottom

void pushWalker(b2Body* body) {
  const int choice = rand_a_b(1, 5);
  // The force acts at the world origin, not the body's centre: the walker hops and spins.
  if (choice == 4) body->ApplyForce(b2Vec2(0, -100), b2Vec2(0, 0), true);
}

// Whether a body `distance` metres outside the window, moving towards it at
// `speed` under an acceleration `pull` towards it, gets back to the window's
// edge if nothing stops it.
bool comesBack(float distance, float speed, float pull) {
  return pull > 0 || (speed > 0 && speed * speed + 2 * pull * distance >= 0);
}

// Above and below the window only what can never come back goes: a body that
// gravity pulls back down is left alone however high it is.
bool lostForGood(const b2World& world, const FarLimits& far, const b2Body* body) {
  const b2Vec2 p = body->GetPosition();
  if (p.x > far.right) return true;
  if (p.y >= far.top && p.y <= far.bottom) return false;
  const float gravity =
      body->GetType() == b2_dynamicBody ? body->GetGravityScale() * world.GetGravity().y : 0;
  const float vy = body->GetLinearVelocity().y;
  if (p.y < far.top) return !comesBack(-p.y, vy, gravity);
  return !comesBack(p.y - HEIGHT * P2M, -vy, -gravity);
}

// What a user can still bring back: the ship and the crane car in `car`, every
// body reachable from either through joints (the cable, wheels, crane and
// whatever else someone joins to them), and every body touching one of those,
// so that what rides on the car or sits in the crane's fingers rides on.
std::vector<const b2Body*> keptBodies(const State& state) {
  std::vector<const b2Body*> kept;
  auto keep = [&kept](const b2Body* body) {
    if (body && std::find(kept.begin(), kept.end(), body) == kept.end()) kept.push_back(body);
  };
  keep(state.ship);
  keep(state.car);
  for (size_t i = 0; i < kept.size(); ++i)
    for (const b2JointEdge* e = kept[i]->GetJointList(); e; e = e->next) keep(e->other);
  const size_t joined = kept.size();
  for (size_t i = 0; i < joined; ++i)
    for (const b2ContactEdge* e = kept[i]->GetContactList(); e; e = e->next)
      if (e->contact->IsTouching()) keep(e->other);
  return kept;
}

}  // namespace

BodyPose drawnPose(const TimePart& time, const b2Body* body) {
  const BodyPose now{body->GetPosition(), body->GetWorldCenter(), body->GetAngle()};
  if (time.blend >= 1) return now;
  const auto before = time.posesBeforeStep.find(body);
  if (before == time.posesBeforeStep.end()) return now;  // made since the step
  const BodyPose& was = before->second;
  const float t = time.blend;
  return {was.position + t * (now.position - was.position),
          was.center + t * (now.center - was.center), was.angle + t * (now.angle - was.angle)};
}

void paintBodies(State& state, BodyPainter* painter) {
  if (!painter) return;
  painter->beginFrame();
  for (b2Body* body = state.world->GetBodyList(); body; body = body->GetNext())
    painter->paint(body);
  painter->endFrame();
}

FarLimits farLimits(const TerrainPart& terrain) {
  return {(200 + terrain.bordGaucheEcran + WIDTH) * P2M, -kFarHeights * HEIGHT * P2M,
          (1 + kFarHeights) * HEIGHT * P2M};
}

RemovalRule::RemovalRule(const State& state) : state_(state), far_(farLimits(state)) {}

bool RemovalRule::removes(const b2Body* body) {
  if (body->GetPosition().x > 0 && !lostForGood(*state_.world, far_, body)) return false;
  if (!keptKnown_) kept_ = keptBodies(state_), keptKnown_ = true;
  return std::find(kept_.begin(), kept_.end(), body) == kept_.end();
}

void listNewBodies(State& state) {
  // The world lists the newest first: the bodies before the newest listed are new.
  std::vector<b2Body*> fresh;
  for (b2Body* b = state.world->GetBodyList(); b && b != state.newestListed; b = b->GetNext())
    fresh.push_back(b);
  if (fresh.empty()) return;
  state.newestListed = fresh.front();
  // The terrain queued its new columns, in the order it made them, at the back.
  std::size_t column = state.columns.size();
  while (column > 0 && state.columns[column - 1].made == 0) --column;
  for (auto b = fresh.rbegin(); b != fresh.rend(); ++b) {
    const long long made = ++state.bodiesMade;
    if (column < state.columns.size() && state.columns[column].body == *b)
      state.columns[column++].made = made;
    else state.others.push_back({*b, made});
  }
}

namespace {

// The walk without a painter: the same pushes, and the same removals in the same
// order (newest first), from the lists rather than the world's every body.
void walkListedBodies(State& state) {
  RemovalRule removal(state);
  std::vector<MadeBody> gone;  // newest first
  for (std::size_t i = state.others.size(); i-- > 0;) {
    b2Body* body = state.others[i].body;
    const b2Fixture* fixture = body->GetFixtureList();
    if (fixture && fixture->GetType() == b2Shape::e_polygon &&
        fixture->GetDensity() == kWalkerDensity)
      pushWalker(body);
    if (removal.removes(body)) gone.push_back(state.others[i]);
  }
  std::vector<MadeBody> goneColumns;  // oldest first
  for (const MadeBody& column : state.columns) {
    if (column.body->GetPosition().x > 0) break;  // nor any after it
    if (removal.removes(column.body)) goneColumns.push_back(column);
  }
  if (gone.empty() && goneColumns.empty()) return;
  auto other = gone.begin();
  auto column = goneColumns.rbegin();
  while (other != gone.end() || column != goneColumns.rend()) {
    const bool otherFirst =
        column == goneColumns.rend() || (other != gone.end() && other->made > column->made);
    destroyBody(state, otherFirst ? (other++)->body : (column++)->body);
  }
}

}  // namespace

void walkBodies(State& state, BodyPainter* painter) {
  listNewBodies(state);
  if (!painter) return walkListedBodies(state);
  RemovalRule removal(state);

  painter->beginFrame();
  b2Body* body = state.world->GetBodyList();
  while (body) {
    b2Body* next = body->GetNext();
    const b2Fixture* fixture = body->GetFixtureList();
    painter->paint(body);
    if (fixture && fixture->GetType() == b2Shape::e_polygon &&
        fixture->GetDensity() == kWalkerDensity)
      pushWalker(body);
    if (removal.removes(body)) destroyBody(state, body);
    body = next;
  }
  painter->endFrame();
}
