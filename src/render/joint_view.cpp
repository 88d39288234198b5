#include "render/joint_view.h"

#include <GL/gl.h>
#include <box2d/box2d.h>

#include "base/units.h"
#include "render/debug_draw.h"

namespace {

const b2Color kCable(0, 1, 1);
const b2Color kAxle(1, 0, 1);
const b2Color kHinge(1, 0.55f, 0);
const b2Color kPull(0.2f, 1, 0.2f);
const b2Color kOther(1, 1, 1);
const b2Color kUnderlay(0, 0, 0);

constexpr float kMarkRadius = 4;  // pixels

b2Vec2 pixels(const b2Vec2& metres) { return M2P * metres; }

// Each line and mark is drawn twice, wide in black and then narrow in colour,
// so that it reads on any sky and over any body.
void line(const b2Vec2& a, const b2Vec2& b, const b2Color& colour) {
  glLineWidth(4);
  DrawSegmentDebugDraw(a, b, kUnderlay);
  glLineWidth(2);
  DrawSegmentDebugDraw(a, b, colour);
}

void ring(const b2Vec2& centre, const b2Color& colour) {
  glLineWidth(4);
  DrawCircleDebugDraw(centre, kMarkRadius, kUnderlay);
  glLineWidth(2);
  DrawCircleDebugDraw(centre, kMarkRadius, colour);
}

void square(const b2Vec2& centre, const b2Color& colour) {
  const float r = kMarkRadius;
  const b2Vec2 corners[] = {centre + b2Vec2(-r, -r), centre + b2Vec2(r, -r), centre + b2Vec2(r, r),
                            centre + b2Vec2(-r, r)};
  glLineWidth(4);
  DrawPolygonDebugDraw(corners, 4, kUnderlay);
  glLineWidth(2);
  DrawPolygonDebugDraw(corners, 4, colour);
}

// Body to its anchor, anchor to anchor, anchor to the other body: the whole link.
void link(b2Joint* joint, const b2Color& colour) {
  const b2Vec2 x1 = pixels(joint->GetBodyA()->GetPosition());
  const b2Vec2 x2 = pixels(joint->GetBodyB()->GetPosition());
  const b2Vec2 p1 = pixels(joint->GetAnchorA()), p2 = pixels(joint->GetAnchorB());
  line(x1, p1, colour);
  line(p1, p2, colour);
  line(p2, x2, colour);
}

}  // namespace

void drawJoints(b2World& world) {
  for (b2Joint* joint = world.GetJointList(); joint; joint = joint->GetNext()) {
    switch (joint->GetType()) {
      case e_distanceJoint: link(joint, kCable); break;
      case e_wheelJoint: ring(pixels(joint->GetAnchorB()), kAxle); break;
      case e_revoluteJoint: square(pixels(joint->GetAnchorA()), kHinge); break;
      // The mouse joint's anchor A is the pointer, B the point it holds.
      case e_mouseJoint:
        line(pixels(joint->GetAnchorB()), pixels(joint->GetAnchorA()), kPull);
        break;
      default: link(joint, kOther); break;
    }
  }
}
