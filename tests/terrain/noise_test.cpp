#include "terrain/noise.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr float kBound = 0.70710677f;  // 1/sqrt(2) in single precision

struct Grad {
  double x, y;
};
constexpr double u = 0.70710678118654752;
// The eight gradients by index: four diagonals, then +x, -x, +y, -y.
constexpr Grad G[8] = {{u, u}, {-u, u}, {u, -u}, {-u, -u}, {1, 0}, {-1, 0}, {0, 1}, {0, -1}};

// Plain gradient noise in one cell: corners (x0, y0), (x0 + 1, y0), (x0, y0 + 1),
// (x0 + 1, y0 + 1) with the given gradients, blended with 3t^2 - 2t^3.
double cellNoise(double x, double y, int x0, int y0, Grad g00, Grad g10, Grad g01, Grad g11) {
  const double fx = x - x0, fy = y - y0;
  const double s = g00.x * fx + g00.y * fy;
  const double t = g10.x * (fx - 1) + g10.y * fy;
  const double uu = g01.x * fx + g01.y * (fy - 1);
  const double v = g11.x * (fx - 1) + g11.y * (fy - 1);
  const double cx = fx * fx * (3 - 2 * fx);
  const double cy = fy * fy * (3 - 2 * fy);
  const double bottom = s + cx * (t - s);
  const double top = uu + cx * (v - uu);
  return bottom + cy * (top - bottom);
}

}  // namespace

TEST(PerlinNoise, ZeroAtLatticePoints) {
  for (int i = -3; i < 300; i += 7)
    for (int j = -3; j < 300; j += 5) {
      ASSERT_EQ(Get2DPerlinNoiseValue(static_cast<float>(i), static_cast<float>(j), 1), 0.0f)
          << i << ", " << j;
      ASSERT_EQ(Get2DPerlinNoiseValue(i * 320.0f, j * 320.0f, 320), 0.0f) << i << ", " << j;
    }
}

TEST(PerlinNoise, NeverExceedsOneOverRootTwoAndReachesItAtSomeCellCentre) {
  float largest = 0;
  for (int i = 0; i < 32 * 16; ++i)
    for (int j = 0; j < 32 * 16; ++j) {
      const float v = Get2DPerlinNoiseValue(i / 16.0f, j / 16.0f, 1);
      ASSERT_LE(std::fabs(v), kBound) << i / 16.0f << ", " << j / 16.0f;
    }
  for (int i = 0; i < 256; ++i)
    for (int j = 0; j < 256; ++j) {
      const float v = Get2DPerlinNoiseValue(i + 0.5f, j + 0.5f, 1);
      ASSERT_LE(std::fabs(v), kBound);
      largest = std::max(largest, std::fabs(v));
    }
  // Four diagonals pointing at the centre give exactly the gradient length.
  EXPECT_NEAR(largest, kBound, 1e-6);
}

TEST(PerlinNoise, RepeatsEvery256Cells) {
  for (float x = 0; x < 12; x += 0.25f)
    for (float y = 0; y < 12; y += 0.375f) {
      const float v = Get2DPerlinNoiseValue(x, y, 1);
      ASSERT_EQ(Get2DPerlinNoiseValue(x + 256, y, 1), v) << x << ", " << y;
      ASSERT_EQ(Get2DPerlinNoiseValue(x, y + 256, 1), v) << x << ", " << y;
      ASSERT_EQ(Get2DPerlinNoiseValue(x + 512, y + 256, 1), v) << x << ", " << y;
    }
  // With the terrain's resolution the scaled coordinate carries rounding error.
  const float res = 0.91f;
  for (float x = 0.3f; x < 40; x += 1.7f) {
    const float y = 1234.567f;
    EXPECT_NEAR(Get2DPerlinNoiseValue(x + 256 * res, y, res), Get2DPerlinNoiseValue(x, y, res),
                1e-3);
  }
}

