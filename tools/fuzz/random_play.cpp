#include "tools/fuzz/random_play.h"

#include <iterator>
#include <vector>

#include "game/keys.h"
#include "state/state.h"

namespace {

// Presses, B, J and D weighted up (and F8, so that every building tool comes round) so that the
// crane car goes through all its states in every order; every other key of the game too, Escape
// aside (it ends the session); P on its own (stoppedTime), so that time is seldom stopped.
constexpr int kPresses[] = {
    key::B,    key::B,    key::B,         key::J,        key::J,      key::J,      key::D,
    key::D,    key::D,    key::C,         key::C,        key::R,      key::SPACE,  key::KP0,
    key::KP1,  key::KP2,  key::KP3,       key::KP4,      key::KP5,    key::KP6,    key::KP7,
    key::KP8,  key::KP9,  key::KP_PERIOD, key::KP_ENTER, key::UP,     key::DOWN,   key::RIGHT,
    key::LEFT, key::NUM0, key::NUM0 + 3,  key::NUM0 + 8, key::PERIOD, key::RETURN, key::O,
    key::F7,   key::F8,   key::F8,        key::F10};
constexpr int kArrows[] = {key::UP, key::DOWN, key::RIGHT, key::LEFT};
// The keypad and the keys that stand in for it on a laptop.
constexpr int kKeypad[] = {
    key::KP0,      key::KP1,      key::KP2,      key::KP3,      key::KP4,       key::KP5,
    key::KP6,      key::KP7,      key::KP8,      key::KP9,      key::KP_PERIOD, key::KP_ENTER,
    key::NUM0,     key::NUM0 + 1, key::NUM0 + 2, key::NUM0 + 3, key::NUM0 + 4,  key::NUM0 + 5,
    key::NUM0 + 6, key::NUM0 + 7, key::NUM0 + 8, key::NUM9,     key::PERIOD,    key::RETURN};

}  // namespace

std::time_t FuzzClock::read() {
  if (reads_++ == turnAt_) second_ += step_;
  return second_;
}

void FuzzClock::beginFrame(long turnAt, long step) {
  reads_ = 0;
  turnAt_ = step ? turnAt : -1;
  step_ = step;
}

RandomPlay::RandomPlay(std::uint64_t seed)
    : random_(seed), clock_(1000000000 + static_cast<std::time_t>(seed % 100000000)) {}

FrameInput RandomPlay::next(const State& state) {
  if (chance(1.0 / 60)) clock_.beginFrame(between(0, 3), 1);
  else if (chance(1.0 / 50000)) clock_.beginFrame(between(0, 3), between(-86400, 86400));
  else clock_.beginFrame(-1, 0);

  FrameInput input;
  if (chance(0.01)) {
    for (long n = between(2, 12); n > 0; --n) press(input);  // a burst
  } else if (chance(0.03)) {
    press(input);
  }
  mouse(input, state);
  stoppedTime(input, state);
  timeTravel(input, state);
  hold(state);
  input.held = held_;
  return input;
}

void RandomPlay::press(FrameInput& input) {
  const int symbol = kPresses[between(0, std::size(kPresses) - 1)];
  if (chance(0.3)) {
    // The pointer wanders anywhere, inside the window or far outside it.
    const double where = std::uniform_real_distribution<double>(0, 1)(random_);
    const int reach = where < 0.5 ? 0 : where < 0.95 ? 3 : 70;
    pointerX_ = static_cast<int>(between(-reach * WIDTH, (reach + 1) * WIDTH - 1));
    pointerY_ = static_cast<int>(between(-reach * HEIGHT, (reach + 1) * HEIGHT - 1));
  }
  input.events.push_back({InputEvent::KeyPress, symbol, pointerX_, pointerY_});
}

