// The TIA channels alone, and the renderer around them.
#include "support/Fundamental.h"
#include "sound/SongImage.h"
#include "sound/Tia.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numeric>

using namespace ostrak::sound;

namespace {

constexpr int kRate = 44100;

// The channel's output, one value per audio clock.
std::vector<int> clocks(int audc, int audf, std::size_t count)
{
    TiaChannel channel;
    std::vector<int> out(count);
    for (int& value : out)
        value = channel.clock(audc, audf, 15);
    return out;
}

bool repeatsEvery(const std::vector<int>& wave, std::size_t from, std::size_t period)
{
    for (std::size_t i = from; i + period < wave.size(); ++i)
        if (wave[i] != wave[i + period])
            return false;
    return true;
}

// The channel at the output rate, through the output stage.
std::vector<float> rendered(int audc, int audf, double seconds)
{
    TiaChannel channel;
    OutputStage stage(kRate, playbackClock().audioHz);
    std::vector<double> samples;
    for (auto clock = std::uint64_t(seconds * playbackClock().audioHz); clock > 0; --clock)
        stage.hold(mixLevel(channel.clock(audc, audf, 15)), 1, samples);
    return {samples.begin(), samples.end()};
}

} // namespace

TEST(Tia, EveryAudcRepeatsAtItsDividerAndSoundsItsFundamental)
{
    for (int audc = 0; audc < 16; ++audc) {
        for (const int audf : {0, 10, 31}) {
            SCOPED_TRACE("AUDC " + std::to_string(audc) + ", AUDF " + std::to_string(audf));
            const std::size_t period = std::size_t(audf + 1) * wavePeriod(audc);
            // From one period on, every counter has had its first tick.
            const auto wave = clocks(audc, audf, std::max<std::size_t>(4 * period, 2000));
            if (period == 0) {
                EXPECT_TRUE(repeatsEvery(wave, 0, 1)) << "a level only";
                EXPECT_FALSE(isTonal(audc));
                continue;
            }
            // The counters' way from where the start-up left them into this
            // form's ring takes up to 1.5 periods (AUDC 10), as in Stella.
            EXPECT_TRUE(repeatsEvery(wave, 2 * period, period));
            // ... and at no shorter period: none of its whole fractions.
            for (std::size_t part = 2; part <= period; ++part) {
                if (period % part == 0) {
                    EXPECT_FALSE(repeatsEvery(wave, period, period / part)) << "repeats every " << period / part;
                }
            }
            const double formula = playbackClock().audioHz / double(period);
            if (!isTonal(audc)) {
                EXPECT_EQ(toneFrequency(audc, audf, playbackClock()), 0.0);
                continue;
            }
            ASSERT_DOUBLE_EQ(toneFrequency(audc, audf, playbackClock()), formula);
            const auto samples = rendered(audc, audf, 0.25);
            const double measured =
                testing_support::measuredFundamental(samples, kRate, 1000, samples.size(), formula);
            EXPECT_NEAR(measured, formula, 0.001 * formula);
        }
    }
}

// The run lengths of one period of a maximal-length shift register of n
// bits: one run of n, one of n - 1, and 2^(n-k-1) runs of each k < n - 1.
TEST(Tia, PolyFormsRunAsMaximalShiftRegistersAndTheDiv31FormsAre18And13)
{
    const struct {
        int audc, bits;
    } forms[] = {{1, 4}, {7, 5}, {9, 5}, {8, 9}, {6, 0}, {10, 0}}; // bits 0: the div-31 forms
    for (const auto& form : forms) {
        SCOPED_TRACE("AUDC " + std::to_string(form.audc));
        const std::size_t period = std::size_t(wavePeriod(form.audc));
        const auto wave = clocks(form.audc, 0, 4 * period);
        // The runs of one period, starting at an edge.
        std::size_t start = 2 * period;
        while (wave[start] == 0 || wave[start - 1] != 0)
            ++start; // a rising edge
        std::map<std::size_t, int> runs;
        std::size_t length = 1;
        for (std::size_t i = start + 1; i <= start + period; ++i, ++length)
            if (i == start + period || wave[i] != wave[i - 1]) {
                ++runs[length];
                length = 0;
            }
        std::map<std::size_t, int> expected;
        if (form.bits == 0) {
            expected = {{13, 1}, {18, 1}};
            // As Stella runs them, AUDC 10 is high for 18 pulses, AUDC 6 for 13.
            const std::size_t high = form.audc == 10 ? 18 : 13;
            EXPECT_TRUE(wave[start + high - 1] != 0 && wave[start + high] == 0);
        } else {
            expected = {{std::size_t(form.bits), 1}};
            ++expected[std::size_t(form.bits - 1)];
            for (int k = 1; k < form.bits - 1; ++k)
                expected[std::size_t(k)] = 1 << (form.bits - k - 1);
        }
        EXPECT_EQ(runs, expected);
    }
}

