#include "Tia.h"

#include <cmath>
#include <numbers>

namespace ostrak::sound {

namespace {

// The output bits of a shift register with feedback from bits 0 and `tap`,
// one per step: the TIA's 4-, 5- and 9-bit polynomial counters.
template <int Bits, int Tap>
std::array<std::uint8_t, (1 << Bits) - 1> polySequence()
{
    std::array<std::uint8_t, (1 << Bits) - 1> bits{};
    int state = (1 << Bits) - 1;
    for (auto& bit : bits) {
        const int feedback = (state ^ (state >> Tap)) & 1;
        state = (state >> 1) | (feedback << (Bits - 1));
        bit = std::uint8_t(state & 1);
    }
    return bits;
}

const auto kPoly4 = polySequence<4, 1>();
const auto kPoly5 = polySequence<5, 2>();
const auto kPoly9 = polySequence<9, 4>();

// The div-31 form ticks twice on the 5-bit counter's way round, 13 and 18
// steps apart. It is placed where the 5-bit output differs at the two ticks,
// so AUDC 10 (the 5-bit output, sampled on those ticks) is the tone it is
// on the console and not a constant level.
int div31First()
{
    for (int at = 0; at < 31; ++at)
        if (kPoly5[at] != kPoly5[(at + 13) % 31])
            return at;
    return 0;
}
const int kDiv31A = div31First();
const int kDiv31B = (kDiv31A + 13) % 31;

constexpr int kWavePeriod[16] = {0, 15, 465, 465, 2, 2, 31, 31, 511, 31, 31, 0, 6, 6, 93, 93};

// Kaiser window's zeroth-order Bessel function.
double bessel0(double x)
{
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 30; ++k) {
        term *= (x / (2 * k)) * (x / (2 * k));
        sum += term;
    }
    return sum;
}

} // namespace

int wavePeriod(int audc) { return kWavePeriod[audc & 15]; }

bool isTonal(int audc)
{
    switch (audc & 15) {
    case 0: case 11: // a level, no wave
    case 2: case 3:  // a 465-pulse pattern: a rumble, no pitch
    case 8:          // white noise
        return false;
    default:
        return true;
    }
}

double toneFrequency(int audc, int audf, Clock clock)
{
    if (!isTonal(audc))
        return 0.0;
    return clock.audioHz / (double((audf & 31) + 1) * wavePeriod(audc));
}

void TiaChannel::pulse(int audc)
{
    if ((audc & 0x0C) == 0x0C) {
        if (++prescale_ < 3)
            return;
        prescale_ = 0;
    }
    poly5_ = poly5_ + 1 == 31 ? 0 : poly5_ + 1;
    bool tick = true;
    if ((audc & 3) == 2)
        tick = poly5_ == kDiv31A || poly5_ == kDiv31B;
    else if ((audc & 3) == 3)
        tick = kPoly5[poly5_] != 0;
    if (!tick)
        return;
    if (audc & 4) {
        bit_ ^= 1;
    } else if (audc == 8) {
        poly9_ = poly9_ + 1 == 511 ? 0 : poly9_ + 1;
        bit_ = kPoly9[poly9_];
    } else if (audc & 8) {
        bit_ = kPoly5[poly5_];
    } else {
        poly4_ = poly4_ + 1 == 15 ? 0 : poly4_ + 1;
        bit_ = kPoly4[poly4_];
    }
}

double mixLevel(int sum) { return sum / (30.0 + sum); }

StepResampler::StepResampler(double outputRate, double inputRate)
    : ratio_(outputRate / inputRate), kernel_(std::size_t(kPhases) * kTaps)
{
    constexpr double kCutoff = 0.45; // of the output rate
    constexpr double kBeta = 8.0;    // about 80 dB down past the band's edge
    const double half = kTaps / 2.0;
    for (int phase = 0; phase < kPhases; ++phase) {
        // The step falls `phase / kPhases` of a sample after tap kTaps/2 - 1.
        const double at = half - 1 + double(phase) / kPhases;
        double sum = 0.0;
        std::vector<double> row(kTaps);
        for (int tap = 0; tap < kTaps; ++tap) {
            const double x = tap - at;
            const double sinc = x == 0 ? 1.0 : std::sin(std::numbers::pi * 2 * kCutoff * x) / (std::numbers::pi * 2 * kCutoff * x);
            const double w = x / half;
            const double window = std::abs(w) >= 1 ? 0.0 : bessel0(kBeta * std::sqrt(1 - w * w)) / bessel0(kBeta);
            row[tap] = sinc * window;
            sum += row[tap];
        }
        for (int tap = 0; tap < kTaps; ++tap)
            kernel_[std::size_t(phase) * kTaps + tap] = float(row[tap] / sum);
    }
}

void StepResampler::step(std::uint64_t clock, double delta)
{
    // Output sample n is the time (n - kTaps/2) / outputRate, so that the
    // first step, at clock 0, still has all its taps.
    const double t = double(clock) * ratio_ + kTaps / 2.0;
    const double whole = std::floor(t);
    const int phase = std::min(kPhases - 1, int((t - whole) * kPhases));
    const std::uint64_t firstTap = std::uint64_t(whole) - (kTaps / 2 - 1);
    const std::size_t at = std::size_t(firstTap - first_);
    if (pending_.size() < at + kTaps)
        pending_.resize(at + kTaps, 0.0);
    const float* row = &kernel_[std::size_t(phase) * kTaps];
    double* into = &pending_[at];
    for (int tap = 0; tap < kTaps; ++tap)
        into[tap] += delta * row[tap];
}

void StepResampler::finishUpTo(std::uint64_t clock, std::vector<double>& out)
{
    // A later step's first tap is at or after this sample.
    const double t = double(clock) * ratio_ + kTaps / 2.0;
    const std::uint64_t done = std::uint64_t(std::floor(t)) - (kTaps / 2 - 1);
    if (done <= first_)
        return;
    const std::size_t count = std::size_t(done - first_);
    if (pending_.size() < count)
        pending_.resize(count, 0.0);
    for (std::size_t i = 0; i < count; ++i) {
        level_ += pending_[i];
        out.push_back(level_);
    }
    pending_.erase(pending_.begin(), pending_.begin() + std::ptrdiff_t(count));
    first_ = done;
}

} // namespace ostrak::sound
