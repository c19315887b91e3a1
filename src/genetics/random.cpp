#include "genetics/random.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <ctime>

namespace plotwright {
namespace {

// Two multiplicative congruential streams, x' = A x mod M, each stepped with
// Schrage's decomposition (M = A Q + R) so no product leaves 32-bit range.
// The first stream feeds a 32-slot Bays-Durham shuffle table; each draw takes
// the slot chosen by the previous output, less the second stream, which
// breaks up the serial correlations of either stream alone.
constexpr std::int32_t kM1 = 2147483563, kA1 = 40014, kQ1 = 53668, kR1 = 12211;
constexpr std::int32_t kM2 = 2147483399, kA2 = 40692, kQ2 = 52774, kR2 = 3791;
constexpr int kShuffleSize = 32;
constexpr int kWarmUpSteps = kShuffleSize + 8;
constexpr std::int32_t kSlotDivisor = 1 + (kM1 - 1) / kShuffleSize;

static_assert(kM1 == kA1 * kQ1 + kR1 && kM2 == kA2 * kQ2 + kR2);
static_assert(kLargestCombinedDraw == kM1 - 1);

struct GeneratorState {
  std::int32_t SecondSeed = 123456789;
  std::int32_t LastDraw = 0;
  std::array<std::int32_t, kShuffleSize> ShuffleTable{};  // slot j at index j - 1
};

GeneratorState state;

inline std::int32_t StepFirst(std::int32_t seed) {
  const std::int32_t k = seed / kQ1;
  seed = kA1 * (seed - k * kQ1) - k * kR1;
  return seed < 0 ? seed + kM1 : seed;
}

inline std::int32_t StepSecond(std::int32_t seed) {
  const std::int32_t k = seed / kQ2;
  seed = kA2 * (seed - k * kQ2) - k * kR2;
  return seed < 0 ? seed + kM2 : seed;
}

// Restarts both streams from the seed and fills the shuffle table with first
// stream values after eight discarded warm-up steps. The most negative seed
// has no 32-bit negation; it starts from the largest positive one.
void Initialise(std::int32_t& Seed) {
  const std::int64_t start = -static_cast<std::int64_t>(Seed);
  Seed = static_cast<std::int32_t>(start < 1 ? 1 : (start > INT32_MAX ? INT32_MAX : start));
  state.SecondSeed = Seed;
  for (int j = kWarmUpSteps; j >= 1; --j) {
    Seed = StepFirst(Seed);
    if (j <= kShuffleSize) state.ShuffleTable[j - 1] = Seed;
  }
  state.LastDraw = state.ShuffleTable[0];
}

}  // namespace

std::int32_t ClockSeed() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millisecond =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  const std::tm* local = std::localtime(&seconds);
  const int minute = local != nullptr ? local->tm_min : 0;
  const int second = local != nullptr ? local->tm_sec : 0;
  return -static_cast<std::int32_t>(minute + second + millisecond);
}

double DrawUniform(std::int32_t& Seed) {
  if (Seed <= 0) [[unlikely]] Initialise(Seed);
  Seed = StepFirst(Seed);
  state.SecondSeed = StepSecond(state.SecondSeed);
  const int slot = state.LastDraw / kSlotDivisor;  // 0..31
  std::int32_t combined = state.ShuffleTable[slot] - state.SecondSeed;
  state.ShuffleTable[slot] = Seed;
  if (combined < 1) combined += kLargestCombinedDraw;
  state.LastDraw = combined;
  return UniformFromCombined(combined);
}

}  // namespace plotwright
