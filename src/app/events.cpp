#include "app/events.h"

#include <SDL/SDL.h>

#include <algorithm>

#include "app/camera_control.h"
#include "app/screen.h"
#include "app/session_list_keys.h"
#include "app/timeline_control.h"
#include "app/view_actions.h"
#include "game/build_tools.h"
#include "game/keys.h"
#include "recording/frame_input.h"
#include "render/overlays.h"
#include "render/toolbar.h"
#include "render/window_pixels.h"
#include "session/session.h"

static_assert(key::ESCAPE == SDLK_ESCAPE && key::SPACE == SDLK_SPACE && key::B == SDLK_b &&
              key::C == SDLK_c && key::D == SDLK_d && key::J == SDLK_j && key::R == SDLK_r);
static_assert(key::KP0 == SDLK_KP0 && key::KP1 == SDLK_KP1 && key::KP2 == SDLK_KP2 &&
              key::KP3 == SDLK_KP3 && key::KP4 == SDLK_KP4 && key::KP5 == SDLK_KP5 &&
              key::KP6 == SDLK_KP6 && key::KP7 == SDLK_KP7 && key::KP8 == SDLK_KP8 &&
              key::KP9 == SDLK_KP9 && key::KP_PERIOD == SDLK_KP_PERIOD &&
              key::KP_ENTER == SDLK_KP_ENTER);
static_assert(key::RETURN == SDLK_RETURN && key::PERIOD == SDLK_PERIOD && key::NUM0 == SDLK_0 &&
              key::NUM9 == SDLK_9);
static_assert(key::UP == SDLK_UP && key::DOWN == SDLK_DOWN && key::RIGHT == SDLK_RIGHT &&
              key::LEFT == SDLK_LEFT && key::COUNT == SDLK_LAST);
static_assert(key::O == SDLK_o && key::P == SDLK_p && key::F1 == SDLK_F1 && key::F2 == SDLK_F2 &&
              key::F11 == SDLK_F11);
static_assert(key::F3 == SDLK_F3 && key::F4 == SDLK_F4 && key::L == SDLK_l);
static_assert(key::PLUS == SDLK_PLUS && key::EQUALS == SDLK_EQUALS && key::MINUS == SDLK_MINUS &&
              key::KP_PLUS == SDLK_KP_PLUS && key::KP_MINUS == SDLK_KP_MINUS &&
              key::HOME == SDLK_HOME && key::F == SDLK_f);
static_assert(key::S == SDLK_s && key::T == SDLK_t);
static_assert(key::LSHIFT == SDLK_LSHIFT && key::RSHIFT == SDLK_RSHIFT);
static_assert(key::PAGEUP == SDLK_PAGEUP && key::PAGEDOWN == SDLK_PAGEDOWN);
static_assert(key::F6 == SDLK_F6 && key::DELETE == SDLK_DELETE && key::Y == SDLK_y);
static_assert(key::F7 == SDLK_F7 && key::F8 == SDLK_F8 && key::F10 == SDLK_F10);

static_assert(key::BACKSPACE == SDLK_BACKSPACE && key::LEFTBRACKET == SDLK_LEFTBRACKET &&
              key::RIGHTBRACKET == SDLK_RIGHTBRACKET && key::N == SDLK_n && key::F5 == SDLK_F5 &&
              key::F9 == SDLK_F9);

