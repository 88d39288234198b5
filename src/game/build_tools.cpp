#include "game/build_tools.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "base/console_sink.h"
#include "base/random.h"
#include "bodies/factories.h"
#include "game/mouse_drag.h"
#include "state/handles.h"
#include "state/state.h"

namespace {

// Friction and bounce of what is built: enough grip to stack, little bounce.
constexpr float kFriction = 0.5f;
constexpr float kRestitution = 0.2f;

constexpr const char* kToolNames[kToolCount] = {"Drag", "Box", "Ball",  "Plank",
                                                "Rope", "Pin", "Eraser"};

b2Vec2 toWorld(int x, int y) { return P2M * b2Vec2(static_cast<float>(x), static_cast<float>(y)); }

// The bodies whose shapes hold p that `takes` accepts, the one on top first:
// the walk paints the newest body first, so the oldest is on top.
template <typename Takes>
std::vector<b2Body*> bodiesAt(const State& state, const b2Vec2& p, Takes takes) {
  std::vector<b2Body*> found;
  for (b2Body* body = state.world->GetBodyList(); body; body = body->GetNext()) {
    if (!takes(body)) continue;
    for (const b2Fixture* f = body->GetFixtureList(); f; f = f->GetNext())
      if (f->TestPoint(p)) {
        found.push_back(body);
        break;
      }
  }
  std::reverse(found.begin(), found.end());
  return found;
}

// What a rope may be tied to and a pin may hold: whatever moves, not the ship.
std::vector<b2Body*> tieableAt(const State& state, const b2Vec2& p) {
  return bodiesAt(
      state, p, [&](const b2Body* b) { return b->GetType() == b2_dynamicBody && b != state.ship; });
}

// The crane car and its wheels and arm, while the cable holds it: D takes it apart.
bool hangingCarPart(const State& s, const b2Body* body) {
  if (!s.craneCarHanging()) return false;
  if (body == s.car || body == s.brasGrue) return true;
  for (const CraneHandle& h : kCraneHandles)
    if (s.*h.bodyB == body) return true;
  for (const b2JointEdge* e = s.car->GetJointList(); e; e = e->next)
    if (e->joint->GetType() == e_wheelJoint && e->other == body) return true;
  return false;
}

// The body on top under p, if the eraser may take it.
b2Body* erasableAt(const State& s, const b2Vec2& p) {
  const std::vector<b2Body*> under = bodiesAt(s, p, [](const b2Body*) { return true; });
  if (under.empty()) return nullptr;
  b2Body* top = under.front();
  if (top == s.ship || top->GetType() == b2_staticBody || hangingCarPart(s, top)) return nullptr;
  return top;
}

// A pin's anchor goes once nothing is pinned to it any more.
void dropLooseAnchors(State& s) {
  std::vector<b2Body*> loose;
  for (b2Body* anchor : s.pinAnchors)
    if (!anchor->GetJointList()) loose.push_back(anchor);
  for (b2Body* anchor : loose) destroyBody(s, anchor);
}

// Room for `count` more built bodies: the oldest go, said once.
void makeRoom(State& s, size_t count) {
  bool removed = false;
  while (!s.built.empty() && s.built.size() + count > static_cast<size_t>(kBuiltBodyLimit)) {
    destroyBody(s, s.built.front());
    removed = true;
  }
  if (!removed) return;
  dropLooseAnchors(s);
  say("built bodies: ", kBuiltBodyLimit, " at most, the oldest goes");
}

// The metal chosen, or one drawn and said as the landscape's boxes draw theirs.
float buildDensity(State& s) {
  if (const Metal* metal = metalInUse(s)) return metal->density;
  const int tirage = rand_a_b(0, 101);
  say(tirage);
  return s.TABLEAU_DES_DENSITES[metalIndexForDraw(tirage)];
}

b2Body* makeBuilt(State& s, const b2Vec2& position, float angle, const b2Shape& shape,
                  float density, float restitution) {
  b2BodyDef def;
  def.type = b2_dynamicBody;
  def.position = position;
  def.angle = angle;
  def.userData.pointer = reinterpret_cast<std::uintptr_t>(&s.builtMark);
  b2Body* body = s.world->CreateBody(&def);
  b2FixtureDef fixture;
  fixture.shape = &shape;
  fixture.density = density;
  fixture.friction = kFriction;
  fixture.restitution = restitution;
  body->CreateFixture(&fixture);
  s.built.push_back(body);
  return body;
}

// A box of half sizes `half` turned by `angle` about its centre.
b2Body* buildBox(State& s, const b2Vec2& centre, const b2Vec2& half, float angle) {
  makeRoom(s, 1);
  b2PolygonShape shape;
  shape.SetAsBox(half.x, half.y);
  return makeBuilt(s, centre, angle, shape, buildDensity(s), kRestitution);
}

// Corner to corner; a click alone makes a box of kClickSize.
void buildCornerBox(State& s, const b2Vec2& a, const b2Vec2& b) {
  const b2Vec2 low = b2Min(a, b), high = b2Max(a, b);
  const b2Vec2 size = high - low;
  if (size.x < kSmallestSide && size.y < kSmallestSide) {
    buildBox(s, a, b2Vec2(kClickSize / 2, kClickSize / 2), 0);
    return;
  }
  const b2Vec2 half(std::max(size.x, kSmallestSide) / 2, std::max(size.y, kSmallestSide) / 2);
  buildBox(s, 0.5f * (low + high), half, 0);
}

void buildBall(State& s, const b2Vec2& centre, const b2Vec2& rim) {
  const float reach = (rim - centre).Length();
  makeRoom(s, 1);
  b2CircleShape shape;
  shape.m_radius = reach < kSmallestRadius ? kClickSize / 2 : reach;
  makeBuilt(s, centre, 0, shape, buildDensity(s), kRestitution);
}

// End to end; a click alone makes a level plank of kClickSize.
void buildPlank(State& s, const b2Vec2& a, const b2Vec2& b) {
  const b2Vec2 d = b - a;
  const float length = d.Length();
  if (length < kSmallestSide) {
    buildBox(s, a, b2Vec2(kClickSize / 2, kPlankThickness / 2), 0);
    return;
  }
  buildBox(s, 0.5f * (a + b), b2Vec2(length / 2, kPlankThickness / 2), std::atan2(d.y, d.x));
}

void hinge(State& s, b2Body* a, b2Body* b, const b2Vec2& at) {
  b2RevoluteJointDef def;
  def.Initialize(a, b, at);
  s.world->CreateJoint(&def);
}

// Where the way from `outside` to `inside` first meets the body's shapes, or
// `inside` when it meets none.
b2Vec2 edgeOf(const b2Body* body, const b2Vec2& inside, const b2Vec2& outside) {
  b2RayCastInput ray;
  ray.p1 = outside;
  ray.p2 = inside;
  ray.maxFraction = 1;
  float nearest = 1;
  for (const b2Fixture* f = body->GetFixtureList(); f; f = f->GetNext()) {
    b2RayCastOutput hit;
    if (f->RayCast(&hit, ray, 0)) nearest = std::min(nearest, hit.fraction);
  }
  return outside + nearest * (inside - outside);
}

// Links from a to b, hinged end to end; each end tied to the body under it,
// chosen before the rope's own links lie there. A tied end starts at the
// body's edge: links inside it would be thrown out of it.
void buildRope(State& s, b2Vec2 a, b2Vec2 b) {
  if ((b - a).Length() < kSmallestSide) return;
  const std::vector<b2Body*> atA = tieableAt(s, a), atB = tieableAt(s, b);
  b2Body* endA = atA.empty() ? nullptr : atA.front();
  b2Body* endB = atB.empty() ? nullptr : atB.front();
  if (endA && endA != endB) a = edgeOf(endA, a, b);
  if (endB && endB != endA) b = edgeOf(endB, b, a);
  const b2Vec2 d = b - a;
  const float length = d.Length();
  if (length < b2_linearSlop) return;
  const int links =
      std::clamp(static_cast<int>(std::lround(length / kRopeLink)), 1, kMostRopeLinks);
  // Making room takes the oldest built bodies, perhaps those under the ends.
  const size_t over =
      std::min(s.built.size(),
               s.built.size() + links - std::min<size_t>(s.built.size() + links, kBuiltBodyLimit));
  for (b2Body** end : {&endA, &endB})
    if (std::find(s.built.begin(), s.built.begin() + static_cast<long>(over), *end) !=
        s.built.begin() + static_cast<long>(over))
      *end = nullptr;
  makeRoom(s, static_cast<size_t>(links));

  const float density = buildDensity(s);
  const b2Vec2 step = (1.0f / static_cast<float>(links)) * d;
  const float angle = std::atan2(d.y, d.x);
  b2PolygonShape shape;
  shape.SetAsBox(step.Length() / 2, kRopeThickness / 2);
  b2Body* previous = endA;
  for (int i = 0; i < links; ++i) {
    const b2Vec2 start = a + static_cast<float>(i) * step;
    b2Body* link = makeBuilt(s, start + 0.5f * step, angle, shape, density, 0);
    if (previous) hinge(s, previous, link, start);
    previous = link;
  }
  if (endB) hinge(s, previous, endB, b);
  // A long chain of light links under a heavy load stretches apart at the
  // world's 20 steps a second; a slack rod as long as the rope between its
  // ends holds the whole length, as a rope does.
  if (links < 2) return;
  b2DistanceJointDef limit;
  limit.Initialize(endA ? endA : s.built[s.built.size() - static_cast<size_t>(links)],
                   endB ? endB : previous, a, b);
  limit.minLength = 0;
  limit.maxLength = limit.length;
  s.world->CreateJoint(&limit);
}

// On one body: pinned to the world where it is; where two overlap, to each other.
void pin(State& s, const b2Vec2& p) {
  const std::vector<b2Body*> under = tieableAt(s, p);
  if (under.empty()) return;
  b2Body* other = under.size() > 1 ? under[1] : nullptr;
  if (!other) {
    b2BodyDef def;  // static, without fixtures: nothing touches it, nothing draws it
    def.position = p;
    other = s.world->CreateBody(&def);
    s.pinAnchors.push_back(other);
  }
  hinge(s, other, under.front(), p);
  if (!under.front()->IsAwake()) under.front()->SetAwake(true);
}

void erase(State& s, const b2Vec2& p) {
  b2Body* body = erasableAt(s, p);
  if (!body) return;
  destroyBody(s, body);
  dropLooseAnchors(s);
}

void cancelBuild(State& s) { s.building = false; }

}  // namespace

