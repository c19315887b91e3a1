// SplitMix64: a small generator whose output is fixed by its seed on every
// platform, unlike the standard library's distributions. The tools use it for
// every choice of their own; meiosis and trials stay on the game's stream.
#pragma once

#include <cmath>
#include <cstdint>

namespace plotwright::tools {

struct SplitMix64 {
  std::uint64_t State;
  std::uint64_t Next() {
    std::uint64_t z = (State += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // An integer in 0..n-1 (the tiny modulo bias does not matter here).
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
  // A uniform in (0, 1): 53 random bits, never 0.
  double Uniform() { return (static_cast<double>(Next() >> 11) + 0.5) / 9007199254740992.0; }
  // A standard normal deviate (the cosine half of Box-Muller).
  double Normal() {
    const double radius = std::sqrt(-2.0 * std::log(Uniform()));
    return radius * std::cos(6.283185307179586 * Uniform());
  }
};

}  // namespace plotwright::tools