TEST(Tia, StartUpSettlesFromPowerOnAndNoWriteResetsTheCounters)
{
    TiaChannel fromPowerOn = TiaChannel::atPowerOn();
    EXPECT_FALSE(fromPowerOn == TiaChannel());
    for (int clock = 0; clock < 73; ++clock)
        fromPowerOn.clock(0, 0, 0);
    EXPECT_TRUE(fromPowerOn == TiaChannel()) << "the engine's start-up leaves every channel alike";

    // A long form at a low divider: a note after another starts where the
    // counters stand, not where a fresh channel would start.
    TiaChannel onAfterNote, fresh;
    for (int clock = 0; clock < 1000; ++clock)
        onAfterNote.clock(4, 7, 15);
    std::vector<int> after, fromStart;
    for (int clock = 0; clock < 465 * 2; ++clock) {
        after.push_back(onAfterNote.clock(15, 0, 15));
        fromStart.push_back(fresh.clock(15, 0, 15));
    }
    EXPECT_NE(after, fromStart);
    EXPECT_EQ(mixLevel(30), 1.0);
    EXPECT_EQ(std::lround(mixLevel(15) * 32767), 21844) << "2/3 of full scale, to Stella's step";
}

TEST(Tia, SkippingIdleClocksIsClockingThem)
{
    // Register sets one after another, each for 700 clocks, as frames write them.
    const struct {
        int audc, audf;
    } notes[] = {{4, 5}, {15, 31}, {8, 0}, {2, 19}, {6, 31}, {3, 5}, {9, 19}, {11, 0}, {12, 31}};
    TiaChannel clocked, skipping;
    for (const auto& note : notes) {
        SCOPED_TRACE("AUDC " + std::to_string(note.audc) + " AUDF " + std::to_string(note.audf));
        for (int clock = 0; clock < 700;) {
            const int idle = std::min(skipping.idleClocks(note.audf), 700 - clock);
            for (int i = 0; i < idle; ++i)
                ASSERT_EQ(clocked.clock(note.audc, note.audf, 9), skipping.output(9));
            skipping.skip(idle);
            clock += idle;
            if (clock < 700) {
                ASSERT_EQ(clocked.clock(note.audc, note.audf, 9), skipping.clock(note.audc, note.audf, 9));
                ++clock;
            }
        }
        EXPECT_TRUE(clocked == skipping);
    }
}

// Ostrak.it's samples: one period per divider pulse, each value held AUDF + 1
// clocks, is what the chip plays at that AUDF once it has settled (from some
// place in the period).
TEST(Tia, WaveFormHeldAudfPlusOneClocksIsTheChipsOutput)
{
    for (int audc = 0; audc < 16; ++audc) {
        const std::vector<std::uint8_t> form = waveForm(audc);
        ASSERT_EQ(int(form.size()), wavePeriod(audc)) << "AUDC " << audc;
        for (const int audf : {0, 5, 19, 31}) {
            if (form.empty())
                continue;
            SCOPED_TRACE("AUDC " + std::to_string(audc) + " AUDF " + std::to_string(audf));
            const std::size_t hold = std::size_t(audf + 1), period = form.size() * hold;
            std::vector<int> expanded;
            for (std::uint8_t value : form)
                expanded.insert(expanded.end(), hold, value * 15);
            const std::vector<int> chip = clocks(audc, audf, 4 * period);
            bool found = false;
            for (std::size_t shift = 0; shift < period && !found; ++shift) {
                found = true;
                for (std::size_t i = 0; i < period && found; ++i)
                    found = chip[2 * period + i] == expanded[(i + shift) % period];
            }
            EXPECT_TRUE(found);
        }
    }
}

