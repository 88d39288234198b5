#pragma once
// How a replay in the window is paced by the keyboard, apart from the game:
// stopped and stepped. It decides only how many of the recording's frames each
// picture plays; the frames themselves are the recording's, so the world stays
// the recorded one.

class ReplaySteering {
 public:
  void toggleStop();
  // One more frame while stopped; otherwise nothing.
  void stepOne();

  // Whether the next picture plays the recording's next frame: not while
  // stopped, unless O asked for one (the picture holds).
  bool playsAFrame();

  bool stopped() const { return stopped_; }

 private:
  bool stopped_ = false;
  int owed_ = 0;  // frames asked for while stopped
};
