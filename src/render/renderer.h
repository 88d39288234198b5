#pragma once
// The OpenGL picture of a frame, painted body by body as the frame's walk
// hands the bodies over.

#include "base/units.h"
#include "game/body_walk.h"
#include "render/camera.h"
#include "render/frame_batch.h"

struct State;

class Renderer : public BodyPainter {
 public:
  // Unbatched, every box and disc is drawn on its own under its own matrix
  // (drawSquare, drawCircle): the picture the batch must give, pixel for pixel.
  explicit Renderer(const State& state, bool batched = true) : state_(state), batch_(batched) {}

  void beginFrame() override;  // clears the window
  void paint(b2Body* body) override;
  void endFrame() override;

  // Bodies wholly outside this area of the picture are not drawn: the game's
  // window, or what the camera shows.
  void setVisibleArea(const PictureRect& area) { visible_ = area; }

 private:
  void paintCircle(b2Body* body, const BodyPose& pose, const b2Fixture* fixture);
  void paintPolygon(b2Body* body, const BodyPose& pose, const b2Fixture* fixture);

  const State& state_;
  FrameBatch batch_;
  PictureRect visible_{0, 0, WIDTH, HEIGHT};
};

// Draws the world into the back buffer without stepping it, and acts on it as
// the walk does: walker pushes and removals.
void display(State& state);
// The same with the unbatched renderer.
void displayBodyByBody(State& state);
