#pragma once
// Key symbols as SDL 1.2 numbers them, so that the controls need no SDL header.
// main checks them against SDL's own values at compile time.

namespace key {
constexpr int RETURN = 13;
constexpr int ESCAPE = 27;
constexpr int SPACE = 32;
constexpr int PERIOD = 46;  // the full stop of the main block
constexpr int NUM0 = 48;    // number row 0 ... 9: 48 ... 57
constexpr int NUM9 = 57;
constexpr int B = 98;
constexpr int C = 99;
constexpr int D = 100;
constexpr int J = 106;
constexpr int O = 111;
constexpr int P = 112;
constexpr int R = 114;
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
constexpr int KP_ENTER = 271;
constexpr int UP = 273;
constexpr int DOWN = 274;
constexpr int RIGHT = 275;
constexpr int LEFT = 276;
constexpr int F1 = 282;
constexpr int F2 = 283;
constexpr int COUNT = 323;  // size of the key-state array
}  // namespace key
