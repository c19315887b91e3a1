#include "genetics/random.h"

#include <chrono>
#include <cstdint>
#include <ctime>

namespace plotwright {
namespace {

// The first stream feeds the shuffle table; each draw takes the slot chosen
// by the previous output, less the second stream, which breaks up the serial
// correlations of either stream alone.
constexpr int kWarmUpSteps = 32 + 8;

// The largest output in 0..kLargestCombinedDraw that `qualifies`, or 0 when
// none of 1..kLargestCombinedDraw does; `qualifies` must hold for a prefix
// of the outputs.
template <typename Predicate>
std::int32_t LastQualifyingOutput(Predicate qualifies) {
  std::int32_t low = 0, high = kLargestCombinedDraw;  // low qualifies (or is 0); the answer lies in low..high
  while (low < high) {
    const std::int32_t middle = low + (high - low + 1) / 2;
    if (qualifies(middle)) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return low;
}

}  // namespace

// Restarts both streams from the seed and fills the shuffle table with first
// stream values after eight discarded warm-up steps. The most negative seed
// has no 32-bit negation; it starts from the largest positive one.
RandomStream RestartGenerator(std::int32_t Seed) {
  using namespace generator_detail;
  const std::int64_t start = -static_cast<std::int64_t>(Seed);
  RandomStream stream;
  stream.Seed = static_cast<std::int32_t>(start < 1 ? 1 : (start > INT32_MAX ? INT32_MAX : start));
  stream.SecondSeed = stream.Seed;
  for (int j = kWarmUpSteps; j >= 1; --j) {
    stream.Seed = StepStream<kFirstMultiplier, kFirstModulus>(stream.Seed);
    if (j <= 32) stream.ShuffleTable[static_cast<std::size_t>(j - 1)] = stream.Seed;
  }
  stream.LastDraw = stream.ShuffleTable[0];
  return stream;
}

std::int32_t ClockSeed() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millisecond = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  const std::tm* local = std::localtime(&seconds);
  const int minute = local != nullptr ? local->tm_min : 0;
  const int second = local != nullptr ? local->tm_sec : 0;
  return -static_cast<std::int32_t>(minute + second + millisecond);
}

std::int32_t CombinedOutputsAtMost(double p) {
  return LastQualifyingOutput([p](std::int32_t output) { return UniformFromCombined(output) <= p; });
}

std::int32_t CombinedOutputsBelow(double p) {
  return LastQualifyingOutput([p](std::int32_t output) { return UniformFromCombined(output) < p; });
}

}  // namespace plotwright
