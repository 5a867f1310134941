#include "Tia.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ostrak::sound {

namespace {
constexpr int kWavePeriod[16] = {0, 15, 465, 465, 2, 2, 31, 31, 511, 31, 31, 0, 6, 6, 93, 93};
} // namespace

int wavePeriod(int audc) { return kWavePeriod[audc & 15]; }

std::vector<std::uint8_t> waveForm(int audc)
{
    const int period = wavePeriod(audc);
    std::vector<std::uint8_t> form(std::size_t(period), 0);
    TiaChannel channel;
    // At AUDF 0 the divider fires on every clock. Two periods bring the
    // counters of every form into their round first.
    for (int i = 0; i < 2 * period; ++i)
        channel.clock(audc, 0, 1);
    for (std::uint8_t& value : form)
        value = std::uint8_t(channel.clock(audc, 0, 1));
    return form;
}

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

OutputStage::OutputStage(double outputRate, double inputRate)
    : ratio_(outputRate / inputRate), step_(std::uint64_t(std::llround(inputRate / outputRate * kOne))),
      keep_(1.0 / (1.0 + 2 * std::numbers::pi * 10.0 / inputRate)), kernel_(std::size_t(kPhases) * kTaps)
{
    const auto sinc = [](double x) { return x == 0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x); };
    for (int phase = 0; phase < kPhases; ++phase) {
        // An output sample `phase / kPhases` of a clock past the second of the taps' clocks.
        const double at = double(phase) / kPhases;
        for (int tap = 0; tap < kTaps; ++tap) {
            const double x = at + kLobes - 1 - tap;
            kernel_[std::size_t(phase) * kTaps + std::size_t(tap)] = float(sinc(x) * sinc(x / kLobes));
        }
    }
}

void OutputStage::hold(double level, std::uint64_t clocks, std::vector<double>& out)
{
    double step = level - lastLevel_; // the high-pass sees the move on the first clock only
    lastLevel_ = level;
    for (std::uint64_t i = 0; i < clocks; ++i, step = 0.0) {
        highPassed_ = keep_ * (highPassed_ + step);
        // Each clock is kept twice, so the newest kTaps always lie in a row.
        recent_[oldest_] = recent_[oldest_ + kTaps] = highPassed_;
        oldest_ = (oldest_ + 1) & (kTaps - 1);
        // The next output sample falls at clock at_ / kOne and needs the kLobes
        // clocks after it: it is settled once clock `due` is in.
        for (std::uint64_t due = (at_ >> kFraction) + kLobes; clocks_ == due; due = (at_ >> kFraction) + kLobes) {
            const float* row = &kernel_[std::size_t((at_ & (kOne - 1)) >> (kFraction - kPhaseBits)) * kTaps];
            const double* taps = &recent_[oldest_];
            double sum = 0.0;
            for (int tap = 0; tap < kTaps; ++tap)
                sum += row[tap] * taps[tap];
            out.push_back(sum);
            at_ += step_;
        }
        ++clocks_;
    }
}

} // namespace ostrak::sound
