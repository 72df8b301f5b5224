// The game's sine and cosine tables, entry i for the angle of i thousandths of a degree.
#include "gamedata/trig_tables.h"

#include <cfloat>
#include <cmath>

namespace {

// Each entry must be the float nearest to the double the C library's sin or cos returns for
// the entry's angle. A fast kernel (Cody-Waite reduction by pi/2, then the classic minimax
// polynomials on [-pi/4, pi/4]) computes sine and cosine together to within a few units in
// the last place of a double. Rounding that to float gives the same float as rounding the
// library's double unless the value lies within the error bound of a halfway point between
// two floats; a block in which any entry comes that close is computed again with the library.

constexpr double kDegreesToRadians = 0.017453292516666667;  // 3.141592653 / 180

// Angle of table entry i in radians. The counter is a float, exact over the whole table.
inline double TrigAngle(std::int32_t i) {
  const float counter = static_cast<float>(i);
#if FLT_EVAL_METHOD != 0
  // x87 arithmetic keeps extra precision; the angle is defined with each step rounded to double.
  volatile double product = static_cast<double>(counter) * kDegreesToRadians;
  volatile double angle = product / 1000.0;
  return angle;
#else
  return static_cast<double>(counter) * kDegreesToRadians / 1000.0;
#endif
}

// pi/2 split so that k times each of the first two parts is exact for k below 2^20.
constexpr double kTwoOverPi = 6.36619772367581382433e-01;
constexpr double kPiOver2Part1 = 1.57079632673412561417e+00;
constexpr double kPiOver2Part2 = 6.07710050630396597660e-11;
constexpr double kPiOver2Part3 = 2.02226624879595063154e-21;

constexpr double kS1 = -1.66666666666666324348e-01;
constexpr double kS2 = 8.33333333332248946124e-03;
constexpr double kS3 = -1.98412698298579493134e-04;
constexpr double kS4 = 2.75573137070700676789e-06;
constexpr double kS5 = -2.50507602534068634195e-08;
constexpr double kS6 = 1.58969099521155010221e-10;
constexpr double kC1 = 4.16666666666666019037e-02;
constexpr double kC2 = -1.38888888888741095749e-03;
constexpr double kC3 = 2.48015872894767294178e-05;
constexpr double kC4 = -2.75573143513906633035e-07;
constexpr double kC5 = 2.08757232129817482790e-09;
constexpr double kC6 = -1.13596475577881948265e-11;

// Whether some double within the error bound of v (the kernel's error plus the library's)
// rounds to another float than v does. The bound, 2^-47 relative plus a tiny absolute term
// for results near zero, is many times both errors together (measured: 2^-52 at most).
inline int NearFloatMidpoint(double v) {
  const double bound = std::fabs(v) * 0x1p-47 + 1e-29;
  return static_cast<float>(v - bound) != static_cast<float>(v + bound);
}

// Sine and cosine of a non-negative angle below 2^20 * pi/2, to within a few double ulps.
inline void FastSinCos(double x, double& sine, double& cosine) {
  const std::int32_t k = static_cast<std::int32_t>(x * kTwoOverPi + 0.5);
  const double kd = static_cast<double>(k);
  // x - k * part1 is exact (the two are within a factor of two of each other); the later
  // subtractions lose at most half an ulp of the reduced angle each.
  const double r = ((x - kd * kPiOver2Part1) - kd * kPiOver2Part2) - kd * kPiOver2Part3;
  const double z = r * r;
  const double s = r + r * z * (kS1 + z * (kS2 + z * (kS3 + z * (kS4 + z * (kS5 + z * kS6)))));
  const double hz = 0.5 * z;
  const double w = 1.0 - hz;
  const double cPoly = z * (kC1 + z * (kC2 + z * (kC3 + z * (kC4 + z * (kC5 + z * kC6)))));
  const double c = w + (((1.0 - w) - hz) + z * cPoly);
  // x = k * pi/2 + r: rotate by the quadrant.
  const std::int32_t q = k & 3;
  const double sinBase = (q & 1) ? c : s;
  const double cosBase = (q & 1) ? s : c;
  sine = (q & 2) ? -sinBase : sinBase;
  cosine = ((q + 1) & 2) ? -cosBase : cosBase;
}

// One degree of entries per block. The fixed trip count lets the compiler run the kernel on
// several entries at once.
constexpr std::int32_t kTrigBlock = 1000;
void FillTrigBlock(float* __restrict sines, float* __restrict cosines, std::int32_t first) {
  int uncertain = 0;
  for (std::int32_t j = 0; j < kTrigBlock; ++j) {
    double sine, cosine;
    FastSinCos(TrigAngle(first + j), sine, cosine);
    sines[j] = static_cast<float>(sine);
    cosines[j] = static_cast<float>(cosine);
    uncertain |= NearFloatMidpoint(sine) | NearFloatMidpoint(cosine);
  }
  if (uncertain) {
    for (std::int32_t j = 0; j < kTrigBlock; ++j) {
      const double angle = TrigAngle(first + j);
      sines[j] = static_cast<float>(std::sin(angle));
      cosines[j] = static_cast<float>(std::cos(angle));
    }
  }
}

}  // namespace

void FillTrigTables(float* sines, float* cosines, std::int32_t count) {
  for (std::int32_t first = 0; first < count; first += kTrigBlock) {
    FillTrigBlock(sines + first, cosines + first, first);
  }
}
