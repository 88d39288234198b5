#include "app/pacer.h"

#include <gtest/gtest.h>

#include <chrono>

#include "fixtures/world_fixture.h"
#include "game/frame.h"

namespace {

using namespace std::chrono_literals;
using Clock = FramePacer::Clock;
constexpr Clock::duration P = FramePacer::kPeriod;

// On time, frames start one period apart whatever their work took; a late frame
// starts at once, and the deadlines start again from it: no burst to catch up.
TEST(FramePacer, KeepsOnePeriodBetweenStartsAndNeverCatchesUp) {
  const Clock::time_point t0{};
  FramePacer pacer(t0);
  EXPECT_EQ(pacer.next(t0 + 1ms), t0 + P);
  EXPECT_EQ(pacer.next(t0 + P + 15ms), t0 + 2 * P) << "no drift from the work of a frame";

  const Clock::time_point late = t0 + 5 * P + 3ms;
  EXPECT_EQ(pacer.next(late), late);
  EXPECT_EQ(pacer.next(late + 1ms), late + P);
  EXPECT_EQ(pacer.next(late + P + 2ms), late + 2 * P);
}

class FrameStep : public WorldTest {};

// Pacing changes wall-clock time only: one frame is still 0.05 s of world time.
TEST_F(FrameStep, OneFrameAdvancesTheWorldByAFixedTwentiethOfASecond) {
  b2BodyDef def;
  def.type = b2_dynamicBody;
  b2Body* body = state.world->CreateBody(&def);
  b2CircleShape circle;
  circle.m_radius = 1;
  body->CreateFixture(&circle, 1);
  for (int frame = 1; frame <= 3; ++frame) {
    stepWorld(state);
    EXPECT_NEAR(body->GetLinearVelocity().y, frame * 9.81f * 0.05f, 1e-4f);
  }
}

}  // namespace