const char* toolName(Tool tool) { return kToolNames[static_cast<int>(tool)]; }

const Metal* metalInUse(const BuildPart& build) {
  return build.metal >= 0 && build.metal < kMetalCount ? &kMetals[build.metal] : nullptr;
}

void chooseTool(State& s, Tool tool) {
  releaseBody(s);
  cancelBuild(s);
  s.tool = tool;
}

void chooseNextTool(State& s) {
  chooseTool(s, static_cast<Tool>((static_cast<int>(s.tool) + 1) % kToolCount));
}

void choosePreviousTool(State& s) {
  chooseTool(s, static_cast<Tool>((static_cast<int>(s.tool) + kToolCount - 1) % kToolCount));
}

void chooseNextMetal(BuildPart& build) { build.metal = (build.metal + 1) % (kMetalCount + 1); }

void pressLeftButton(State& s, int x, int y) {
  const b2Vec2 p = toWorld(x, y);
  switch (s.tool) {
    case Tool::drag: grabBody(s, x, y); break;
    case Tool::pin: pin(s, p); break;
    case Tool::eraser: erase(s, p); break;
    case Tool::box:
    case Tool::ball:
    case Tool::plank:
    case Tool::rope:
      s.building = true;
      s.buildFrom = s.buildTo = p;
      break;
  }
}

