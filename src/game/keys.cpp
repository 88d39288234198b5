#include "game/keys.h"

#include <algorithm>

namespace {

// One row a key, laid out by hand: a formatter would put each field on a line.
// clang-format off
constexpr KeyRow kRows[] = {
    {"Escape, window close", "quit", KeyUse::press, {{key::ESCAPE, "escape"}},
     GameAction::quit},
    {"F1", "show or hide the list of keys in the window", KeyUse::view, {{key::F1}},
     GameAction::none, "key-panel"},
    {"Page Up", "the list of keys' previous page, when it has more than one; the wheel over the "
     "list turns them too", KeyUse::view, {{key::PAGEUP}}, GameAction::none, "page-up"},
    {"Page Down", "the list of keys' next page", KeyUse::view, {{key::PAGEDOWN}},
     GameAction::none, "page-down"},
    {"F2", "show or hide the joints: the cable, wheel axles, crane hinges and the mouse's pull",
     KeyUse::view, {{key::F2}}, GameAction::none, "joint-view"},
    {"F3",
     "show or hide the figures: moving bodies (awake and all) and ground, contacts "
     "touching, joints, step and drawing time, frames/s, the zoom, the speed and the follow",
     KeyUse::view, {{key::F3}}, GameAction::none, "figures"},
    {"F4", "show or hide the physics view: every shape, bounding box, centre of mass and contact "
     "point",
     KeyUse::view, {{key::F4}}, GameAction::none, "physics-view"},
    {"L", "show or hide the console's last five lines along the bottom of the window",
     KeyUse::view, {{key::L}}, GameAction::none, "console-strip"},
    {"F11", "switch between the window and the full screen", KeyUse::view, {{key::F11}},
     GameAction::none, "full-screen"},
    {"Mouse wheel", "zoom in / out about the pointer", KeyUse::view, {}},
    {"Right or middle drag", "move the picture with the pointer, as a map does", KeyUse::view, {}},
    {"+ or =, keypad +", "zoom in about the middle of the window", KeyUse::view,
     {{key::PLUS}, {key::EQUALS}, {key::KP_PLUS}}, GameAction::none, "zoom-in"},
    {"-, keypad -", "zoom out about the middle of the window", KeyUse::view,
     {{key::MINUS}, {key::KP_MINUS}}, GameAction::none, "zoom-out"},
    {"Ctrl with + / -", "larger / smaller text in the window's panels and marks, 1 to 4 times",
     KeyUse::view, {}},
    {"Home", "the game's own view again: no zoom, no pan, no follow", KeyUse::view,
     {{key::HOME}}, GameAction::none, "home"},
    {"F",
     "follow the ship, zooming out to keep the hanging car in view too; press again, pan or "
     "Home to stop",
     KeyUse::view, {{key::F}}, GameAction::none, "follow"},
    {"P", "stop time; press again to restart it", KeyUse::press, {{key::P, "p"}},
     GameAction::togglePause},
    {"O", "while time is stopped, play one frame", KeyUse::press, {{key::O, "o"}},
     GameAction::playOneFrame},
    {"[", "halve the speed, down to 1/8: slow motion", KeyUse::press,
     {{key::LEFTBRACKET, "leftbracket"}}, GameAction::slowDown},
    {"]", "double the speed, up to x8: fast forward", KeyUse::press,
     {{key::RIGHTBRACKET, "rightbracket"}}, GameAction::speedUp},
    // Read by the session, which keeps the history that it goes back through.
    {"Backspace (held)",
     "go back in time, picture by picture, two minutes or more; release to go on from there",
     KeyUse::held, {{key::BACKSPACE, "backspace"}}},
    {"Shift with Backspace (held)", "go back in time eight times as fast", KeyUse::held,
     {{key::LSHIFT, "lshift"}, {key::RSHIFT, "rshift"}}},
    // The bar and its keys become seeks in the window (app/timeline_control.cpp).
    {"Mouse on the bottom bar",
     "the session's time: click or drag to go to a moment, click a mark of F5 to go to the "
     "moment it kept, click a branch's line above it to switch to that branch", KeyUse::view, {}},
    {"Tab", "pin the bar of the session's time on or off", KeyUse::view, {}},
    {"Ctrl+Z", "undo: back to just before the last action (C, B, J, D, N, F9, a grab)",
     KeyUse::view, {}},
    {"Ctrl+Y, Ctrl+Shift+Z", "redo: forward along the future left, action by action",
     KeyUse::view, {}},
    {", and .", "while time is stopped, one frame back and forward", KeyUse::view, {}},
    {"F5", "keep this moment", KeyUse::press, {{key::F5, "f5"}},
     GameAction::keepMoment},
    {"F9", "return to the moment kept with F5, as often as wanted", KeyUse::press,
     {{key::F9, "f9"}}, GameAction::returnToKeptMoment},
    {"N", "a new world: a new landscape and sky, as at start-up", KeyUse::press,
     {{key::N, "n"}}, GameAction::newWorld},
    {"Left mouse button (held)",
     "drag the body under the pointer (not the ship, nor the ground), with the path it would fly "
     "if let go in yellow; release to let go",
     KeyUse::held, {}},
    {"F8", "the next tool of the toolbar on the left: Drag, Box, Ball, Plank, Rope, Pin, Eraser; "
     "a click on the toolbar chooses too", KeyUse::press, {{key::F8, "f8"}}, GameAction::nextTool},
    {"F7", "the previous tool", KeyUse::press, {{key::F7, "f7"}}, GameAction::previousTool},
    {"F10", "the metal of what is built: each of the thirteen metals, then one drawn at random as "
     "the landscape's boxes are", KeyUse::press, {{key::F10, "f10"}}, GameAction::nextMetal},
    {"Left button, with a tool",
     "Box: drag corner to corner; Ball: centre, then radius; Plank: end to end; Rope: end to end, "
     "each end tied to the body under it; Pin: a click pins a body to the world, or two bodies "
     "together; Eraser: a click removes a body (not the ship, the ground or the hanging car)",
     KeyUse::held, {}},
    {"Right / Left arrow",
     "fly the ship right / left (speed ramps up while held, drifts back when released)",
     KeyUse::held, {{key::RIGHT, "right"}, {key::LEFT, "left"}}},
    {"Up / Down arrow", "fly the ship up / down; Down also stops the wheel motors", KeyUse::held,
     {{key::UP, "up"}, {key::DOWN, "down"}}},
    {"Space (held)", "scroll the landscape one pixel per frame", KeyUse::held,
     {{key::SPACE, "space"}}},
    {"C", "drop a plain car at the mouse pointer, one a frame; past 30 plain cars the oldest goes",
     KeyUse::press, {{key::C, "c"}}, GameAction::makePlainCar},
    {"B", "build the crane car 5 m below the ship and hang it on the cable", KeyUse::press,
     {{key::B, "b"}}, GameAction::hangCraneCar},
    {"J",
     "drop the hanging car; press again to fly above it and pick it up; \"TOTO2\" when there is "
     "no car",
     KeyUse::press, {{key::J, "j"}}, GameAction::releaseOrRehangCraneCar},
    {"D",
     "cut the left cable, then the right one, then destroy the last plain car's wheels and the "
     "crane car",
     KeyUse::press, {{key::D, "d"}}, GameAction::cutCableOrDestroyCars},
    {"Keypad 6 / 4 (held)", "speed the wheel motors up / down", KeyUse::held,
     {{key::KP6, "kp6"}, {key::KP4, "kp4"}}},
    {"Keypad 8", "stop the wheel motors and the crane's second arm", KeyUse::held,
     {{key::KP8, "kp8"}}},
    {"Keypad 3 / 1 / 2", "crane arm: turn one way / the other / stop", KeyUse::held,
     {{key::KP3, "kp3"}, {key::KP1, "kp1"}, {key::KP2, "kp2"}}},
    {"Keypad 9 / 7", "crane second arm", KeyUse::held, {{key::KP9, "kp9"}, {key::KP7, "kp7"}}},
    {"Keypad 5 / Enter", "crane wrist", KeyUse::held,
     {{key::KP5, "kp5"}, {key::KP_ENTER, "kp_enter"}}},
    {"Keypad 0 / period", "crane thumb and index finger: close / open", KeyUse::held,
     {{key::KP0, "kp0"}, {key::KP_PERIOD, "kp_period"}}},
    {"0 to 9, full stop, Return", "the same as keypad 0 to 9, period and Enter, held or pressed",
     KeyUse::held,
     {{key::NUM0, "0", key::KP0},
      {key::NUM0 + 1, "1", key::KP1},
      {key::NUM0 + 2, "2", key::KP2},
      {key::NUM0 + 3, "3", key::KP3},
      {key::NUM0 + 4, "4", key::KP4},
      {key::NUM0 + 5, "5", key::KP5},
      {key::NUM0 + 6, "6", key::KP6},
      {key::NUM0 + 7, "7", key::KP7},
      {key::NUM0 + 8, "8", key::KP8},
      {key::NUM9, "9", key::KP9},
      {key::PERIOD, "period", key::KP_PERIOD},
      {key::RETURN, "return", key::KP_ENTER}}},
    {"R", "switch the bodies of the R list to dynamic (the list is empty)", KeyUse::press,
     {{key::R, "r"}}, GameAction::makeListedBodiesDynamic},
    {"S", "save the session so far to a new recording, named in the window and on standard error",
     KeyUse::view,
     {{key::S}}, GameAction::none, "save"},
    {"T", "in a replay in the window: take over, the keyboard and mouse play on from here",
     KeyUse::view, {{key::T}}, GameAction::none, "take-over"},
    {"F6", "list the saved sessions, newest first, time standing still: Up / Down choose, Enter "
     "resumes, Shift+Enter replays, Delete removes (after yes or no), Escape or F6 closes",
     KeyUse::view, {{key::F6}}, GameAction::none, "session-list"},
};
// clang-format on

// Each symbol's row and key, looked up once a frame for every held key.
struct Lookup {
  const KeyRow* row[key::COUNT] = {};
  const Key* key[key::COUNT] = {};
  std::vector<NamedKey> named;  // in the order of their symbols