TEST(Tia, HighTonesDoNotFoldBackBelowThemselves)
{
    // AUDC 4 at AUDF 0-3: 15.7, 7.8, 5.2 and 3.9 kHz square waves. Their
    // harmonics past the audio clock's Nyquist limit must not come back as
    // tones below the fundamental.
    for (int audf = 0; audf <= 3; ++audf) {
        auto x = rendered(4, audf, 0.5);
        const float mean = std::accumulate(x.begin(), x.end(), 0.0f) / float(x.size());
        for (float& sample : x)
            sample -= mean;
        const double f0 = toneFrequency(4, audf, playbackClock());
        double total = 0, below = 0;
        // What a two-pole low-pass well below f0 lets through is folded junk.
        const double k = std::exp(-2 * 3.14159265 * 0.2 * f0 / kRate);
        double low1 = 0, low2 = 0;
        for (std::size_t i = 0; i < x.size(); ++i) {
            low1 = (1 - k) * x[i] + k * low1;
            low2 = (1 - k) * low1 + k * low2;
            if (i > 2000) {
                total += x[i] * x[i];
                below += low2 * low2;
            }
        }
        EXPECT_LT(below / total, 0.02) << "AUDF " << audf;
    }
}

TEST(SongRenderer, StreamsWhatOnePassHoldsAndKnowsWhereItIs)
{
    const std::string text =
        "TEMPODELAY equ 1\r\nsoundTurnArray\r\n\tbyte 0,0,0,0,0,0,0,0\r\nsoundTypeArray\r\n\tbyte 4,6,12,14,1,8,4,4\r\n"
        "hatPattern\r\n\tbyte 0,0,0,0\r\nHATSTART equ 0\r\nHATVOLUME equ 4\r\nHATPITCH equ 0\r\nHATSOUND equ 8\r\n"
        "song1\r\n\tbyte 1,1,255\r\nsong2\r\n\tbyte 1,1,1,255\r\n"
        "patternArrayH\r\n\tword 0,0,0,0\r\n\tword A,A,A,A\r\npatternArrayL\r\n"
        "A\r\n\tbyte 10,42,74,106,138,170,202,255\r\n";
    const ReadResult read = readSongH(text);
    ASSERT_TRUE(read.image) << read.problems.front();
    const auto pass = renderOnePass(read.image, kRate, 600.0, stellaClock());
    // Three steps of 32 one-frame rows: the longer order wraps there.
    EXPECT_NEAR(double(pass.size()), 3 * 32 * kRate / 60.0, 2.0);
    EXPECT_EQ(renderOnePass(read.image, kRate, 0.5, stellaClock()).size(), std::size_t(kRate / 2));

    SongRenderer renderer(read.image, kRate, stellaClock());
    std::vector<std::int16_t> streamed(pass.size());
    for (std::size_t at = 0; at < streamed.size(); at += 1000)
        renderer.render(streamed.data() + at, std::min<std::size_t>(1000, streamed.size() - at));
    EXPECT_EQ(renderer.samplesRendered(), streamed.size());
    EXPECT_TRUE(renderer.passDone());
    EXPECT_TRUE(std::equal(pass.begin(), pass.end() - 100, streamed.begin())) << "the stream plays the same";
    const double frame = kRate / 60.0;
    const FrameRegs at = renderer.positionAt(std::uint64_t((32 + 5.5) * frame));
    EXPECT_EQ(at.step, 1);
    EXPECT_EQ(at.row, 5);
    EXPECT_EQ(at.audc[0], 8) << "slot 5's sound";
    EXPECT_GT(*std::max_element(pass.begin(), pass.end()), 8000) << "audible";

    const std::string wav = wavFileBytes({1, -2}, kRate);
    EXPECT_EQ(wav.size(), 48u);
    EXPECT_EQ(wav.substr(0, 4) + wav.substr(8, 8) + wav.substr(36, 4), "RIFFWAVEfmt data");
    EXPECT_EQ(wav.substr(44), std::string("\x01\x00\xFE\xFF", 4));
    EXPECT_EQ(std::uint8_t(wav[24]) | std::uint8_t(wav[25]) << 8, kRate & 0xFFFF);
}
