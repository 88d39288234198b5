#pragma once
// Building with the mouse. The left button acts through the tool chosen
// (F7, F8, or a click on the toolbar): Drag, the default, grabs bodies as it
// always has; Box, Ball, Plank and Rope build from the press to the release;
// Pin and Eraser act on the press. What is built is made of the metal chosen
// with F10, or of one drawn as the landscape's boxes are. Points come in the
// picture's pixels, as the mouse drag's do, so sizes are in the world's
// metres whatever the zoom; and since only recorded input reaches here, a
// replay builds the same.

#include <box2d/box2d.h>

#include "state/parts.h"

struct State;

constexpr int kToolCount = 7;
// Built bodies that may live at once; past it the oldest go.
constexpr int kBuiltBodyLimit = 500;
constexpr float kSmallestSide = 0.2f;    // a box's side, a plank's length, a rope's
constexpr float kSmallestRadius = 0.1f;  // a ball's
constexpr float kClickSize = 1.0f;       // a box, ball or plank made by a click alone
constexpr float kPlankThickness = 0.2f;  // metres
constexpr float kRopeThickness = 0.1f;   // metres
constexpr float kRopeLink = 1.0f;        // a rope's links are about this long
constexpr int kMostRopeLinks = 100;      // a longer rope has longer links

const char* toolName(Tool tool);
// The metal of what is built, or nullptr while it is drawn at random.
const Metal* metalInUse(const BuildPart& build);

// F8, F7: the next or previous tool, round the list; a grab or a build the
// left button holds is let go. F10: the next metal, then the random one.
void chooseTool(State& state, Tool tool);
void chooseNextTool(State& state);
void choosePreviousTool(State& state);
void chooseNextMetal(BuildPart& build);

// The left button: down, moved while down, up; in the picture's pixels.
void pressLeftButton(State& state, int x, int y);
void moveLeftButton(State& state, int x, int y);
void releaseLeftButton(State& state);

// Whether a press there would grab or build anything: what counts as an
// action to undo.
bool leftPressActs(const State& state, int x, int y);

// Whether the body was built with a tool.
bool isBuilt(const State& state, const b2Body* body);
