#include "bodies/factories.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/random.h"
#include "fixtures/body_bounds.h"
#include "fixtures/world_fixture.h"
#include "support/console_capture.h"
#include "support/pinned_clock.h"

namespace {

class Factories : public WorldTest {
 protected:
  static const b2Fixture& only(const b2Body* body) {
    const b2Fixture* f = body->GetFixtureList();
    EXPECT_NE(f, nullptr);
    EXPECT_EQ(f->GetNext(), nullptr) << "a factory body carries exactly one fixture";
    return *f;
  }
  uintptr_t groundAddress() const { return reinterpret_cast<uintptr_t>(&state.ground); }
};

}  // namespace

TEST_F(Factories, CircleIsWeightlessFrictionlessAndMarkedAsGround) {
  for (bool dyn : {true, false}) {
    SCOPED_TRACE(dyn ? "dynamic" : "static");
    b2Body* c = addCircle(state, 600, 200, 15, dyn);
    EXPECT_EQ(c->GetType(), dyn ? b2_dynamicBody : b2_staticBody);
    EXPECT_EQ(c->GetPosition(), b2Vec2(60, 20));
    const b2Fixture& f = only(c);
    ASSERT_EQ(f.GetType(), b2Shape::e_circle);
    const auto* shape = static_cast<const b2CircleShape*>(f.GetShape());
    EXPECT_FLOAT_EQ(shape->m_radius, 1.5f);
    EXPECT_EQ(shape->m_p, b2Vec2(0, 0));
    EXPECT_EQ(f.GetFriction(), 0.0f);
    EXPECT_EQ(c->GetGravityScale(), 0.0f);
    EXPECT_EQ(c->GetUserData().pointer, groundAddress());
  }
  b2Body* c = addCircle(state, 100, 500, 15, true);
  step(20);
  EXPECT_EQ(c->GetPosition(), b2Vec2(10, 50)) << "gravity scale 0: the circle hangs";
}

TEST_F(Factories, CircleDrawsDensityThenRestitution) {
  std::srand(4242);
  const float density = RandomFloat(0.1f, 5.0f);
  const float restitution = RandomFloat(0.0f, 0.5f);
  ASSERT_NE(density, restitution);
  std::srand(4242);
  const b2Fixture& f = only(addCircle(state, 10, 10, 3, true));
  EXPECT_EQ(f.GetDensity(), density);
  EXPECT_EQ(f.GetRestitution(), restitution);
}

TEST_F(Factories, CircleDensityAndRestitutionStayInRange) {
  float lowest = 100, highest = -1, maxRestitution = -1, minRestitution = 100;
  for (unsigned seed = 1; seed <= 400; ++seed) {
    std::srand(seed);
    const b2Fixture& f = only(addCircle(state, 10, 10, 3, true));
    lowest = std::min(lowest, f.GetDensity());
    highest = std::max(highest, f.GetDensity());
    minRestitution = std::min(minRestitution, f.GetRestitution());
    maxRestitution = std::max(maxRestitution, f.GetRestitution());
  }
  EXPECT_GE(lowest, 0.1f);
  EXPECT_LE(highest, 5.0f);
  EXPECT_GE(minRestitution, 0.0f);
  EXPECT_LE(maxRestitution, 0.5f);
  // The draws spread over their ranges rather than sticking to one value.
  EXPECT_LT(lowest, 0.5f);
  EXPECT_GT(highest, 4.5f);
  EXPECT_GT(maxRestitution, 0.45f);
}

TEST_F(Factories, WheelHasUnitDensityHighFrictionAndFalls) {
  for (bool dyn : {true, false}) {
    SCOPED_TRACE(dyn ? "dynamic" : "static");
    b2Body* w = addWheel(state, 300, 100, 8, dyn);
    EXPECT_EQ(w->GetType(), dyn ? b2_dynamicBody : b2_staticBody);
    const b2Fixture& f = only(w);
    ASSERT_EQ(f.GetType(), b2Shape::e_circle);
    EXPECT_FLOAT_EQ(f.GetShape()->m_radius, 0.8f);
    EXPECT_EQ(f.GetDensity(), 1.0f);
    EXPECT_EQ(f.GetFriction(), 106.9f);
    EXPECT_EQ(f.GetRestitution(), 0.0f);
    EXPECT_EQ(w->GetGravityScale(), 1.0f);
    EXPECT_EQ(w->GetUserData().pointer, groundAddress());
  }
  b2Body* w = addWheel(state, 800, 100, 8, true);
  step(10);
  EXPECT_GT(w->GetPosition().y, 11.0f);
}

