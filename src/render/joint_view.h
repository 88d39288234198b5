#pragma once
// Every joint of the world drawn over the picture, in colours that stand out
// from the bodies: distance joints (the cable) as lines from body to body,
// wheel axles and hinges as small marks, the mouse's pull as a line.

class b2World;

void drawJoints(b2World& world);
