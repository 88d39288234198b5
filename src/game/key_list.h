#pragma once
// The keys and what they do, in the words the help, the README and the manual
// page use: the one list of them.

#include "game/controls.h"

static_assert(kPlainCarLimit == 30, "C's help names the number of plain cars");

struct KeyHelp {
  const char* keys;
  const char* action;
};

inline constexpr KeyHelp kKeyList[] = {
    {"Escape, window close", "quit"},
    {"F1", "show or hide the list of keys in the window"},
    {"F2", "show or hide the joints: the cable, wheel axles, crane hinges and the mouse's pull"},
    {"F11", "switch between the window and the full screen"},
    {"P", "stop time; press again to restart it"},
    {"O", "while time is stopped, play one frame"},
    {"Left mouse button (held)",
     "drag the body under the pointer (not the ship, nor the ground); release to let go"},
    {"Right / Left arrow",
     "fly the ship right / left (speed ramps up while held, drifts back when released)"},
    {"Up / Down arrow", "fly the ship up / down; Down also stops the wheel motors"},
    {"Space (held)", "scroll the landscape one pixel per frame"},
    {"C",
     "drop a plain car at the mouse pointer, one a frame; past 30 plain cars the oldest goes"},
    {"B", "build the crane car 5 m below the ship and hang it on the cable"},
    {"J",
     "drop the hanging car; press again to fly above it and pick it up; \"TOTO2\" when there is "
     "no car"},
    {"D",
     "cut the left cable, then the right one, then destroy the last plain car's wheels and the "
     "crane car"},
    {"Keypad 6 / 4 (held)", "speed the wheel motors up / down"},
    {"Keypad 8", "stop the wheel motors and the crane's second arm"},
    {"Keypad 3 / 1 / 2", "crane arm: turn one way / the other / stop"},
    {"Keypad 9 / 7", "crane second arm"},
    {"Keypad 5 / Enter", "crane wrist"},
    {"Keypad 0 / period", "crane thumb and index finger: close / open"},
    {"0 to 9, full stop, Return", "the same as keypad 0 to 9, period and Enter, held or pressed"},
    {"R", "switch the bodies of the R list to dynamic (the list is empty)"},
};