  Lookup() {
    for (const KeyRow& r : kRows)
      for (const Key& k : r.symbols) {
        if (!k.symbol) continue;
        row[k.symbol] = &r;
        this->key[k.symbol] = &k;
      }
    for (int s = 0; s < key::COUNT; ++s)
      if (this->key[s] && this->key[s]->name) named.push_back({s, this->key[s]->name});
  }
};

const Lookup& lookup() {
  static const Lookup table;
  return table;
}

bool inRange(int symbol) { return symbol > 0 && symbol < key::COUNT; }

}  // namespace

const KeyRow* KeyTable::begin() const { return std::begin(kRows); }
const KeyRow* KeyTable::end() const { return std::end(kRows); }

const KeyRow* keyRow(int symbol) { return inRange(symbol) ? lookup().row[symbol] : nullptr; }

const char* keyName(int symbol) {
  return inRange(symbol) && lookup().key[symbol] ? lookup().key[symbol]->name : nullptr;
}

int keySymbol(std::string_view name) {
  for (const NamedKey& k : lookup().named)
    if (name == k.name) return k.symbol;
  return -1;
}

const std::vector<NamedKey>& gameKeys() { return lookup().named; }

int keypadKeyFor(int symbol) {
  const Key* k = inRange(symbol) ? lookup().key[symbol] : nullptr;
  return k && k->standsFor ? k->standsFor : symbol;
}

std::array<unsigned char, key::COUNT> withKeypadStandIns(const unsigned char* keys) {
  std::array<unsigned char, key::COUNT> held;
  std::copy(keys, keys + key::COUNT, held.begin());
  for (int s = 0; s < key::COUNT; ++s)
    if (keys[s] && keypadKeyFor(s) != s) held[keypadKeyFor(s)] = 1;
  return held;
}
