#include "app/events.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/camera_control.h"
#include "app/options.h"
#include "app/screen.h"
#include "game/keys.h"
#include "render/overlays.h"
#include "session/frame_input.h"
#include "session/recording.h"
#include "session/recording_reader.h"
#include "session/session.h"

// The key table is the one list of keys: each row reaches the help, each game
// key travels from a real SDL key press through the event reader into the
// frame's input and through a recording and back, and a view key never does
// (S reaches the session instead, and saves it).
TEST(KeyTable, EveryRowIsInTheHelpAndEveryGameKeyReachesTheGameAndItsRecording) {
  const std::string help = helpText();
  for (const KeyRow& row : kKeys) EXPECT_NE(help.find(row.keys), std::string::npos) << row.keys;

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
  size_t reached = 0;
  for (const KeyRow& row : kKeys) {
    for (const Key& k : row.symbols) {
      if (!k.symbol || row.view == View::fullScreen) continue;  // F11 would leave the window
      SDL_Event press{};
      press.type = SDL_KEYDOWN;
      press.key.state = SDL_PRESSED;
      press.key.keysym.sym = static_cast<SDLKey>(k.symbol);
      ASSERT_EQ(SDL_PushEvent(&press), 0);
      FrameInput input;
      readInput(input, screen, overlays, camera, *session);
      if (row.use == KeyUse::view) {
        EXPECT_TRUE(input.events.empty()) << row.keys << " is the view's alone";
        EXPECT_EQ(keyName(k.symbol), nullptr) << row.keys;
        continue;
      }
      ++reached;
      ASSERT_EQ(input.events.size(), 1u) << row.keys;
      EXPECT_EQ(input.events[0].kind, InputEvent::KeyPress);
      EXPECT_EQ(input.events[0].symbol, k.symbol) << row.keys;
      ASSERT_NE(keyName(k.symbol), nullptr) << row.keys;
      EXPECT_EQ(keySymbol(keyName(k.symbol)), k.symbol) << keyName(k.symbol);

      HeldKeys after{};
      after[k.symbol] = 1;
      const std::string text = headerLine() + "\n0 clock 0 1700000000\n" +
                               frameLine(3, input.events, HeldKeys{}, after, {}) + "\n" +
                               endLine(4) + "\n";
      std::string error;
      const auto read = parseRecording(text, "keys.rec", error);
      ASSERT_TRUE(read) << error << "\n" << text;
      ASSERT_EQ(read->frames.size(), 2u) << text;
      const auto events = read->eventsOf(1);
      const auto keys = read->keysOf(1);
      ASSERT_EQ(events.end() - events.begin(), 1) << text;
      EXPECT_EQ(events.begin()->symbol, k.symbol) << text;
      ASSERT_EQ(keys.end() - keys.begin(), 1) << text;
      EXPECT_EQ(keys.begin()->symbol, k.symbol) << text;
      EXPECT_TRUE(keys.begin()->down) << text;
    }
  }
  EXPECT_EQ(reached, gameKeys().size()) << "every game key is in a row once";
  EXPECT_TRUE(overlays.keys && overlays.joints) << "F1 and F2 switched their overlays";
  EXPECT_TRUE(camera.following()) << "F follows the ship";
  SDL_Quit();
  const std::filesystem::directory_iterator saved(std::string(data) + "/skyhook/sessions");
  ASSERT_NE(saved, std::filesystem::directory_iterator()) << "S saved the session";
  std::ifstream file(saved->path());
  std::string first;
  std::getline(file, first);
  EXPECT_EQ(first, headerLine());
  std::filesystem::remove_all(data);
  unsetenv("XDG_DATA_HOME");
}
