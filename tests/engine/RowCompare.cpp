#include "RowCompare.h"
#include "support/Fundamental.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <sstream>

using ostrak::sound::FrameRegs;
using testing_support::cosine;
using testing_support::spectrum;

namespace engine_test {

namespace {

// What the recording sounds like every 5 ms: the levels of 24 bands from
// 100 Hz to 16 kHz, as logarithms, to line the two recordings up by.
constexpr double kHop = 0.005;
std::vector<std::array<double, 24>> bands(const Audio& audio)
{
    std::vector<std::array<double, 24>> frames;
    for (double t = 0; t + 0.012 <= audio.duration(); t += kHop) {
        const auto magnitude = spectrum(audio.samples, std::size_t(t * Audio::kRate), 512, 512);
        std::array<double, 24> band{};
        for (std::size_t bin = 1; bin < magnitude.size(); ++bin) {
            const double hz = double(bin) * Audio::kRate / 512;
            const int at = int(24 * std::log(hz / 100) / std::log(160.0));
            if (at >= 0 && at < 24)
                band[std::size_t(at)] += magnitude[bin] * magnitude[bin];
        }
        for (double& b : band)
            b = std::log(1e-6 + b);
        frames.push_back(band);
    }
    return frames;
}

// The shift, in frames from `from` to `to`, at which `heard` is most like
// `made` over made's frames [begin, end); of shifts nearly as good, the one
// nearest `keep` (where the last row was found), as rows of one held level
// look alike.
int bestLag(const std::vector<std::array<double, 24>>& made, const std::vector<std::array<double, 24>>& heard,
            int from, int to, int begin, int end, int keep)
{
    std::vector<double> distances;
    for (int lag = from; lag <= to; ++lag) {
        double distance = 0;
        int count = 0;
        for (int k = std::max({begin, -lag, 0}); k < end && k < int(made.size()) && k + lag < int(heard.size()); ++k, ++count)
            for (std::size_t b = 0; b < 24; ++b)
                distance += std::abs(made[std::size_t(k)][b] - heard[std::size_t(k + lag)][b]);
        distances.push_back(count > 0 ? distance / count : 1e300);
    }
    const double best = *std::min_element(distances.begin(), distances.end());
    int at = from;
    for (int lag = from; lag <= to; ++lag)
        if (distances[std::size_t(lag - from)] <= best * 1.03 && std::abs(lag - keep) < std::abs(at - keep))
            at = lag;
    return at;
}

// The shift in seconds, within 3 ms, at which `count` heard samples from
// `heardAt` best correlate with the made ones from `madeAt`.
double fineShift(const Audio& made, double madeAt, double heardAt, std::size_t count, const Audio& heard)
{
    constexpr int kRange = int(0.003 * Audio::kRate);
    const auto m = std::size_t(madeAt * Audio::kRate);
    const auto h = std::int64_t(heardAt * Audio::kRate);
    double best = -1e300;
    int at = 0;
    for (int shift = -kRange; shift <= kRange; ++shift) {
        double sum = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const std::int64_t j = h + shift + std::int64_t(i);
            if (m + i < made.samples.size() && j >= 0 && j < std::int64_t(heard.samples.size()))
                sum += double(made.samples[m + i]) * heard.samples[std::size_t(j)];
        }
        if (sum > best) {
            best = sum;
            at = shift;
        }
    }
    return at / Audio::kRate;
}

// Row by row. Stella's first seconds are often uneven, which the silent
// first steps leave out; later Stella now and then holds its output back
// a little, so each note row is found again near where the last one was,
// by the levels around it.
std::vector<Compared> compareRows(const Audio& audio, const Audio& made, const std::vector<FrameRegs>& frames,
                              const Rows& which)
{
    // Made and heard as bands, each scaled to its own loudest band.
    auto madeBands = bands(made), heardBands = bands(audio);
    for (auto* frames : {&madeBands, &heardBands}) {
        double top = -1e300;
        for (const auto& frame : *frames)
            top = std::max(top, *std::max_element(frame.begin(), frame.end()));
        for (auto& frame : *frames)
            for (double& b : frame)
                b = std::max(b - top, -12.0); // 12 nepers down is silence
    }
    const double rowSeconds = which.rowFrames / which.frameHz;
    const int stepFrames = int(32 * rowSeconds / kHop);
    int lag = bestLag(madeBands, heardBands, -stepFrames, int(5.0 / kHop), stepFrames, int(madeBands.size()), 0);
    const auto rowSamples = std::size_t(0.8 * rowSeconds * Audio::kRate); // the row's middle 80 %
    const double skip = 0.1 * rowSeconds;
    std::vector<Compared> rows;
    for (std::size_t frame = 0; frame < frames.size(); frame += std::size_t(which.rowFrames)) {
        const FrameRegs& regs = frames[frame];
        const int channel = regs.audv[0] > 0 ? 0 : 1;
        if (regs.audv[channel] == 0 || (which.skip && which.skip(int(frame))))
            continue; // a silent row, or one not to compare
        const double at = double(frame) / which.frameHz;
        const int atFrame = int(std::lround(at / kHop));
        // Half a second either side; the lag may jump by a third of that.
        lag = bestLag(madeBands, heardBands, lag - 30, lag + 30, atFrame - 100, atFrame + 100, lag);
        // ... then to the sample, by the waveforms themselves.
        const double there = at + lag * kHop + fineShift(made, at + skip, at + lag * kHop + skip, rowSamples, audio);
        std::ostringstream what;
        what << "row " << frame / std::size_t(which.rowFrames) << ":";
        for (int x = 0; x < 2; ++x)
            what << " channel " << x + 1 << " AUDC " << int(regs.audc[x]) << " AUDF " << int(regs.audf[x]) << " AUDV "
                 << int(regs.audv[x]);
        Compared c;
        c.what = what.str();
        c.cosine = cosine(spectrum(made.samples, std::size_t((at + skip) * Audio::kRate), rowSamples),
                          spectrum(audio.samples, std::size_t(std::max(0.0, there + skip) * Audio::kRate), rowSamples));
        c.heard = audio.level(there + skip, there + skip + 0.8 * rowSeconds);
        c.made = made.level(at + skip, at + skip + 0.8 * rowSeconds);
        rows.push_back(c);
    }
    // One overall gain: the median of the level ratios of the rows heard.
    std::vector<double> ratios;
    for (const Compared& c : rows)
        if (c.made > 0)
            ratios.push_back(c.heard / c.made);
    if (ratios.empty())
        return {};
    std::sort(ratios.begin(), ratios.end());
    const double gain = ratios[ratios.size() / 2];
    for (Compared& c : rows) {
        c.made *= gain;
        c.level = c.made > 0 ? c.heard / c.made : 0.0;
    }
    return rows;
}

} // namespace