namespace {

void readMouse(FrameInput& input, const Screen& screen, CameraControl& camera,
               const SDL_Event& event) {
  auto add = [&](InputEvent::Kind kind, int x, int y) {
    const PicturePoint p = camera.toPicture(screen, x, y);
    camera.pullTo(p);
    input.events.push_back({kind, 0, p.x, p.y});
  };
  if (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT) {
    add(InputEvent::ButtonDown, event.button.x, event.button.y);
  } else if (event.type == SDL_MOUSEBUTTONUP && event.button.button == SDL_BUTTON_LEFT) {
    input.events.push_back({InputEvent::ButtonUp});
  } else if (event.type == SDL_MOUSEMOTION && (event.motion.state & SDL_BUTTON(SDL_BUTTON_LEFT))) {
    // Only the last of several moves in a row counts: each sets where the drag pulls.
    if (!input.events.empty() && input.events.back().kind == InputEvent::Motion)
      input.events.pop_back();
    add(InputEvent::Motion, event.motion.x, event.motion.y);
  }
}

// F1's page, `by` pages on, within the pages it had when last drawn.
void turnKeyPage(Overlays& overlays, int by) {
  const int last = std::max(overlays.shown.keyPages - 1, 0);
  overlays.keyPage = std::clamp(overlays.keyPage + by, 0, last);
}

// Ctrl with + or -: the overlays' text a size larger or smaller.
void changeUiScale(Overlays& overlays, int by) {
  const int now = overlays.uiScale ? overlays.uiScale : overlays.shown.zoom;  // as drawn
  overlays.chosenUiScale = std::clamp(now + by, 1, kMaxOverlayZoom);
}

// The wheel over F1's panel turns its pages rather than zooming the world.
bool wheelOverKeys(const SDL_Event& event, const Screen& screen, Overlays& overlays) {
  if (!overlays.keys || event.type != SDL_MOUSEBUTTONDOWN ||
      (event.button.button != SDL_BUTTON_WHEELUP && event.button.button != SDL_BUTTON_WHEELDOWN))
    return false;
  const PictureArea& picture = screen.picture();
  const int zoom = std::max(overlays.shown.zoom, 1);
  const int x = (event.button.x - picture.x) / zoom, y = (event.button.y - picture.y) / zoom;
  const PanelBox& box = overlays.shown.keys;
  if (x < box.x || x >= box.x + box.width || y < box.y || y >= box.y + box.height) return false;
  turnKeyPage(overlays, event.button.button == SDL_BUTTON_WHEELUP ? -1 : 1);
  return true;
}

// The toolbar's row under a window pixel, or -1.
int toolbarRowUnder(const Screen& screen, const Overlays& overlays, int windowX, int windowY) {
  const PictureArea& picture = screen.picture();
  const int zoom = std::max(overlays.uiScale ? overlays.uiScale : overlays.shown.zoom, 1);
  const int dx = windowX - picture.x, dy = windowY - picture.y;
  if (dx < 0 || dy < 0) return -1;
  return toolbarRowAt(dx / zoom, dy / zoom);
}

// A left click on the shown toolbar chooses there. It reaches the game as the
// presses of F7 or F8 (F10 for the metal) that choose the same, the shorter
// way round, so that a recording needs nothing new to hold it.
bool clickOnToolbar(const SDL_Event& event, const Screen& screen, Overlays& overlays,
                    const CameraControl& camera, FrameInput& input) {
  if (event.type != SDL_MOUSEBUTTONDOWN || event.button.button != SDL_BUTTON_LEFT) return false;
  if (!overlays.shown.toolbar && !overlays.overToolbar) return false;
  const int row = toolbarRowUnder(screen, overlays, event.button.x, event.button.y);
  if (row < 0) return false;
  const PicturePoint p = camera.toPicture(screen, event.button.x, event.button.y);
  auto press = [&](int symbol) {
    input.events.push_back({InputEvent::KeyPress, symbol, p.x, p.y});
  };
  if (row == kToolCount) {
    press(key::F10);
    return true;
  }
  const int ahead = (row - overlays.shown.tool + kToolCount) % kToolCount;
  for (int i = 0; i < std::min(ahead, kToolCount - ahead); ++i)
    press(ahead <= kToolCount - ahead ? key::F8 : key::F7);
  overlays.shown.tool = row;  // for a second click before the next picture
  return true;
}

// What only changes the view or the session never reaches the game.
void changeView(ViewAction view, bool ctrl, Screen& screen, Overlays& overlays,
                CameraControl& camera, Session& session) {
  if (ctrl && (view == ViewAction::zoomIn || view == ViewAction::zoomOut)) {
    changeUiScale(overlays, view == ViewAction::zoomIn ? 1 : -1);
    return;
  }
  switch (view) {
    case ViewAction::none: break;
    case ViewAction::keyPanel: overlays.keys = !overlays.keys; break;
    case ViewAction::pageUp: turnKeyPage(overlays, -1); break;
    case ViewAction::pageDown: turnKeyPage(overlays, 1); break;
    case ViewAction::jointView: overlays.joints = !overlays.joints; break;
    case ViewAction::figures: overlays.figures = !overlays.figures; break;
    case ViewAction::physicsView: overlays.physics = !overlays.physics; break;
    case ViewAction::consoleStrip: overlays.console = !overlays.console; break;
    case ViewAction::fullScreen:
      screen.toggleFullscreen();  // failing, it closes the screen
      camera.screenChanged();
      break;
    case ViewAction::zoomIn: camera.zoomIn(); break;
    case ViewAction::zoomOut: camera.zoomOut(); break;
    case ViewAction::home: camera.home(); break;
    case ViewAction::follow: camera.toggleFollow(); break;
    case ViewAction::saveSession: session.save(); break;
    case ViewAction::takeOver: session.takeOver(); break;
    case ViewAction::sessionList: openSessionList(overlays.sessionList); break;
  }
}

}  // namespace

