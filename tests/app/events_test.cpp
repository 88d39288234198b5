#include "app/events.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "app/camera_control.h"
#include "app/options.h"
#include "app/screen.h"
#include "app/timeline_control.h"
#include "app/view_actions.h"
#include "game/keys.h"
#include "recording/frame_input.h"
#include "recording/recording.h"
#include "recording/recording_reader.h"
#include "render/overlays.h"
#include "session/session.h"

// The key table is the one list of keys: each row reaches the help, each game
// key travels from a real SDL key press through the event reader into the
// frame's input and through a recording and back, and a view key never does
// (S reaches the session instead, and saves it): each view row with keys names
// an action of the app's own, no two rows the same one.
TEST(KeyTable, EveryRowIsInTheHelpAndEveryGameKeyReachesTheGameAndItsRecording) {
  const std::string help = helpText();
  std::set<ViewAction> actions;
  for (const KeyRow& row : kKeys) {
    EXPECT_NE(help.find(row.keys), std::string::npos) << row.keys;
    if (row.use != KeyUse::view || !row.symbols[0].symbol) continue;
    EXPECT_NE(viewAction(&row), ViewAction::none) << row.keys << ": " << row.command;
    EXPECT_TRUE(actions.insert(viewAction(&row)).second) << row.keys << " acts as another row";
  }

  char data[] = "/tmp/skyhook-events-XXXXXX";
  ASSERT_TRUE(mkdtemp(data));
  setenv("XDG_DATA_HOME", data, 1);
  const std::unique_ptr<Session> session = Session::open({});
  ASSERT_TRUE(session);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  Screen screen;
  ASSERT_TRUE(screen.open(false));
  Overlays overlays;
  CameraControl camera;
  TimelineControl timeline;
  size_t reached = 0;
  for (const KeyRow& row : kKeys) {
    for (const Key& k : row.symbols) {
      // F11 would leave the window.
      if (!k.symbol || viewAction(&row) == ViewAction::fullScreen) continue;
      SDL_Event press{};
      press.type = SDL_KEYDOWN;
      press.key.state = SDL_PRESSED;
      press.key.keysym.sym = static_cast<SDLKey>(k.symbol);
      ASSERT_EQ(SDL_PushEvent(&press), 0);
      FrameInput input;
      readInput(input, screen, overlays, camera, *session, timeline);
      if (row.use == KeyUse::view) {
        EXPECT_TRUE(input.events.empty()) << row.keys << " is the view's alone";
        EXPECT_EQ(keyName(k.symbol), nullptr) << row.keys;
        continue;
      }
      ++reached;
      ASSERT_EQ(input.events.size(), 1u) << row.keys;
      EXPECT_EQ(input.events[0].symbol, k.symbol) << row.keys;
      HeldKeys after{};
      after[k.symbol] = 1;
      const std::string text = headerLine() + "\n0 clock 0 1700000000\n" +
                               frameLine(3, input.events, HeldKeys{}, after, {}) + "\nend 4\n";
      std::string error;
      const auto read = parseRecording(text, "keys.rec", error);
      ASSERT_TRUE(read && read->frames.size() == 2) << error << "\n" << text;
      const auto events = read->eventsOf(1);
      const auto keys = read->keysOf(1);
      EXPECT_TRUE(events.end() - events.begin() == 1 && events.begin()->symbol == k.symbol &&
                  keys.end() - keys.begin() == 1 && keys.begin()->symbol == k.symbol)
          << text;
    }
  }
  EXPECT_EQ(reached, gameKeys().size()) << "every game key is in a row once";
  EXPECT_TRUE(overlays.keys && overlays.joints) << "F1 and F2 switched their overlays";
  EXPECT_TRUE(camera.following()) << "F follows the ship";
  SDL_Quit();
  EXPECT_FALSE(std::filesystem::is_empty(std::string(data) + "/skyhook/sessions")) << "S saved";
  std::filesystem::remove_all(data);
  unsetenv("XDG_DATA_HOME");
}
