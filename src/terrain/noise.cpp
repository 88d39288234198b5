#include "terrain/noise.h"

#include <array>
#include <cstdint>

namespace {

// Ken Perlin's reference permutation of 0 ... 255.
constexpr std::uint32_t kPermutation[256] = {
    151, 160, 137, 91,  90,  15,  131, 13,  201, 95,  96,  53,  194, 233, 7,   225, 140, 36,  103,
    30,  69,  142, 8,   99,  37,  240, 21,  10,  23,  190, 6,   148, 247, 120, 234, 75,  0,   26,
    197, 62,  94,  252, 219, 203, 117, 35,  11,  32,  57,  177, 33,  88,  237, 149, 56,  87,  174,
    20,  125, 136, 171, 168, 68,  175, 74,  165, 71,  134, 139, 48,  27,  166, 77,  146, 158, 231,
    83,  111, 229, 122, 60,  211, 133, 230, 220, 105, 92,  41,  55,  46,  245, 40,  244, 102, 143,
    54,  65,  25,  63,  161, 1,   216, 80,  73,  209, 76,  132, 187, 208, 89,  18,  169, 200, 196,
    135, 130, 116, 188, 159, 86,  164, 100, 109, 198, 173, 186, 3,   64,  52,  217, 226, 250, 124,
    123, 5,   202, 38,  147, 118, 126, 255, 82,  85,  212, 207, 206, 59,  227, 47,  16,  58,  17,
    182, 189, 28,  42,  223, 183, 170, 213, 119, 248, 152, 2,   44,  154, 163, 70,  221, 153, 101,
    155, 167, 43,  172, 9,   129, 22,  39,  253, 19,  98,  108, 110, 79,  113, 224, 232, 178, 185,
    112, 104, 218, 246, 97,  228, 251, 34,  242, 193, 238, 210, 144, 12,  191, 179, 162, 241, 81,
    51,  145, 235, 249, 14,  239, 107, 49,  192, 214, 31,  181, 199, 106, 157, 184, 84,  204, 176,
    115, 121, 50,  45,  127, 4,   150, 254, 138, 236, 205, 93,  222, 114, 67,  29,  24,  72,  243,
    141, 128, 195, 78,  66,  215, 61,  156, 180};

// The permutation twice over, so that lookups up to index 511 need no wrap.
constexpr std::array<std::uint32_t, 512> makeDoubled() {
  std::array<std::uint32_t, 512> doubled{};
  for (int k = 0; k < 512; ++k) doubled[k] = kPermutation[k % 256];
  return doubled;
}
constexpr std::array<std::uint32_t, 512> perm = makeDoubled();

constexpr float unit = 0.70710677f;  // 1/sqrt(2) in single precision
constexpr float gradient2[8][2] = {{unit, unit}, {-unit, unit}, {unit, -unit}, {-unit, -unit},
                                   {1, 0},       {-1, 0},       {0, 1},        {0, -1}};

float smooth(float tmp) { return ((3 * tmp) * tmp) - (((2 * tmp) * tmp) * tmp); }

}  // namespace

float Get2DPerlinNoiseValue(float x, float y, float res) {
  x /= res;
  y /= res;

  const int x0 = static_cast<int>(x);
  const int y0 = static_cast<int>(y);
  const int ii = x0 & 255;
  const int jj = y0 & 255;

  const unsigned gi0 = perm[ii + perm[jj]] % 8;
  const unsigned gi1 = perm[ii + 1 + perm[jj]] % 8;
  const unsigned gi2 = perm[ii + perm[jj + 1]] % 8;
  const unsigned gi3 = perm[ii + 1 + perm[jj + 1]] % 8;

  const float fx0 = static_cast<float>(x0);
  const float fy0 = static_cast<float>(y0);
  const float fx1 = static_cast<float>(x0 + 1);
  const float fy1 = static_cast<float>(y0 + 1);

  float tempX = x - fx0;
  float tempY = y - fy0;
  const float s = gradient2[gi0][0] * tempX + gradient2[gi0][1] * tempY;

  tempX = x - fx1;
  tempY = y - fy0;
  const float t = gradient2[gi1][0] * tempX + gradient2[gi1][1] * tempY;

  tempX = x - fx0;
  tempY = y - fy1;
  const float u = gradient2[gi2][0] * tempX + gradient2[gi2][1] * tempY;

  tempX = x - fx1;
  tempY = y - fy1;
  const float v = gradient2[gi3][0] * tempX + gradient2[gi3][1] * tempY;

  const float Cx = smooth(x - fx0);
  const float Li1 = s + Cx * (t - s);
  const float Li2 = u + Cx * (v - u);

  const float Cy = smooth(y - fy0);
  return Li1 + Cy * (Li2 - Li1);
}
