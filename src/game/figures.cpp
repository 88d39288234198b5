#include "game/figures.h"

#include <box2d/box2d.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

WorldCounts countWorld(const b2World& world) {
  WorldCounts counts;
  for (const b2Body* body = world.GetBodyList(); body; body = body->GetNext()) {
    ++counts.bodies;
    counts.awake += body->IsAwake();
    if (body->GetType() == b2_dynamicBody) ++counts.moving, counts.movingAwake += body->IsAwake();
    counts.ground += body->GetType() == b2_staticBody;
  }
  for (const b2Contact* contact = world.GetContactList(); contact; contact = contact->GetNext())
    counts.contacts += contact->IsTouching();
  counts.joints = world.GetJointCount();
  return counts;
}

double steadyMilliseconds() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration<double, std::milli>(now).count();
}

void FigureMeter::restart() {
  samples_.clear();
  figures_ = Figures();
  stepAverage_ = -1;
  started_ = false;
}

void FigureMeter::endFrame(FrameTimes& times, const b2World& world) {
  const double now = clock_();
  if (times.restored) restart();
  frame(world, now / 1000, now - times.since, times.steps ? times.stepMs : -1);
  times.clock = nullptr;
}

bool FigureMeter::frame(const b2World& world, double now, double frameMs, double stepMs) {
  const double step = std::min(std::max(stepMs, 0.0), frameMs);
  samples_.push_back({now, frameMs - step, stepMs});
  while (samples_.front().end <= now - kWindow) samples_.pop_front();
  // A step after a stretch without one has something to show at once.
  const bool due = !started_ || now - refreshed_ >= kRefresh || (stepMs >= 0 && stepAverage_ < 0);
  if (due) refresh(world, now);
  // The step speaks of the frame shown: one that did not step took no step time.
  figures_.stepMs = stepMs >= 0 ? stepAverage_ : -1;
  return due;
}

void FigureMeter::refresh(const b2World& world, double now) {
  started_ = true;
  refreshed_ = now;

  figures_.counts = countWorld(world);
  double draw = 0, stepSum = 0;
  int steps = 0;
  for (const Sample& s : samples_) {
    draw += s.drawMs;
    if (s.stepMs >= 0) stepSum += s.stepMs, ++steps;
  }
  figures_.drawMs = draw / samples_.size();
  stepAverage_ = steps ? stepSum / steps : -1;
  // Frames ended over the span they cover; a single frame gives no rate yet.
  const double span = now - samples_.front().end;
  figures_.framesPerSecond = span > 0 ? (samples_.size() - 1) / span : -1;
}

namespace {

std::string format(const char* label, double value, int decimals, const char* unit) {
  char text[64];
  if (value < 0) std::snprintf(text, sizeof text, "%-10s-", label);
  else std::snprintf(text, sizeof text, "%-10s%.*f%s", label, decimals, value, unit);
  return text;
}

}  // namespace

std::vector<std::string> figureLines(const Figures& figures) {
  const WorldCounts& c = figures.counts;
  return {"moving    " + std::to_string(c.movingAwake) + " awake / " + std::to_string(c.moving),
          "ground    " + std::to_string(c.ground),
          "contacts  " + std::to_string(c.contacts) + " touching",
          "joints    " + std::to_string(c.joints),
          format("step", figures.stepMs, 2, " ms"),
          format("draw", figures.drawMs, 2, " ms"),
          format("frames/s", figures.framesPerSecond, 1, "")};
}
