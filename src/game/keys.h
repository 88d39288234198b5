#pragma once
// Every key the program takes, in one table: its symbols, the name a recording
// writes it by, the line the help shows for it (--help, the F1 panel, the
// README and the manual page), and what it does. The window's event reader,
// the recorder and its reader, the help and the controls all read this table,
// so a key added here is a key everywhere. The table is data alone: a game key
// names its action, which the controls carry out; a view key names its command,
// which the app carries out.

#include <array>
#include <string_view>
#include <vector>

// Key symbols as SDL 1.2 numbers them, so that the controls need no SDL header.
// The event reader checks them against SDL's own values at compile time.
namespace key {
constexpr int BACKSPACE = 8;
constexpr int RETURN = 13;
constexpr int ESCAPE = 27;
constexpr int SPACE = 32;
constexpr int PLUS = 43;
constexpr int MINUS = 45;
constexpr int PERIOD = 46;  // the full stop of the main block
constexpr int NUM0 = 48;    // number row 0 ... 9: 48 ... 57
constexpr int NUM9 = 57;
constexpr int EQUALS = 61;  // + on a US keyboard, without Shift
constexpr int LEFTBRACKET = 91;
constexpr int RIGHTBRACKET = 93;
constexpr int B = 98;
constexpr int C = 99;
constexpr int D = 100;
constexpr int F = 102;
constexpr int J = 106;
constexpr int L = 108;
constexpr int N = 110;
constexpr int O = 111;
constexpr int P = 112;
constexpr int R = 114;
constexpr int S = 115;
constexpr int T = 116;
constexpr int Y = 121;
constexpr int DELETE = 127;
constexpr int KP0 = 256;
constexpr int KP1 = 257;
constexpr int KP2 = 258;
constexpr int KP3 = 259;
constexpr int KP4 = 260;
constexpr int KP5 = 261;
constexpr int KP6 = 262;
constexpr int KP7 = 263;
constexpr int KP8 = 264;
constexpr int KP9 = 265;
constexpr int KP_PERIOD = 266;
constexpr int KP_MINUS = 269;
constexpr int KP_PLUS = 270;
constexpr int KP_ENTER = 271;
constexpr int UP = 273;
constexpr int DOWN = 274;
constexpr int RIGHT = 275;
constexpr int LEFT = 276;
constexpr int HOME = 278;
constexpr int PAGEUP = 280;
constexpr int PAGEDOWN = 281;
constexpr int F1 = 282;
constexpr int F2 = 283;
constexpr int F3 = 284;
constexpr int F4 = 285;
constexpr int F5 = 286;
constexpr int F6 = 287;
constexpr int F7 = 288;
constexpr int F8 = 289;
constexpr int F9 = 290;
constexpr int F10 = 291;
constexpr int F11 = 292;
constexpr int RSHIFT = 303;
constexpr int LSHIFT = 304;
constexpr int COUNT = 323;  // size of the key-state array
}  // namespace key

// How a row's keys act.
enum class KeyUse {
  press,  // once per press, through the row's action
  held,   // while held: the held-key controls read them every frame
  view,   // only the view changes: the window handles them, by the row's
          // command, and they never reach the game nor a recording
};

// What a pressed game key does; the controls carry it out.
enum class GameAction {
  none,
  quit,
  togglePause,
  playOneFrame,
  slowDown,
  speedUp,
  keepMoment,
  returnToKeptMoment,
  newWorld,
  makePlainCar,
  hangCraneCar,
  releaseOrRehangCraneCar,
  cutCableOrDestroyCars,
  makeListedBodiesDynamic,
  previousTool,
  nextTool,
  nextMetal,
};

struct Key {
  int symbol = 0;
  const char* name = nullptr;  // in recordings; none for a view key
  int standsFor = 0;           // a stand-in's keypad key: pressed or held, it acts as that key
};

struct KeyRow {
  const char* keys;  // the help's two columns: the keys
  const char* does;  // and what they do
  KeyUse use;
  Key symbols[12];  // none for a mouse button
  GameAction press = GameAction::none;
  // A view key's short, stable name for what it changes ("full-screen", "save"):
  // the app maps it to its own action. None for the mouse's rows.
  const char* command = nullptr;
};

// The rows in the help's order.
struct KeyTable {
  const KeyRow* begin() const;
  const KeyRow* end() const;
};
inline constexpr KeyTable kKeys{};

// The row of a key, or nullptr.
const KeyRow* keyRow(int symbol);
// The name of a key that reaches the game, or nullptr (a view key, or none of ours).
const char* keyName(int symbol);
// The symbol of a name, or -1.
int keySymbol(std::string_view name);
// The keys that reach the game, in the order of their symbols: what a frame's
// held keys hold and what a recording writes.
struct NamedKey {
  int symbol;
  const char* name;
};
const std::vector<NamedKey>& gameKeys();

// A laptop's keys in place of the keypad: the key a press of `symbol` counts
// as, its keypad key or itself.
int keypadKeyFor(int symbol);
// The key-state array with each keypad key also held while its stand-in is.
std::array<unsigned char, key::COUNT> withKeypadStandIns(const unsigned char* keys);
