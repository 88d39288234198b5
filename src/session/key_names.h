#pragma once
// The keys that reach the game, with the names a recording writes them by.
// A key missing here does not reach the game at all, live or replayed, so that
// whatever a session can do, its recording can hold.

#include <string_view>

#include "game/keys.h"

struct KeyName {
  int symbol;
  const char* name;
};

// Every key the controls act on (game/keys.h), in the order of their symbols.
inline constexpr KeyName kKeyNames[] = {
    {key::RETURN, "return"},     {key::ESCAPE, "escape"}, {key::SPACE, "space"},
    {key::PERIOD, "period"},     {key::NUM0, "0"},      {key::NUM0 + 1, "1"},
    {key::NUM0 + 2, "2"},        {key::NUM0 + 3, "3"},  {key::NUM0 + 4, "4"},
    {key::NUM0 + 5, "5"},        {key::NUM0 + 6, "6"},  {key::NUM0 + 7, "7"},
    {key::NUM0 + 8, "8"},        {key::NUM9, "9"},      {key::B, "b"},
    {key::C, "c"},               {key::D, "d"},         {key::J, "j"},
    {key::O, "o"},               {key::P, "p"},         {key::R, "r"},
    {key::KP0, "kp0"},           {key::KP1, "kp1"},
    {key::KP2, "kp2"},           {key::KP3, "kp3"},     {key::KP4, "kp4"},
    {key::KP5, "kp5"},           {key::KP6, "kp6"},     {key::KP7, "kp7"},
    {key::KP8, "kp8"},           {key::KP9, "kp9"},     {key::KP_PERIOD, "kp_period"},
    {key::KP_ENTER, "kp_enter"}, {key::UP, "up"},       {key::DOWN, "down"},
    {key::RIGHT, "right"},       {key::LEFT, "left"}};

// The key's name, or nullptr when the game does not take it.
const char* keyName(int symbol);
// The symbol of a name, or -1.
int keySymbol(std::string_view name);