void readInput(FrameInput& input, Screen& screen, Overlays& overlays, CameraControl& camera,
               Session& session, TimelineControl& timeline) {
  input.events.clear();
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    if (timeline.handle(event, screen, overlays, session, input)) {
      // the bar's
    } else if (event.type == SDL_QUIT) {
      input.events.push_back({InputEvent::Quit});
      overlays.sessionList.open = false;
    } else if (overlays.sessionList.open && event.type == SDL_KEYDOWN) {
      // The list's keys, and every other, stay out of the game while it is open.
      pressInOpenSessionList(overlays.sessionList, session, event.key.keysym.sym,
                             (event.key.keysym.mod & KMOD_SHIFT) != 0);
    } else if (overlays.sessionList.open &&
               (event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP ||
                event.type == SDL_MOUSEMOTION)) {
      // nor the mouse
    } else if (event.type == SDL_KEYDOWN &&
               viewActionOf(event.key.keysym.sym) != ViewAction::none) {
      changeView(viewActionOf(event.key.keysym.sym), (event.key.keysym.mod & KMOD_CTRL) != 0,
                 screen, overlays, camera, session);
    } else if (event.type == SDL_VIDEORESIZE) {
      if (screen.resize(event.resize.w, event.resize.h)) camera.screenChanged();
    } else if (wheelOverKeys(event, screen, overlays) || camera.handleMouse(event, screen) ||
               clickOnToolbar(event, screen, overlays, camera, input)) {
      // view only
    } else if (event.type == SDL_KEYDOWN && keyName(event.key.keysym.sym)) {
      int x = 0, y = 0;
      SDL_GetMouseState(&x, &y);
      const PicturePoint pointer = camera.toPicture(screen, x, y);
      input.events.push_back({InputEvent::KeyPress, event.key.keysym.sym, pointer.x, pointer.y});
    } else {
      readMouse(input, screen, camera, event);
    }
  }
  int x = 0, y = 0;
  const Uint8 buttons = SDL_GetMouseState(&x, &y);
  // Not over F1's list, which the toolbar would push aside under the pointer.
  overlays.overToolbar = !overlays.keys && (SDL_GetAppState() & SDL_APPMOUSEFOCUS) &&
                         toolbarRowUnder(screen, overlays, x, y) >= 0;
  // A body held by the left button goes where the pointer now is on a moved picture.
  const bool viewMoved = camera.movedSinceAsked();
  if (viewMoved && (buttons & SDL_BUTTON(SDL_BUTTON_LEFT))) {
    const PicturePoint p = camera.toPicture(screen, x, y);
    if (camera.pullTo(p)) input.events.push_back({InputEvent::Motion, 0, p.x, p.y});
  }
  // Only the game's keys: what reaches the game is what a recording can hold.
  const Uint8* keys = SDL_GetKeyState(nullptr);
  input.held.fill(0);
  for (const NamedKey& k : gameKeys()) input.held[k.symbol] = keys[k.symbol];
}

bool resumeCancelled() {
  SDL_Event event;
  bool cancel = false;
  while (SDL_PollEvent(&event))
    if (event.type == SDL_QUIT ||
        (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE))
      cancel = true;
  return cancel;
}