TEST_F(Factories, RectIsATwoMetreMetalBoxAndPrintsItsDraw) {
  PinnedClock clock(secondWhereRandABGives(0, 101, 5));
  for (bool dyn : {true, false}) {
    SCOPED_TRACE(dyn ? "dynamic" : "static");
    ConsoleCapture console;
    b2Body* r = addRect(state, 500, 200, 20, 20, dyn);
    EXPECT_EQ(console.lines(), std::vector<std::string>{"5"});
    EXPECT_EQ(r->GetType(), dyn ? b2_dynamicBody : b2_staticBody);
    EXPECT_EQ(r->GetPosition(), b2Vec2(50, 20));
    const b2Fixture& f = only(r);
    ASSERT_EQ(f.GetType(), b2Shape::e_polygon);
    EXPECT_EQ(static_cast<const b2PolygonShape*>(f.GetShape())->m_count, 4);
    expectBounds(polygonBounds(r), 49, 19, 51, 21);
    EXPECT_EQ(f.GetDensity(), 9.82f);
    EXPECT_EQ(f.GetFriction(), 0.2f);
    EXPECT_EQ(f.GetRestitution(), 0.5f);
    EXPECT_EQ(r->GetGravityScale(), 1.0f);
  }
}

TEST_F(Factories, RectDrawSelectsTheMetalAtEveryBoundary) {
  const struct {
    int draw;
    float density;
  } table[] = {{0, 21.45f},  {1, 21.45f},  {2, 9.82f},  {5, 9.82f},  {6, 19.3f},  {7, 19.3f},
               {8, 10.5f},   {9, 8.27f},   {10, 2.7f},  {14, 2.7f},  {15, 7.29f}, {29, 7.29f},
               {30, 7.1f},   {34, 7.1f},   {35, 8.96f}, {39, 8.96f}, {40, 0.97f}, {49, 0.97f},
               {50, 11.35f}, {59, 11.35f}, {60, 1.43f}, {79, 1.43f}, {80, 7.87f}, {100, 7.87f}};
  for (const auto& row : table) {
    SCOPED_TRACE("draw " + std::to_string(row.draw));
    PinnedClock clock(secondWhereRandABGives(0, 101, row.draw));
    ConsoleCapture console;
    const b2Fixture& f = only(addRect(state, 100, 100, 10, 10, true));
    EXPECT_EQ(f.GetDensity(), row.density);
    EXPECT_EQ(console.lines(), std::vector<std::string>{std::to_string(row.draw)});
  }
}

TEST_F(Factories, Rect1IsAHullThatFalls) {
  for (bool dyn : {true, false}) {
    SCOPED_TRACE(dyn ? "dynamic" : "static");
    ConsoleCapture console;
    b2Body* r = addRect1(state, 200, 100, 40, 10, dyn);
    EXPECT_EQ(console.text(), "") << "a hull draws nothing and prints nothing";
    EXPECT_EQ(r->GetType(), dyn ? b2_dynamicBody : b2_staticBody);
    expectBounds(polygonBounds(r), 18, 9.5f, 22, 10.5f);
    const b2Fixture& f = only(r);
    EXPECT_EQ(f.GetDensity(), 0.99f);
    EXPECT_EQ(f.GetFriction(), 0.2f);
    EXPECT_EQ(f.GetRestitution(), 0.5f);
    EXPECT_EQ(r->GetGravityScale(), 1.0f);
  }
  b2Body* r = addRect1(state, 800, 100, 40, 10, true);
  step(10);
  EXPECT_GT(r->GetPosition().y, 11.0f);
}

TEST_F(Factories, GroundBoxSitsOneMetreRightAndBelowItsPoint) {
  b2Body* g = CreateGround(state, 0, 0, 20, 10);
  EXPECT_EQ(g->GetType(), b2_staticBody);
  EXPECT_EQ(g->GetPosition(), b2Vec2(0, 0));
  expectBounds(polygonBounds(g), 0, 0.5f, 2, 1.5f);  // 2 m x 1 m centred at (1, 1)
  const b2Fixture& f = only(g);
  EXPECT_EQ(f.GetDensity(), 0.0f);
  EXPECT_EQ(f.GetFriction(), 0.2f);
  EXPECT_EQ(f.GetRestitution(), 0.0f);

  b2Body* floor = CreateGround(state, 300, 900, 10, 1);
  expectBounds(polygonBounds(floor), 30.5f, 90.95f, 31.5f, 91.05f);
}

