// Checks the game's correctly rounded functions (genetics/exact_functions.h)
// against MPFR, rounding to nearest, over every input the game can pass:
//   powers    each of the three effect ratios to every n from 0 to 1022;
//   map       base^x of the map function for every whole centimorgan
//             m = 0..4095, and r = 0.5 for m = 4096..20000 and the widest;
//   log       the log of every distinct uniform, L = 1..2147483137 (every
//             later output gives the clamp, which is the last of these);
//   cosine    the cosine of every distinct angle 6.2832f * float(u).
// For each it prints the inputs checked, the mismatches (which must be 0),
// how many needed the accurate method and how many neither method settled
// (the hard cases the game must tabulate), how many the C library rounds
// differently, and the time taken.
//
// Usage: check_exact_functions [--jobs N] [--only powers|map|log|cosine]
//          [--log-step S] [--log-outputs FIRST LAST] [--every-float]
// --log-step S checks every S-th uniform only and --log-outputs the
// generator outputs FIRST..LAST only (quick runs; the full check is the
// default); --every-float checks the cosine of every float in [0, 6.2832],
// a superset of the angles.
//
// The log is the costly one: MPFR's log takes microseconds at any
// precision, so each run of 64 consecutive uniforms gets one MPFR log at
// 127 bits, at its first uniform a, and every u of the run is then
// log a + log1p(t), t = (u - a)/a, the series summed in MPFR at 127 bits.
// For L >= 2^22, |t| < 2^-16, so eight terms leave less than 2^-144; with
// the roundings the value is within 2^-118 (|log a| + |t|) of log u. A
// result is judged from that value unless it lies within 2^-45 of half a
// unit from the game's result; then, and for L < 2^22, mpfr_log at 53 bits
// decides.

#include <mpfr.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "genetics/exact_functions.h"
#include "genetics/genetic_model.h"
#include "genetics/random.h"
#include "mpfr_reference.h"

