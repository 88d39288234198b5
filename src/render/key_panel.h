#pragma once
// F1's panel: every key and what it does, from the program's one list of keys,
// in the top-left corner on a plain dark background that reads on any sky.

void drawKeyPanel();
