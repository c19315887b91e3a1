// The run's single stream of uniform random numbers. Every chance event of a
// game (homologue choices and crossovers in meiosis, trial errors) is drawn
// from it in program order, so a game is reproduced by its seed, its input
// files and the player's answers.
#pragma once

#include <cstdint>

namespace plotwright {

// Largest combined output of the generator and the two single-precision
// constants that turn it into a uniform: 2^-31 x (1 + 2^-23), slightly above
// 1/2147483563, and the clamp 1 - 2^-23 that keeps every draw below 1.
inline constexpr std::int32_t kLargestCombinedDraw = 2147483562;
inline constexpr double kUniformMultiplier = static_cast<double>(4.6566134e-10f);
inline constexpr double kUniformClamp = static_cast<double>(1.0f - 1.2e-7f);

// The seed of a new game: minus the sum of the minute, second and
// millisecond of the local wall clock, so it lies in -1118..0.
std::int32_t ClockSeed();

// The uniform of one combined output (1..kLargestCombinedDraw):
// kUniformMultiplier x lastDraw in double precision, clamped at kUniformClamp.
// Every output of 2147483137 or more gives exactly the clamp.
inline double UniformFromCombined(std::int32_t lastDraw) {
  const double u = kUniformMultiplier * static_cast<double>(lastDraw);
  return u > kUniformClamp ? kUniformClamp : u;
}

// Draws the next uniform u, 4.656613428188905e-10 <= u <= 0.9999998807907104,
// never 0 and never 1. `Seed` is the state of the first congruential stream;
// a Seed of 0 or below (re)initialises the generator from max(-Seed, 1), so 0
// and -1 start the same stream. Afterwards Seed stays positive. The second
// stream and the shuffle table live in this module for the whole run.
double DrawUniform(std::int32_t& Seed);

}  // namespace plotwright