namespace {

// What one second's single rand() value makes of addPolygon's five draws.
struct PolygonDraws {
  int count, w, h, d, d2;
};

PolygonDraws polygonDrawsAt(std::time_t second) {
  std::srand(static_cast<unsigned>(second));
  const int r = std::rand();
  return {4 + r % 3, 1 + r % 17, 1 + r % 26, 3 + r % 7, 5 + r % 12};
}

// The first second from `from` on whose draws satisfy `want`.
template <typename Want>
std::time_t polygonSecond(Want want, std::time_t from = 1000) {
  for (std::time_t t = from; t < from + 100000; ++t)
    if (want(polygonDrawsAt(t))) return t;
  ADD_FAILURE() << "no second gives the wanted polygon";
  return from;
}

bool hasVertex(const b2PolygonShape& shape, b2Vec2 v) {
  for (int i = 0; i < shape.m_count; ++i)
    if (b2DistanceSquared(shape.m_vertices[i], v) < 1e-8f) return true;
  return false;
}

}  // namespace

TEST_F(Factories, PolygonOfFourIsAStaticRectangleOfTestMaterial) {
  const std::time_t second = polygonSecond([](const PolygonDraws& p) { return p.count == 4; });
  const PolygonDraws p = polygonDrawsAt(second);
  PinnedClock clock(second);
  ConsoleCapture console;
  b2Body* body = addPolygon(state, 100, 200);
  EXPECT_EQ(console.lines(), std::vector<std::string>{"4"});
  EXPECT_EQ(state.NB_VERTICES, 4);
  EXPECT_EQ(body->GetType(), b2_staticBody);
  EXPECT_EQ(body->GetPosition(), b2Vec2(10, 20));
  const b2Fixture& f = only(body);
  EXPECT_EQ(f.GetDensity(), 4.0f);
  EXPECT_EQ(f.GetRestitution(), 5.0f);
  EXPECT_EQ(f.GetFriction(), 0.2f);
  const auto& shape = *static_cast<const b2PolygonShape*>(f.GetShape());
  EXPECT_EQ(shape.m_count, 4);
  // The local vertices include the body position, so the world picture lies at twice it.
  const float W = p.w * 0.1f, H = p.h * 0.1f;
  expectBounds(polygonBounds(body), 20, 40, 20 + W, 40 + H);
}

TEST_F(Factories, SixPointPolygonKeepsOnlyItsFiveHullVertices) {
  const std::time_t second = polygonSecond([](const PolygonDraws& p) { return p.count == 6; });
  const PolygonDraws p = polygonDrawsAt(second);
  PinnedClock clock(second);
  ConsoleCapture console;
  b2Body* body = addPolygon(state, 100, 200);
  EXPECT_EQ(console.lines(), std::vector<std::string>{"6"});
  EXPECT_EQ(state.NB_VERTICES, 6);
  const auto& shape = *static_cast<const b2PolygonShape*>(only(body).GetShape());
  ASSERT_EQ(shape.m_count, 5) << "point 0 lies inside the hull";
  const float X = 10, Y = 20, W = p.w * 0.1f, H = p.h * 0.1f, D = p.d * 0.1f, D2 = p.d2 * 0.1f;
  EXPECT_FALSE(hasVertex(shape, {X, Y}));
  for (b2Vec2 v : {b2Vec2(X + W, Y), b2Vec2(X + W, Y + H), b2Vec2(X, Y + H),
                   b2Vec2(X - W, Y + H - D), b2Vec2(X - W, Y - H - D2)})
    EXPECT_TRUE(hasVertex(shape, v)) << v.x << ", " << v.y;
}

TEST_F(Factories, FivePointPolygonMayHullToFour) {
  // With H < D the fifth point rises above the top edge and swallows point 0.
  const std::time_t second =
      polygonSecond([](const PolygonDraws& p) { return p.count == 5 && p.h < p.d; });
  PinnedClock clock(second);
  ConsoleCapture console;
  b2Body* body = addPolygon(state, 100, 200);
  EXPECT_EQ(console.lines(), std::vector<std::string>{"5"});
  EXPECT_EQ(state.NB_VERTICES, 5);
  EXPECT_EQ(static_cast<const b2PolygonShape*>(only(body).GetShape())->m_count, 4);
}
