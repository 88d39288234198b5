#pragma once
// OpenGL units become window pixels of the 1280 x 940 picture, y downward.
void usePixelProjection();

class Camera;
// The same seen through the camera: picture points land where the view shows
// them. At the identity it is usePixelProjection exactly.
void useCameraProjection(const Camera& camera);