// Corner gradients looked up by hand in the reference permutation p (256 entries,
// read modulo 256), index = p[ii + p[jj]] etc., gradient = entry mod 8.
TEST(PerlinNoise, MatchesHandEvaluation) {
  // Cell (0, 0): p[0] = 151, p[1] = 160.
  //   p[151] = 17 -> 1, p[152] = 182 -> 6, p[160] = 119 -> 7, p[161] = 248 -> 0.
  const Grad g00 = G[1], g10 = G[6], g01 = G[7], g11 = G[0];
  EXPECT_NEAR(Get2DPerlinNoiseValue(0.5f, 0.5f, 1), cellNoise(0.5, 0.5, 0, 0, g00, g10, g01, g11),
              1e-6);
  EXPECT_NEAR(Get2DPerlinNoiseValue(0.5f, 0.5f, 1), 0.25 - u / 4, 1e-6);
  EXPECT_NEAR(Get2DPerlinNoiseValue(0.1f, 0.8f, 1), cellNoise(0.1, 0.8, 0, 0, g00, g10, g01, g11),
              1e-6);

  // Cell (1, 2): p[2] = 137, p[3] = 91.
  //   p[138] = 118 -> 6, p[139] = 126 -> 6, p[92] = 244 -> 4, p[93] = 102 -> 6.
  const double expected12 = cellNoise(1.25, 2.75, 1, 2, G[6], G[6], G[4], G[6]);
  EXPECT_NEAR(Get2DPerlinNoiseValue(1.25f, 2.75f, 1), expected12, 1e-6);
  // The same point through the resolution: 400 / 320 = 1.25, 880 / 320 = 2.75.
  EXPECT_NEAR(Get2DPerlinNoiseValue(400, 880, 320), expected12, 1e-6);

  // Cell (200, 0): the x lookups run past 255 and wrap to the first copy.
  //   p[351] = p[95] = 54 -> 6, p[352] = p[96] = 65 -> 1,
  //   p[360] = p[104] = 209 -> 1, p[361] = p[105] = 76 -> 4.
  EXPECT_NEAR(Get2DPerlinNoiseValue(200.5f, 0.25f, 1),
              cellNoise(200.5, 0.25, 200, 0, G[6], G[1], G[1], G[4]), 1e-6);
}

TEST(PerlinNoise, CellAt255AlongYReadsTheFirstEntryAgain) {
  // jj = 255: p[255] = 180 and p[256] = p[0] = 151.
  //   p[180] = 19 -> 3, p[181] = 98 -> 2, p[151] = 17 -> 1, p[152] = 182 -> 6.
  EXPECT_NEAR(Get2DPerlinNoiseValue(0.5f, 255.5f, 1),
              cellNoise(0.5, 255.5, 0, 255, G[3], G[2], G[1], G[6]), 1e-6);
  EXPECT_NEAR(Get2DPerlinNoiseValue(0.75f, 255.125f, 1),
              cellNoise(0.75, 255.125, 0, 255, G[3], G[2], G[1], G[6]), 1e-6);
}

TEST(PerlinNoise, NegativeCoordinatesTruncateTowardZero) {
  // x / res = -0.25 stays in cell 0 (not -1), with a weight evaluated outside 0 ... 1.
  const double inCellZero = cellNoise(-0.25, 0.5, 0, 0, G[1], G[6], G[7], G[0]);
  EXPECT_NEAR(Get2DPerlinNoiseValue(-0.5f, 1.0f, 2), inCellZero, 1e-6);
  EXPECT_NEAR(Get2DPerlinNoiseValue(-0.25f, 0.5f, 1), inCellZero, 1e-6);
  // Flooring would have used cell -1, ii = 255:
  //   p[406] = p[150] = 58 -> 2, p[407] = p[151] = 17 -> 1,
  //   p[415] = p[159] = 213 -> 5, p[416] = p[160] = 119 -> 7; a clearly different value.
  const double floored = cellNoise(-0.25, 0.5, -1, 0, G[2], G[1], G[5], G[7]);
  EXPECT_GT(std::fabs(inCellZero - floored), 0.05);
  EXPECT_GT(std::fabs(Get2DPerlinNoiseValue(-0.25f, 0.5f, 1) - floored), 0.05);
}