namespace {

using namespace plotwright;
namespace detail = plotwright::exact_functions_detail;

// What one check found; threads add theirs into the total.
struct Tally {
  std::uint64_t Checked = 0;
  std::uint64_t Mismatches = 0;
  std::uint64_t Accurate = 0;   // the fast method did not settle them
  std::uint64_t Unsettled = 0;  // no method settled them: hard cases
  std::uint64_t LibraryDiffers = 0;
  void Add(const Tally& other) {
    Checked += other.Checked;
    Mismatches += other.Mismatches;
    Accurate += other.Accurate;
    Unsettled += other.Unsettled;
    LibraryDiffers += other.LibraryDiffers;
  }
};

std::mutex gPrintMutex;
int gFindings = 0;         // mismatches and hard cases printed
int gLibraryFindings = 0;  // inputs the C library rounds differently printed

// Runs work(begin, end, tally) over [first, last) in chunks shared out
// among the threads, and returns the sum of the tallies.
Tally Parallel(std::int64_t first, std::int64_t last, std::int64_t chunk, int jobs,
               const std::function<void(std::int64_t, std::int64_t, Tally&)>& work) {
  std::atomic<std::int64_t> next{first};
  std::vector<Tally> tallies(static_cast<std::size_t>(jobs));
  std::vector<std::thread> threads;
  threads.reserve(static_cast<std::size_t>(jobs));
  for (int j = 0; j < jobs; ++j) {
    threads.emplace_back([&, j] {
      for (;;) {
        const std::int64_t begin = next.fetch_add(chunk);
        if (begin >= last) break;
        work(begin, std::min(last, begin + chunk), tallies[static_cast<std::size_t>(j)]);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  Tally total;
  for (const Tally& tally : tallies) total.Add(tally);
  return total;
}

void Report(const char* name, const Tally& tally, double seconds) {
  std::printf(
      "%-8s checked %llu, mismatches %llu, accurate method %llu, unsettled (hard cases) %llu, "
      "C library differs %llu, %.1f s\n",
      name, static_cast<unsigned long long>(tally.Checked), static_cast<unsigned long long>(tally.Mismatches),
      static_cast<unsigned long long>(tally.Accurate), static_cast<unsigned long long>(tally.Unsettled),
      static_cast<unsigned long long>(tally.LibraryDiffers), seconds);
  std::fflush(stdout);
}

// Prints one finding; only the first 100 of a run, so that a broken build
// cannot flood the terminal.
template <typename... Values>
void Note(int& printed, const char* format, Values... values) {
  const std::lock_guard<std::mutex> lock(gPrintMutex);
  if (++printed > 100) return;
  std::printf(format, values...);
  std::fflush(stdout);
}

void CheckPower(double base, double exponent, Tally& tally) {
  const double expected = mpfr_reference::Power(base, exponent);
  const double got = RoundedPower(base, exponent);
  const detail::Attempt accurate = detail::AccuratePower(base, exponent);
  ++tally.Checked;
  tally.Accurate += 1;
  if (!accurate.Rounded) {
    ++tally.Unsettled;
    Note(gFindings, "  hard case: power %a ^ %a = %a\n", base, exponent, expected);
  }
  if (std::bit_cast<std::uint64_t>(got) != std::bit_cast<std::uint64_t>(expected)) {
    ++tally.Mismatches;
    Note(gFindings, "  MISMATCH: power %a ^ %a gives %a\n", base, exponent, got);
  }
  if (std::pow(base, exponent) != expected) ++tally.LibraryDiffers;
}

Tally CheckPowers() {
  // The effect ratios as the trait model defines them.
  const double ratios[3] = {static_cast<double>(static_cast<float>(kQtl - 1) / (kQtl + 1)),
                            static_cast<double>(79.0f / 81.0f), static_cast<double>(39.0f / 41.0f)};
  Tally tally;
  for (const double ratio : ratios) {
    for (int n = 0; n <= 1022; ++n) {
      CheckPower(ratio, n, tally);
      if (RoundedIntegerPower(ratio, n) != RoundedPower(ratio, n)) ++tally.Mismatches;
    }
  }
  return tally;
}

// The map function's p = base^(m / 100 * 4), then r as the game forms it.
double MapExponent(int m) { return static_cast<double>(m) / 100.0 * 4.0; }

Tally CheckMap() {
  const double base = static_cast<double>(2.71828f);
  Tally tally;
  for (int m = 0; m < 4096; ++m) CheckPower(base, MapExponent(m), tally);
  // From 4096 on p exceeds 2^54, so p - 1 and p + 1 round to p and r is
  // 0.5; p grows with m (a correctly rounded power is monotonic), so the
  // widest interval a map can hold ends the range.
  std::vector<int> wide;
  for (int m = 4096; m <= 20000; ++m) wide.push_back(m);
  wide.push_back(INT32_MAX / 10);
  for (const int m : wide) {
    const double p = RoundedPower(base, MapExponent(m));
    const double r = std::isinf(p) ? 0.5 : 0.5 * (p - 1.0) / (p + 1.0);
    ++tally.Checked;
    if (r != 0.5 || !(p >= 0x1p54)) {
      ++tally.Mismatches;
      Note(gFindings, "  MISMATCH: map m = %d gives r = %a (p = %a)\n", m, r, p);
    }
  }
  return tally;
}

// ---- Log --------------------------------------------------------------------

constexpr mpfr_prec_t kSeriesBits = 127;  // two limbs: MPFR's fast paths
constexpr int kRun = 64;
constexpr std::int64_t kFirstSeriesDraw = std::int64_t{1} << 22;
constexpr int kSeriesTerms = 8;

struct LogWorkspace {
  mpfr_t Anchor, AnchorLog, U, T, Sum, Direct;
  mpfr_t Coefficient[kSeriesTerms + 1];  // (-1)^(k+1) / k
  LogWorkspace() {
    mpfr_inits2(kSeriesBits, Anchor, AnchorLog, U, T, Sum, static_cast<mpfr_ptr>(nullptr));
    mpfr_init2(Direct, 53);
    for (int k = 1; k <= kSeriesTerms; ++k) {
      mpfr_init2(Coefficient[k], kSeriesBits);
      mpfr_set_si(Coefficient[k], k % 2 == 1 ? 1 : -1, MPFR_RNDN);
      mpfr_div_ui(Coefficient[k], Coefficient[k], static_cast<unsigned long>(k), MPFR_RNDN);
    }
  }
  ~LogWorkspace() {
    mpfr_clears(Anchor, AnchorLog, U, T, Sum, Direct, static_cast<mpfr_ptr>(nullptr));
    for (int k = 1; k <= kSeriesTerms; ++k) mpfr_clear(Coefficient[k]);
  }
};

double MpfrLog(LogWorkspace& w, double u) {
  mpfr_set_d(w.Direct, u, MPFR_RNDN);
  mpfr_log(w.Direct, w.Direct, MPFR_RNDN);
  return mpfr_get_d(w.Direct, MPFR_RNDN);
}

// Whether `got` is log u rounded to nearest: 1 yes, 0 no, -1 too close to
// tell from the series value (Sum, within `error` of log u).
int JudgeFromSeries(const LogWorkspace& w, double got, double error) {
  mpfr_t difference;
  mpfr_init2(difference, kSeriesBits);
  mpfr_sub_d(difference, w.Sum, got, MPFR_RNDN);
  const double d = mpfr_get_d(difference, MPFR_RNDN);
  mpfr_clear(difference);
  const double below = (got - std::nextafter(got, -INFINITY)) / 2.0;  // half the gap to each neighbour
  const double above = (std::nextafter(got, INFINITY) - got) / 2.0;
  if (error > 0x1p-47 * std::min(below, above)) return -1;
  const double inner = 1.0 - 0x1p-45, outer = 1.0 + 0x1p-45;
  if (d < above * inner && d > -below * inner) return 1;
  if (d > above * outer || d < -below * outer) return 0;
  return -1;
}

void CheckLogRun(LogWorkspace& w, std::int64_t begin, std::int64_t end, std::int64_t step, Tally& tally) {
  const bool series = begin >= kFirstSeriesDraw && step == 1;
  if (series) {
    mpfr_set_d(w.Anchor, UniformFromCombined(static_cast<std::int32_t>(begin)), MPFR_RNDN);
    mpfr_log(w.AnchorLog, w.Anchor, MPFR_RNDN);
  }
  for (std::int64_t L = begin; L < end; L += step) {
    const double u = UniformFromCombined(static_cast<std::int32_t>(L));
    const double got = RoundedLog(u);
    const detail::Attempt fast = detail::FastLog(u);
    ++tally.Checked;
    if (!fast.Rounded) {
      ++tally.Accurate;
      if (!detail::AccurateLog(u).Rounded) {
        ++tally.Unsettled;
        Note(gFindings, "  hard case: log %a = %a\n", u, MpfrLog(w, u));
      }
    }
    int verdict = -1;
    if (series) {
      mpfr_set_d(w.U, u, MPFR_RNDN);
      mpfr_sub(w.T, w.U, w.Anchor, MPFR_RNDN);  // exact: two nearby doubles
      mpfr_div(w.T, w.T, w.Anchor, MPFR_RNDN);
      mpfr_set(w.Sum, w.Coefficient[kSeriesTerms], MPFR_RNDN);
      for (int k = kSeriesTerms - 1; k >= 1; --k) {
        mpfr_mul(w.Sum, w.Sum, w.T, MPFR_RNDN);
        mpfr_add(w.Sum, w.Sum, w.Coefficient[k], MPFR_RNDN);
      }
      mpfr_mul(w.Sum, w.Sum, w.T, MPFR_RNDN);
      mpfr_add(w.Sum, w.Sum, w.AnchorLog, MPFR_RNDN);
      const double error =
          0x1p-118 * (std::fabs(mpfr_get_d(w.AnchorLog, MPFR_RNDU)) + std::fabs(mpfr_get_d(w.T, MPFR_RNDU)));
      verdict = JudgeFromSeries(w, got, error);
    }
    double expected = got;
    if (verdict == -1) {
      expected = MpfrLog(w, u);
      verdict = std::bit_cast<std::uint64_t>(got) == std::bit_cast<std::uint64_t>(expected) ? 1 : 0;
    } else if (verdict == 0) {
      expected = MpfrLog(w, u);
    }
    if (verdict == 0) {
      ++tally.Mismatches;
      Note(gFindings, "  MISMATCH: log %a gives %a, not %a\n", u, got, expected);
    }
    if (std::log(u) != got && verdict == 1) ++tally.LibraryDiffers;
  }
}

// Outputs from 2147483137 on all give the clamp, the value of this one.
constexpr std::int64_t kLastDistinct = 2147483137;
static_assert(kLastDistinct <= kLargestCombinedDraw);

Tally CheckLog(int jobs, std::int64_t step, std::int64_t first, std::int64_t last) {
  return Parallel(first, last + 1, kRun * std::max<std::int64_t>(step, 1) * 1024, jobs,
                  [step](std::int64_t begin, std::int64_t end, Tally& tally) {
                    thread_local LogWorkspace workspace;
                    // Runs of kRun uniforms, each with its own anchor.
                    for (std::int64_t run = begin; run < end; run += kRun * step) {
                      CheckLogRun(workspace, run, std::min(end, run + kRun * step), step, tally);
                    }
                  });
}

// ---- Cosine -----------------------------------------------------------------

// The angles 6.2832f * float(u) of every uniform, as a bitmap of the float
// bit patterns (all of them lie in [0, 6.2832]).
std::vector<std::uint64_t> ReachableAngles() {
  const std::uint32_t top = std::bit_cast<std::uint32_t>(6.2832f) + 1;
  std::vector<std::uint64_t> bits(top / 64 + 1);
  for (std::int64_t L = 1; L <= kLargestCombinedDraw; ++L) {
    const float angle = 6.2832f * static_cast<float>(UniformFromCombined(static_cast<std::int32_t>(L)));
    const std::uint32_t pattern = std::bit_cast<std::uint32_t>(angle);
    bits[pattern / 64] |= std::uint64_t{1} << (pattern % 64);
  }
  return bits;
}

Tally CheckCosine(int jobs, bool everyFloat) {
  const std::uint32_t top = std::bit_cast<std::uint32_t>(6.2832f) + 1;
  std::vector<std::uint64_t> reachable;
  if (!everyFloat) reachable = ReachableAngles();
  return Parallel(0, top, 1 << 20, jobs, [&](std::int64_t begin, std::int64_t end, Tally& tally) {
    mpfr_t x;
    mpfr_init2(x, 24);
    for (std::int64_t pattern = begin; pattern < end; ++pattern) {
      const auto p = static_cast<std::uint32_t>(pattern);
      if (!everyFloat && ((reachable[p / 64] >> (p % 64)) & 1) == 0) continue;
      const float angle = std::bit_cast<float>(p);
      mpfr_set_flt(x, angle, MPFR_RNDN);
      mpfr_cos(x, x, MPFR_RNDN);
      const float expected = mpfr_get_flt(x, MPFR_RNDN);
      const float got = RoundedCosine(angle);
      ++tally.Checked;
      if (!detail::FastCosine(angle).Rounded) {
        ++tally.Accurate;
        if (!detail::AccurateCosine(angle).Rounded) {
          ++tally.Unsettled;
          Note(gFindings, "  hard case: cos %a = %a\n", static_cast<double>(angle), static_cast<double>(expected));
        }
      }
      if (std::bit_cast<std::uint32_t>(got) != std::bit_cast<std::uint32_t>(expected)) {
        ++tally.Mismatches;
        Note(gFindings, "  MISMATCH: cos %a gives %a, not %a\n", static_cast<double>(angle), static_cast<double>(got),
             static_cast<double>(expected));
      }
      if (std::cos(angle) != expected) {
        ++tally.LibraryDiffers;
        Note(gLibraryFindings, "  C library: cos %a gives %a, not %a\n", static_cast<double>(angle),
             static_cast<double>(std::cos(angle)), static_cast<double>(expected));
      }
    }
    mpfr_clear(x);
  });
}

}  // namespace

int main(int argc, char** argv) {
  int jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  std::string only;
  std::int64_t logStep = 1;
  std::int64_t logFirst = 1, logLast = kLastDistinct;
  bool everyFloat = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--jobs" && i + 1 < argc) {
      jobs = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--only" && i + 1 < argc) {
      only = argv[++i];
    } else if (arg == "--log-step" && i + 1 < argc) {
      logStep = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--log-outputs" && i + 2 < argc) {
      logFirst = std::clamp<std::int64_t>(std::atoll(argv[i + 1]), 1, kLastDistinct);
      logLast = std::clamp<std::int64_t>(std::atoll(argv[i + 2]), logFirst, kLastDistinct);
      i += 2;
    } else if (arg == "--every-float") {
      everyFloat = true;
    } else {
      std::fprintf(stderr,
                   "usage: check_exact_functions [--jobs N] [--only powers|map|log|cosine] [--log-step S] "
                   "[--log-outputs FIRST LAST] [--every-float]\n");
      return 2;
    }
  }
  std::printf("check_exact_functions: MPFR %s, %d threads\n", mpfr_get_version(), jobs);
  std::fflush(stdout);
  const auto start = std::chrono::steady_clock::now();
  auto timed = [&](const char* name, const std::function<Tally()>& check, Tally& total) {
    if (!only.empty() && only != name) return;
    const auto begin = std::chrono::steady_clock::now();
    const Tally tally = check();
    Report(name, tally, std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
    total.Add(tally);
  };
  Tally total;
  timed("powers", CheckPowers, total);
  timed("map", CheckMap, total);
  timed(
      "cosine", [&] { return CheckCosine(jobs, everyFloat); }, total);
  timed(
      "log", [&] { return CheckLog(jobs, logStep, logFirst, logLast); }, total);
  std::printf("total: %llu checked, %llu mismatches, %llu hard cases, %.1f s\n",
              static_cast<unsigned long long>(total.Checked), static_cast<unsigned long long>(total.Mismatches),
              static_cast<unsigned long long>(total.Unsettled),
              std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  return total.Mismatches == 0 && total.Unsettled == 0 ? 0 : 1;
}