// The left button grabs a body now and then (or nothing), drags it about and
// lets go, or with a building tool chosen, builds, pins or erases there; a
// release comes now and then without a press too.
void RandomPlay::mouse(FrameInput& input, const State& state) {
  if (!buttonDown_ && chance(0.004)) {
    std::vector<const b2Body*> dynamic;
    for (const b2Body* b = state.world->GetBodyList(); b; b = b->GetNext())
      if (b->GetType() == b2_dynamicBody) dynamic.push_back(b);
    if (!dynamic.empty() && chance(0.7)) {
      const b2Vec2 p = M2P * dynamic[between(0, dynamic.size() - 1)]->GetPosition();
      pointerX_ = static_cast<int>(p.x), pointerY_ = static_cast<int>(p.y);
    } else {
      pointerX_ = static_cast<int>(between(0, WIDTH - 1));
      pointerY_ = static_cast<int>(between(0, HEIGHT - 1));
    }
    input.events.push_back({InputEvent::ButtonDown, 0, pointerX_, pointerY_});
    buttonDown_ = true;
  } else if (buttonDown_ && chance(0.01)) {
    input.events.push_back({InputEvent::ButtonUp});
    buttonDown_ = false;
  } else if (buttonDown_ && chance(0.5)) {
    const long reach = chance(0.02) ? 2000 : 30;
    pointerX_ += static_cast<int>(between(-reach, reach));
    pointerY_ += static_cast<int>(between(-reach, reach));
    input.events.push_back({InputEvent::Motion, 0, pointerX_, pointerY_});
  } else if (!buttonDown_ && chance(0.0005)) {
    input.events.push_back({InputEvent::ButtonUp});
  }
}

// P stops time now and then; while it is stopped O plays single frames, and P
// soon starts it again.
void RandomPlay::stoppedTime(FrameInput& input, const State& state) {
  auto press = [&](int symbol) {
    input.events.push_back({InputEvent::KeyPress, symbol, pointerX_, pointerY_});
  };
  if (!state.paused && chance(0.001)) press(key::P);
  else if (state.paused && chance(0.1)) press(key::O);
  else if (state.paused && chance(0.05)) press(key::P);
}

// The speed changes now and then, a moment is kept and returned to, a new
// world is built, and time goes back a few frames or a long way.
void RandomPlay::timeTravel(FrameInput& input, const State& state) {
  auto press = [&](int symbol) {
    input.events.push_back({InputEvent::KeyPress, symbol, pointerX_, pointerY_});
  };
  if (chance(0.002)) press(chance(0.5) ? key::LEFTBRACKET : key::RIGHTBRACKET);
  // Fast forward plays up to 8 frames a picture: back to full speed soon.
  if (state.speedShift > 0 && chance(0.01)) press(key::LEFTBRACKET);
  if (chance(0.0007)) press(key::F5);
  if (chance(0.0007)) press(key::F9);
  if (chance(0.0001)) press(key::N);
  if (backLeft_ > 0 && --backLeft_ == 0) held_[key::BACKSPACE] = 0;
  if (backLeft_ == 0 && chance(0.0001)) {
    backLeft_ = chance(0.8) ? between(1, 60) : between(60, 3000);
    held_[key::BACKSPACE] = 1;
  }
}

void RandomPlay::hold(const State& state) {
  // Long scrolls now and then, short ones in between.
  if (scrollLeft_ > 0 && --scrollLeft_ == 0) held_[key::SPACE] = 0;
  if (scrollLeft_ == 0 && chance(0.002)) {
    scrollLeft_ = between(100, 3000);
    held_[key::SPACE] = 1;
  } else if (scrollLeft_ == 0 && chance(0.005)) {
    held_[key::SPACE] = !held_[key::SPACE];
  }
  for (int k : kArrows)
    if (chance(0.01)) held_[k] = !held_[k];
  for (int k : kKeypad)
    if (chance(0.002)) held_[k] = !held_[k];

  // A ship off the window's right or bottom is flown back now and then.
  if (state.ship && chance(0.05)) {
    const b2Vec2 p = state.ship->GetPosition();
    if (p.x > WIDTH * P2M) held_[key::RIGHT] = 0, held_[key::LEFT] = 1;
    if (p.y > HEIGHT * P2M) held_[key::DOWN] = 0, held_[key::UP] = 1;
  }
}

bool RandomPlay::moveInTime(FrameInput& input, const TimelineSummary& line, long undo, long redo) {
  long frame = -1;
  int by = seekOnBar, branch = 0;
  const double what = std::uniform_real_distribution<double>(0, 1)(random_);
  if (what < 0.4) {
    frame = between(line.oldest, line.end);
  } else if (what < 0.6) {
    by = seekUndo, frame = undo;
  } else if (what < 0.8) {
    by = seekRedo, frame = redo;
  } else if (!line.branches.empty()) {
    const TimelineSummary::Shown& b = line.branches[between(0, line.branches.size() - 1)];
    by = seekBranch, branch = b.id, frame = between(b.from, b.end);
  }
  if (frame < 0) return false;
  input.events.push_back({InputEvent::Seek, by, static_cast<int>(frame), branch});
  return true;
}
