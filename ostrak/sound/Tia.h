#pragma once
// The TIA's two sound channels at its audio clock, the console's mixing and
// the band-limited resampling to an output rate. SongRenderer puts them
// together; the tests use them alone.
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

// Band-limited steps ("BLEP"): the TIA's output is a staircase that only
// moves on audio clocks, so each move is added to the output as a step
// whose edge is a windowed sinc (Kaiser, 32 taps, 512 phases, cut at 0.45
// of the output rate). Unlike resampling the 31.4 kHz stream, this keeps
// the exact time of every edge, and the harmonics of the high tones (AUDF
// 0-3 reach 15.7 kHz) stop at the output's Nyquist limit instead of folding
// back as junk; and the work grows with the edges, not with the clocks.
class StepResampler {
public:
    StepResampler(double outputRate, double inputRate);
    // A move of the level by `delta` at input clock `clock` (increasing).
    void step(std::uint64_t clock, double delta);
    // Output samples that no later step can change any more, once the input
    // has reached `clock`; appended to `out` as levels (before any scaling).
    void finishUpTo(std::uint64_t clock, std::vector<double>& out);
    double ratio() const { return ratio_; }

    static constexpr int kTaps = 32;
    static constexpr int kPhases = 512;

private:
    double ratio_;                      // output samples per input clock
    std::vector<float> kernel_;         // kPhases rows of kTaps
    std::vector<double> pending_;       // impulses of samples from first_ on
    std::size_t start_ = 0;             // where first_ is in pending_
    std::uint64_t first_ = 0;           // output index of pending_[start_]
    double level_ = 0.0;                // running sum: the level before first_
};

} // namespace ostrak::sound
