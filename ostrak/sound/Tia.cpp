#include "Tia.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ostrak::sound {

namespace {

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

TiaChannel TiaChannel::atPowerOn()
{
    TiaChannel channel;
    channel.pulse_ = channel.noise_ = 0;
    channel.enabled_ = channel.noiseIn_ = channel.noiseLow_ = false;
    return channel;
}

void TiaChannel::phase0(int audc, int audf)
{
    if (enabled_) {
        noiseLow_ = noise_ & 1;
        switch (audc & 3) {
        case 2: // the pulse counter moves at one place of the noise counter's round
            pulseHeld_ = (noise_ & 0x1E) != 0x02;
            break;
        case 3: // ... or while the noise counter's low bit is set
            pulseHeld_ = !noiseLow_;
            break;
        default:
            pulseHeld_ = false;
        }
        if ((audc & 3) == 0) {
            // With the pulse counter, a 9-bit shift register (AUDC 8); with
            // AUDC 0 and 4 it only fills with ones.
            noiseIn_ = ((pulse_ ^ noise_) & 1) || (noise_ == 0 && pulse_ == 0x0A) || (audc & 0x0C) == 0;
        } else {
            noiseIn_ = ((noise_ >> 2 ^ noise_) & 1) || noise_ == 0; // 5-bit, taps 0 and 2
        }
    }
    enabled_ = divider_ == audf;
    // A divider past a newly written, lower AUDF counts on to 31 first.
    divider_ = divider_ == audf || divider_ == 31 ? 0 : divider_ + 1;
}

void TiaChannel::phase1(int audc)
{
    if (!enabled_)
        return;
    bool pulseIn = false;
    switch (audc >> 2) {
    case 0: // 4-bit shift register, taps 0 and 1 (AUDC 1-3)
        pulseIn = ((pulse_ >> 1 ^ pulse_) & 1) && pulse_ != 0x0A && (audc & 3) != 0;
        break;
    case 1: // a ring of 2 (4, 5), 31 with 6 and 7's holding
        pulseIn = !(pulse_ & 8);
        break;
    case 2: // the noise counter's bit, one step late (8-11)
        pulseIn = !noiseLow_;
        break;
    default: // a ring of 6 (12-15)
        pulseIn = !((pulse_ & 2) || !(pulse_ & 0x0E));
        break;
    }
    noise_ = std::uint8_t(noise_ >> 1 | (noiseIn_ ? 0x10 : 0));
    if (!pulseHeld_)
        pulse_ = std::uint8_t((~(pulse_ >> 1) & 7) | (pulseIn ? 8 : 0));
}

double mixLevel(int sum)
{
    sum = std::clamp(sum, 0, 30);
    return std::floor(32767.0 * sum / 30.0 * (30.0 + 30.0) / (30.0 + sum)) / 32767.0;
}

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
    const std::size_t at = start_ + std::size_t(firstTap - first_);
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
    if (pending_.size() < start_ + count)
        pending_.resize(start_ + count, 0.0);
    for (std::size_t i = start_; i < start_ + count; ++i) {
        level_ += pending_[i];
        out.push_back(level_);
    }
    start_ += count;
    first_ = done;
    // Moved down now and then, not on every call.
    if (start_ > 8192) {
        pending_.erase(pending_.begin(), pending_.begin() + std::ptrdiff_t(start_));
        start_ = 0;
    }
}

} // namespace ostrak::sound
