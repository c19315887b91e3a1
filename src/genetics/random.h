// The run's single stream of uniform random numbers. Every chance event of a
// game (homologue choices and crossovers in meiosis, trial errors) is drawn
// from it in program order, so a game is reproduced by its seed, its input
// files and the player's answers.
#pragma once

#include <array>
#include <cstdint>

namespace plotwright {

// Largest combined output of the generator and the two single-precision
// constants that turn it into a uniform: 2^-31 x (1 + 2^-23), slightly above
// 1/2147483563, and the clamp 1 - 2^-23 that keeps every draw below 1.
inline constexpr std::int32_t kLargestCombinedDraw = 2147483562;
inline constexpr double kUniformMultiplier = static_cast<double>(4.6566134e-10f);
inline constexpr double kUniformClamp = static_cast<double>(1.0f - 1.2e-7f);

// The game's one random stream: the generator's whole state. The game owns
// it and passes it by reference to everything that draws.
//   Seed: the first congruential stream, and the seed. A Seed of 0 or below
//     at the moment of a draw restarts the generator from max(-Seed, 1), so
//     a stream made with Seed = -N starts afresh at its first draw.
//   SecondSeed: the second congruential stream.
//   LastDraw: the previous combined output, which picks the next slot.
//   ShuffleTable: the 32 shuffle slots (slot j at index j - 1).
// A loop of many draws may work on a copy and store it back, so that the
// stream stays in registers.
struct RandomStream {
  std::int32_t Seed = 0;
  std::int32_t SecondSeed = 123456789;
  std::int32_t LastDraw = 0;
  std::array<std::int32_t, 32> ShuffleTable{};
};

// The seed of a new game: minus the sum of the minute, second and
// millisecond of the local wall clock, so it lies in -1118..0.
std::int32_t ClockSeed();

// The stream restarted from a Seed of 0 or below: both congruential streams
// start from max(-Seed, 1), so 0 and -1 start the same stream.
RandomStream RestartGenerator(std::int32_t Seed);

namespace generator_detail {

inline constexpr std::uint64_t kFirstMultiplier = 40014, kFirstModulus = 2147483563;
inline constexpr std::uint64_t kSecondMultiplier = 40692, kSecondModulus = 2147483399;
static_assert(kLargestCombinedDraw == kFirstModulus - 1);

// Two multiplicative congruential streams, x' = A x mod M, with M just below
// 2^31 (M = 2^31 - c). Writing A x = h 2^31 + l, A x - h M = l + h c is
// congruent to A x and below 2 M, so one subtraction completes the
// remainder: the same value as the classic Schrage step, without its
// division.
template <std::uint64_t A, std::uint64_t M>
inline std::int32_t StepStream(std::int32_t x) {
  const std::uint64_t product = A * static_cast<std::uint32_t>(x);
  const std::uint64_t folded = product - (product >> 31) * M;
  return static_cast<std::int32_t>(folded >= M ? folded - M : folded);
}

// The shuffle slot of the previous output L, L div 67108862 (0..31), where
// 67108862 = 2^26 - 2. For L = q (2^26 - 2) + r, L >> 26 is q or q - 1 (L
// falls short of q 2^26 by at most 2q <= 62), and adding 2 (L >> 26) + 2
// back lands in [q 2^26, (q + 1) 2^26) either way: a shift, an add and a
// shift instead of a division on the path from one draw to the next. Exact
// for every L from 0 to kLargestCombinedDraw.
inline std::uint32_t ShuffleSlot(std::int32_t lastDraw) {
  const auto last = static_cast<std::uint32_t>(lastDraw);
  return (last + 2 * (last >> 26) + 2) >> 26;
}

}  // namespace generator_detail

// The next combined output, 1..kLargestCombinedDraw, of a stream that has
// started (its Seed positive, as after any draw), its parts given one by
// one: both streams advance, the slot chosen by the previous output gives
// its value less the second stream and takes the first stream's new value.
// A loop of many draws passes its own local copies of the parts, which then
// stay in registers, the table in a local array (a WebAssembly engine
// otherwise reads and writes every part in memory at every draw).
inline std::int32_t NextCombinedOfStarted(std::int32_t& seed, std::int32_t& secondSeed, std::int32_t& lastDraw,
                                          std::array<std::int32_t, 32>& shuffleTable) {
  using namespace generator_detail;
  seed = StepStream<kFirstMultiplier, kFirstModulus>(seed);
  secondSeed = StepStream<kSecondMultiplier, kSecondModulus>(secondSeed);
  const std::uint32_t slot = ShuffleSlot(lastDraw);
  std::int32_t combined = shuffleTable[slot] - secondSeed;
  shuffleTable[slot] = seed;
  if (combined < 1) combined += kLargestCombinedDraw;
  lastDraw = combined;
  return combined;
}

// The next combined output, 1..kLargestCombinedDraw, restarting the stream
// first if its Seed is 0 or below.
inline std::int32_t NextCombined(RandomStream& stream) {
  // Returned by value, so a caller's copy of the stream can stay in registers.
  if (stream.Seed <= 0) [[unlikely]]
    stream = RestartGenerator(stream.Seed);
  return NextCombinedOfStarted(stream.Seed, stream.SecondSeed, stream.LastDraw, stream.ShuffleTable);
}

// The uniform of one combined output (1..kLargestCombinedDraw):
// kUniformMultiplier x lastDraw in double precision, clamped at kUniformClamp.
// Every output of 2147483137 or more gives exactly the clamp.
inline double UniformFromCombined(std::int32_t lastDraw) {
  const double u = kUniformMultiplier * static_cast<double>(lastDraw);
  return u > kUniformClamp ? kUniformClamp : u;
}

// Draws the next uniform u, 4.656613428188905e-10 <= u <= 0.9999998807907104,
// never 0 and never 1. Afterwards stream.Seed is positive.
inline double DrawUniform(RandomStream& stream) { return UniformFromCombined(NextCombined(stream)); }

// The uniform grows with the combined output, so comparing a draw with a
// probability p is comparing its combined output with a count: a draw is at
// most p exactly when its output is at most CombinedOutputsAtMost(p), and
// below p exactly when its output is at most CombinedOutputsBelow(p). Both
// are 0 when no output qualifies (p below the smallest uniform, or NaN).
std::int32_t CombinedOutputsAtMost(double p);
std::int32_t CombinedOutputsBelow(double p);

}  // namespace plotwright
