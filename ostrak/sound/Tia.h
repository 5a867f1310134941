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
//   0, 11      level only (the output stays high)
//   1          4-bit poly: 15
//   2          div 31 clocks the 4-bit poly: 15 * 31 = 465
//   3          5-bit poly clocks the 4-bit poly: 465
//   4, 5       div 2: a square wave, 2
//   6, 10      div 31 (13 high, 18 low), 31
//   7, 9       5-bit poly (7 toggles on it, 9 plays it), 31
//   8          9-bit poly: 511 (white noise)
//   12, 13     div 3 before div 2: 6
//   14         div 3 before div 31: 93
//   15         div 3 before the 5-bit poly toggle: 93
int wavePeriod(int audc);

// One sound channel, one audio clock at a time.
class TiaChannel {
public:
    // The output (0 or AUDV) after one more audio clock with these registers.
    int clock(int audc, int audf, int audv)
    {
        audc &= 15;
        if (divider_ >= (audf & 31)) {
            divider_ = 0;
            pulse(audc);
        } else {
            ++divider_;
        }
        if (audc == 0 || audc == 11)
            return audv & 15;
        return bit_ ? (audv & 15) : 0;
    }

private:
    void pulse(int audc);

    int divider_ = 0;   // counts audio clocks up to AUDF
    int prescale_ = 0;  // the divide by 3 of AUDC 12-15
    int poly4_ = 0, poly5_ = 0, poly9_ = 0; // positions in the counters' sequences
    int bit_ = 0;       // the waveform's output bit
};

// The console feeds both channels into one output stage whose level is not
// a straight line: x / (30 + x) of the summed channel outputs (0-30). Alone,
// a channel at AUDV 5 is 0.429 of AUDV 15, as measured on Stella, which
// models the console's output stage this way; a straight line would make
// the quiet volume steps sound too quiet against the recordings.
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
    std::uint64_t first_ = 0;           // output index of pending_[0]
    double level_ = 0.0;                // running sum: the level before first_
};

} // namespace ostrak::sound
