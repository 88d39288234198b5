#include "app/pacer.h"

#include <gtest/gtest.h>

#include <chrono>

#include "app/world_step.h"
#include "support/world_fixture.h"

namespace {

using namespace std::chrono_literals;
using Clock = FramePacer::Clock;
constexpr Clock::duration P = FramePacer::kPeriod;

TEST(FramePacer, OnTimeFramesStartOnePeriodApartFromTheFirst) {
  const Clock::time_point t0{};
  FramePacer pacer(t0);
  EXPECT_EQ(pacer.next(t0 + 1ms), t0 + P);
  EXPECT_EQ(pacer.next(t0 + P + 15ms), t0 + 2 * P) << "no drift from the work of a frame";
  EXPECT_EQ(pacer.next(t0 + 2 * P), t0 + 3 * P);
}

TEST(FramePacer, ALateFrameStartsAtOnceAndTheDeadlinesStartAgainFromIt) {
  const Clock::time_point t0{};
  FramePacer pacer(t0);
  const Clock::time_point late = t0 + 5 * P + 3ms;
  EXPECT_EQ(pacer.next(late), late);
  // No burst of frames to make up the four missed periods.
  EXPECT_EQ(pacer.next(late + 1ms), late + P);
  EXPECT_EQ(pacer.next(late + P + 2ms), late + 2 * P);
}

TEST(FramePacer, NeverMoreThanSixtyFrameStartsInASecond) {
  // Frames whose work takes from nothing to three periods, in a fixed jumble.
  FramePacer pacer(Clock::time_point{});
  Clock::time_point now{}, previous{};
  int starts = 0;
  for (int i = 0; i < 600; ++i) {
    const Clock::time_point start = pacer.next(now);
    ASSERT_GE(start, now) << "a frame starts before the previous one ended";
    if (i > 0) {
      ASSERT_GE(start - previous, P) << "frame " << i;
    }
    previous = start;
    if (start < Clock::time_point{} + 1s) ++starts;
    now = start + (i * 7919 % 50) * 1ms;
  }
  EXPECT_LE(starts, 60);
  EXPECT_GE(starts, 20) << "short frames keep the full pace";
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
