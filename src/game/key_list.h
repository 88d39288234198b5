#pragma once
// The keys and what they do, in the words the help, the README and the manual
// page use: the one list of them.

struct KeyHelp {
  const char* keys;
  const char* action;
};

inline constexpr KeyHelp kKeyList[] = {
    {"Escape, window close", "quit"},
    {"F11", "switch between the window and the full screen"},
    {"Right / Left arrow",
     "fly the ship right / left (speed ramps up while held, drifts back when released)"},
    {"Up / Down arrow", "fly the ship up / down; Down also stops the wheel motors"},
    {"Space (held)", "scroll the landscape one pixel per frame"},
    {"C", "drop a plain car at the mouse pointer"},
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
