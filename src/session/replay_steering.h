#pragma once
// How a replay in the window is paced by the keyboard, apart from the game:
// stopped and stepped, slowed down and sped up. It decides only how many of
// the recording's frames each picture plays; the frames themselves are the
// recording's, so the world stays the recorded one.

class ReplaySteering {
 public:
  void toggleStop();
  // One more frame while stopped; otherwise nothing.
  void stepOne();
  // Halves and doubles the pace, within the live game's bounds (1/8 to x8).
  void slower();
  void faster();

  // The recording's frames that the next picture plays: none while stopped (the
  // picture holds), several when sped up, one picture in 2, 4 or 8 when slowed.
  int framesThisPicture();

  bool stopped() const { return stopped_; }
  // The speed as a power of two.
  int shift() const { return shift_; }

 private:
  bool stopped_ = false;
  int owed_ = 0;  // frames asked for while stopped
  int shift_ = 0;
  int pictures_ = 0;  // pictures since the last frame, slowed down
};
