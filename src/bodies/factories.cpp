#include "bodies/factories.h"

#include <cstdint>

#include "base/console_sink.h"
#include "base/random.h"
#include "state/state.h"

namespace {

b2Body* createBody(State& state, float x, float y, bool dyn) {
  b2BodyDef def;
  def.type = dyn ? b2_dynamicBody : b2_staticBody;
  def.position.Set(x * P2M, y * P2M);
  return state.world->CreateBody(&def);
}

constexpr float kDefaultFriction = 0.2f;  // Box2D's own default

b2Body* createBox(State& state, int x, int y, int w, int h, bool dyn, float density) {
  const b2Vec2 position(static_cast<float>(x) * P2M, static_cast<float>(y) * P2M);
  return makeBoxBody(state, dyn ? b2_dynamicBody : b2_staticBody, position, w * P2M / 2,
                     h * P2M / 2, density, kDefaultFriction, 0.5f);
}

void markAsGround(State& state, b2Body* body) {
  body->GetUserData().pointer = reinterpret_cast<std::uintptr_t>(&state.ground);
}

}  // namespace

int metalIndexForDraw(int tirage) {
  struct Range {
    int upTo;
    int index;
  };
  static constexpr Range ranges[] = {{1, 1},   {5, 5},   {7, 2},   {8, 4},  {9, 7},
                                     {14, 11}, {29, 9},  {34, 10}, {39, 6}, {49, 0},
                                     {59, 3},  {79, 12}, {100, 8}};
  for (const Range& r : ranges)
    if (tirage <= r.upTo) return r.index;
  return 8;  // rand_a_b(0, 101) never draws above 100
}

b2Body* addCircle(State& state, int x, int y, int r, bool dyn) {
  b2Body* body = createBody(state, static_cast<float>(x), static_cast<float>(y), dyn);
  body->SetGravityScale(0);
  b2CircleShape shape;
  shape.m_radius = r * P2M;
  shape.m_p.Set(0, 0);
  b2FixtureDef fixture;
  fixture.shape = &shape;
  fixture.density = RandomFloat(0.1f, 5.0f);
  fixture.restitution = RandomFloat(0.0f, 0.5f);
  fixture.friction = 0;
  body->CreateFixture(&fixture);
  markAsGround(state, body);
  return body;
}

b2Body* addWheel(State& state, int x, int y, int r, bool dyn) {
  b2Body* body = createBody(state, static_cast<float>(x), static_cast<float>(y), dyn);
  b2CircleShape shape;
  shape.m_radius = r * P2M;
  shape.m_p.Set(0, 0);
  b2FixtureDef fixture;
  fixture.shape = &shape;
  fixture.density = 1;
  fixture.friction = 106.9f;
  fixture.restitution = 0;
  body->CreateFixture(&fixture);
  markAsGround(state, body);
  return body;
}

b2Body* addRect(State& state, int x, int y, int w, int h, bool dyn) {
  const int tirage = rand_a_b(0, 101);
  say(tirage);
  return createBox(state, x, y, w, h, dyn, state.TABLEAU_DES_DENSITES[metalIndexForDraw(tirage)]);
}

b2Body* addRect1(State& state, int x, int y, int w, int h, bool dyn) {
  return createBox(state, x, y, w, h, dyn, kHullDensity);
}

b2Body* addPolygon(State& state, float x, float y) {
  state.NB_VERTICES = rand_a_b(4, 7);
  say(state.NB_VERTICES);
  const float X = x * P2M;
  const float Y = y * P2M;
  b2Body* body = createBody(state, x, y, false);

  const float W = rand_a_b(1, 18) * P2M;
  const float H = rand_a_b(1, 27) * P2M;
  const float D = rand_a_b(3, 10) * P2M;
  const float D2 = rand_a_b(5, 17) * P2M;

  b2Vec2 points[6] = {{X, Y},     {X + W, Y},         {X + W, Y + H},
                      {X, Y + H}, {X - W, Y + H - D}, {X - W, Y - H - D2}};
  b2PolygonShape shape;
  shape.Set(points, state.NB_VERTICES);
  b2FixtureDef fixture;
  fixture.shape = &shape;
  fixture.density = kTestDensity;
  fixture.restitution = 5;
  body->CreateFixture(&fixture);
  return body;
}

b2Body* CreateGround(State& state, int x, int y, float w, float h) {
  b2Body* body = createBody(state, static_cast<float>(x), static_cast<float>(y), false);
  b2PolygonShape shape;
  shape.SetAsBox((w / 2) * P2M, (h / 2) * P2M, b2Vec2(1, 1), 0);
  body->CreateFixture(&shape, kGroundDensity);
  return body;
}

b2Body* makeBoxBody(State& state, b2BodyType type, const b2Vec2& position, float halfWidth,
                    float halfHeight, float density, float friction, float restitution) {
  b2BodyDef def;
  def.type = type;
  def.position = position;
  b2Body* body = state.world->CreateBody(&def);
  b2PolygonShape shape;
  shape.SetAsBox(halfWidth, halfHeight);
  b2FixtureDef fixture;
  fixture.shape = &shape;
  fixture.density = density;
  fixture.friction = friction;
  fixture.restitution = restitution;
  body->CreateFixture(&fixture);
  return body;
}
