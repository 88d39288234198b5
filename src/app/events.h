#pragma once
// The one place that reads SDL's events and keyboard, as the frame's input:
// each key press with the pointer position at that moment, the left button and
// the pointer's moves while it is down (the mouse drag), all in the picture's
// pixels, then the held keys.

class CameraControl;
class Screen;
class Session;
class TimelineControl;
struct FrameInput;
struct Overlays;

// Drains the event queue into input.events (the window's close is a quit) and
// reads the held keys of the game into input.held. What only changes the view
// or the session is handled here and never reaches the game: F11 switches the
// screen between the window and the full screen, a resize scales the picture
// to the window, F1 to F4 and L switch the overlays, the camera's keys and
// mouse move the view, S saves the session so far and T takes a windowed
// replay over; the bar of the session's time and its keys become seeks. The
// pointer reaches the game through the camera, in the picture's pixels.
void readInput(FrameInput& input, Screen& screen, Overlays& overlays, CameraControl& camera,
               Session& session, TimelineControl& timeline);

// While a resume plays unseen: drains the event queue, and says whether
// Escape or the window's close asked to cancel it.
bool resumeCancelled();