// Stella's default sound (Lanczos, two lobes, 44.1 kHz) with more half-frames
// held ahead: a stella that falls behind on a busy machine otherwise runs
// out now and then, a gap every half-frame that spoils the low forms' rows.
const std::vector<std::string> kBuffered = {"-audio.preset", "1", "-audio.resampling_quality", "2",
                                            "-audio.sample_rate", "44100", "-audio.headroom", "10",
                                            "-audio.buffer_size", "20"};

std::vector<Compared> listenRowByRow(const std::string& rom, double seconds, const Audio& made,
                                     const std::vector<FrameRegs>& frames, const Rows& rows,
                                     const std::vector<std::string>& stellaOptions)
{
    std::vector<std::string> options = kBuffered;
    options.insert(options.end(), stellaOptions.begin(), stellaOptions.end());
    std::vector<Compared> best;
    for (int recording = 0; recording < 5; ++recording) {
        // Time to spare: a busy machine starts stella late and slows it.
        const Audio audio = listen(rom, seconds + 4.0, options);
        if (audio.duration() < seconds + 0.5) {
            ADD_FAILURE() << "stella recorded too little audio";
            return {};
        }
        const std::vector<Compared> compared = compareRows(audio, made, frames, rows);
        if (compared.empty()) {
            ADD_FAILURE() << "nothing heard";
            return {};
        }
        if (best.empty())
            best = compared;
        for (std::size_t row = 0; row < compared.size() && row < best.size(); ++row)
            if (!best[row].alike() && (compared[row].alike() || compared[row].cosine > best[row].cosine))
                best[row] = compared[row];
        if (std::all_of(best.begin(), best.end(), [](const Compared& c) { return c.alike(); }))
            break;
    }
    return best;
}

// Rows Stella plays silent (a held level long died away) must be silent
// here; the others alike in spectrum and level.
void judge(const std::vector<Compared>& rows)
{
    std::vector<double> cosines;
    double worstLevel = 0, worstCosine = 1;
    for (const Compared& c : rows) {
        SCOPED_TRACE(c.what);
        if (std::getenv("FORMS_DETAILS"))
            std::cout << c.what << ": cosine " << c.cosine << ", level " << c.heard << " / " << c.made << "\n";
        EXPECT_TRUE(c.silentAlike()) << "level heard " << c.heard << ", made " << c.made;
        if (!c.sounding())
            continue;
        cosines.push_back(c.cosine);
        worstCosine = std::min(worstCosine, c.cosine);
        EXPECT_GE(c.cosine, kMinCosine);
        worstLevel = std::max(worstLevel, std::abs(c.level - 1));
        EXPECT_NEAR(c.level, 1.0, kLevelTolerance);
    }
    ASSERT_FALSE(cosines.empty());
    std::sort(cosines.begin(), cosines.end());
    const double median = cosines[cosines.size() / 2];
    EXPECT_GE(median, 0.97);
    std::cout << rows.size() << " notes, " << cosines.size() << " sounding: spectral cosine median " << median
              << ", worst " << worstCosine << "; worst level " << worstLevel * 100 << " %\n";
}

} // namespace engine_test
