#pragma once
// The TIA's two sound channels at its audio clock, the console's mixing and
// the output stage to an output rate. SongRenderer puts them together; the
// tests use them alone.
#include "Sound.h"

#include <array>
#include <cstdint>
#include <vector>

namespace ostrak::sound {

// How many divider pulses one period of AUDC's waveform takes; the tone is
// audioHz / ((AUDF + 1) * period). 0 for the types that hold a level.
//   0, 11      a level (the output stays high)
//   1          4-bit poly: 15
//   2, 3       the 4-bit poly, let through by the 5-bit one: 465
//   4, 5       a square wave: 2
//   6, 10      31 pulses: AUDC 10 18 high and 13 low, AUDC 6 the other way
//   7, 9       5-bit poly: 31
//   8          9-bit poly: 511 (white noise)
//   12, 13     a square wave, each half 3 pulses: 6
//   14, 15     93
int wavePeriod(int audc);

// One sound channel, one audio clock at a time, gate for gate as Stella
// models the TIA: a divider counting to AUDF on the clock's first phase,
// and on the second phase, when the divider fired, a 4-bit "pulse" counter
// (whose low bit is the output) and a 5-bit "noise" counter. AUDC picks
// their feedback: no other state exists, so each long form (2, 3, 8, 15)
// sounds as the two counters happen to stand when a note starts. Nothing
// resets them on a register write.
class TiaChannel {
public:
    // A channel as the engine's first frame finds it. Stella starts every
    // counter at 0 at power-on; the engine then clears the TIA and waits for
    // its first vertical sync, some 73 audio clocks with every register 0,
    // and in the first five of them the counters settle where they stay:
    // pulse counter 5 (output high), noise counter 31. (The real console
    // starts them at random and settles the same way.)
    TiaChannel() = default;
    // Every counter at 0, as Stella powers on.
    static TiaChannel atPowerOn();
    bool operator==(const TiaChannel&) const = default;

    // The output (0 or AUDV) after one more audio clock with these registers.
    int clock(int audc, int audf, int audv) { return clock(audc, audf, audc, audv); }
    // A clock during which AUDC is written: the divider's phase sees the old
    // value, the counters' phase the new one.
    int clock(int audcBefore, int audf, int audcAfter, int audv)
    {
        phase0(audcBefore & 15, audf & 31);
        phase1(audcAfter & 15);
        return (pulse_ & 1) * (audv & 15);
    }

    // The output now, with this AUDV.
    int output(int audv) const { return (pulse_ & 1) * (audv & 15); }
    // How many clocks from now only the divider moves (the output holds),
    // at this AUDF; and skipping them. Most clocks are such at higher AUDF.
    int idleClocks(int audf) const
    {
        audf &= 31;
        return enabled_ ? 0 : divider_ <= audf ? audf - divider_ : 32 - divider_ + audf;
    }
    void skip(int clocks) { divider_ = std::uint8_t((divider_ + clocks) & 31); }

private:
    void phase0(int audc, int audf);
    void phase1(int audc);

    std::uint8_t divider_ = 0; // counts audio clocks up to AUDF
    std::uint8_t pulse_ = 5;   // 4 bits, the low one heard
    std::uint8_t noise_ = 31;  // 5 bits
    bool enabled_ = true;      // the divider fired: phase 1 moves the counters
    bool noiseIn_ = true;      // the bit phase 1 shifts into the noise counter
    bool noiseLow_ = true;     // the noise counter's low bit at phase 0
    bool pulseHeld_ = false;   // phase 1 leaves the pulse counter alone
};

// The console feeds both channels into one output stage whose level is not
// a straight line. This is the one mixing table: Stella's, to its 16-bit
// step, floor(32767 * s/30 * 60/(30 + s)) / 32767 for the summed channel
// outputs s (0-30), so quiet notes stand to loud ones as they do there.
// One channel at 15 is 2/3 of both at 15; alone, AUDV 5 is 0.43 of AUDV 15.
double mixLevel(int sum);

// The one output stage, Stella's own (its default "high quality"), so that
// ostrak sounds as Stella plays the ROM: the mixed level at every audio
// clock through a one-pole 10 Hz high-pass (the console's output is coupled
// through a capacitor, so a held level, AUDC 0 and 11, dies away), then
// Lanczos interpolation with two lobes to the output rate. The interpolation
// leaves the TIA's tones (AUDF 0 reaches 15.7 kHz) below the audio clock's
// Nyquist limit, as Stella's recording has them, and the work grows with the
// clocks (31,400 a second), not with the output's edges.
class OutputStage {
public:
    OutputStage(double outputRate, double inputRate);
    // `clocks` audio clocks at `level` (a mixLevel); appends to `out` every
    // output sample (before any scaling) the clocks so far settle.
    void hold(double level, std::uint64_t clocks, std::vector<double>& out);
    double ratio() const { return ratio_; } // output samples per audio clock

    static constexpr int kLobes = 2; // input clocks either side of an output sample

private:
    static constexpr int kTaps = 2 * kLobes;
    static constexpr int kPhaseBits = 12; // kernel rows across one clock
    static constexpr int kPhases = 1 << kPhaseBits;
    static constexpr int kFraction = 32;  // clocks are counted in 1/2^32
    static constexpr std::uint64_t kOne = std::uint64_t(1) << kFraction;

    double ratio_;                        // output samples per audio clock
    std::uint64_t step_;                  // audio clocks per output sample, in 1/kOne
    double keep_;                         // the high-pass's feedback
    std::vector<float> kernel_;           // kPhases rows of kTaps
    double lastLevel_ = 0.0, highPassed_ = 0.0;
    double recent_[2 * kTaps] = {};       // the newest high-passed clocks, a ring kept twice
    int oldest_ = 0;                      // where the oldest of them is
    std::uint64_t clocks_ = 0;            // the clock taken in next
    std::uint64_t at_ = 0;                // where the next output sample falls, in 1/kOne clocks
};

} // namespace ostrak::sound