void moveLeftButton(State& s, int x, int y) {
  if (s.tool == Tool::drag) dragBody(s, x, y);
  else if (s.building) s.buildTo = toWorld(x, y);
}

void releaseLeftButton(State& s) {
  if (s.tool == Tool::drag) {
    releaseBody(s);
    return;
  }
  if (!s.building) return;
  s.building = false;
  const b2Vec2 a = s.buildFrom, b = s.buildTo;
  switch (s.tool) {
    case Tool::box: buildCornerBox(s, a, b); break;
    case Tool::ball: buildBall(s, a, b); break;
    case Tool::plank: buildPlank(s, a, b); break;
    case Tool::rope: buildRope(s, a, b); break;
    default: break;
  }
}

bool leftPressActs(const State& s, int x, int y) {
  const b2Vec2 p = toWorld(x, y);
  switch (s.tool) {
    case Tool::drag: return grabbableAt(s, x, y);
    case Tool::pin: return !tieableAt(s, p).empty();
    case Tool::eraser: return erasableAt(s, p) != nullptr;
    default: return true;
  }
}

bool isBuilt(const State& s, const b2Body* body) {
  // Box2D 2.4 reads the user data only through a body it may change.
  return const_cast<b2Body*>(body)->GetUserData().pointer ==
         reinterpret_cast<std::uintptr_t>(&s.builtMark);
}
