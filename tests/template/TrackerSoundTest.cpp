// The tracker plays what the console plays: rows written into Ostrak.it and
// rendered by libopenmpt (OpenMPT's own playback) against ostrak's song.wav
// of the same rows pasted, converted and saved through the window. Row by
// row the spectra must agree, a walked note's pitch too, and a row ostrak
// plays silent must be silent. TEMPLATE_DETAILS=1 prints every row.
#include "support/Fundamental.h"
#include "support/OstrakFixture.h"
#include "template/Template.h"

#include "common/TextFile.h"
#include "convert/Tables.h"
#include "sound/PitchGuide.h"
#include "sound/Sound.h"

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>

namespace {

using namespace testing_support;

constexpr int kRate = 44100;
constexpr double kMinCosine = 0.9, kMinMedianCosine = 0.97, kMaxCents = 2.0;
constexpr double kSilentRms = 0.002; // of full scale

struct Case {
    const char* name;
    std::array<const char*, 8> slotTypes;
    std::vector<int> walked; // types whose 32 notes channel 1 walks
    int tempo = 3;
    bool silence = false; // kSilenceRows; none of the three: the example tune
};

// Two notes, then from row 8 instrument 16 alone on both channels: silence.
constexpr const char* kSilenceRows[] = {"|C-504......|C-406......", "|...16......|...16......"};
constexpr int kSilenceFrom = 8;

// Every tonal type, two to a pattern of 64 rows (what a song position plays),
// with rows long enough to hold a few periods of the lowest tones.
const Case kCases[] = {
    {"ExampleTune", {"4", "6", "7", "8", "14", "15", "1", "3"}, {}, 3},
    {"Instrument16Alone", {"4", "6", "7", "8", "14", "15", "1", "3"}, {}, 24, true},
    {"Walk1And4", {"1", "4", "5", "6", "7", "8", "14", "15"}, {1, 4}, 24},
    {"Walk5And6", {"1", "4", "5", "6", "7", "8", "14", "15"}, {5, 6}, 24},
    {"Walk7And9", {"7", "9", "10", "12", "1", "3", "4", "8"}, {7, 9}, 24},
    {"Walk10And12", {"7", "9", "10", "12", "1", "3", "4", "8"}, {10, 12}, 24},
    {"Walk13And14", {"13", "14", "15", "1", "2", "3", "4", "8"}, {13, 14}, 24},
    // One type, then rows of silence on both channels.
    {"Walk15", {"13", "14", "15", "1", "2", "3", "4", "8"}, {15}, 24},
};

// 64 rows, as a song position plays them.
std::string silencePaste()
{
    std::string text = "ModPlug Tracker  IT\r\n";
    for (int row = 0; row < 64; ++row)
        text += (row == 0 ? kSilenceRows[0] : row == kSilenceFrom ? kSilenceRows[1] : "|...........|...........")
                + std::string("\r\n");
    return text;
}

std::string walkPaste(const std::vector<int>& types, const ostrak::NoteTable& notes)
{
    std::string text = "ModPlug Tracker  IT\r\n";
    for (int row = 0; row < 64; ++row) {
        const std::size_t t = std::size_t(row / 32);
        std::string a = t < types.size() ? notes.row(row % 32).note + (types[t] < 10 ? "0" : "") + std::to_string(types[t])
                                         : std::string(row == int(types.size()) * 32 ? "...16" : ".....");
        text += "|" + a + "......|" + (row == 0 ? "...16" : ".....") + "......\r\n";
    }
    return text;
}

std::vector<float> trackerRender(const std::string& bytes, double seconds)
{
    openmpt::module module(bytes.data(), bytes.size());
    std::vector<float> samples(std::size_t(seconds * kRate));
    std::size_t done = 0;
    while (done < samples.size()) {
        const std::size_t got = module.read(kRate, samples.size() - done, samples.data() + done);
        if (got == 0)
            break;
        done += got;
    }
    samples.resize(done);
    return samples;
}

std::vector<float> wavSamples(const std::string& wav)
{
    std::vector<float> samples;
    for (std::size_t i = 44; i + 1 < wav.size(); i += 2)
        samples.push_back(float(std::int16_t(std::uint8_t(wav[i]) | std::uint8_t(wav[i + 1]) << 8)) / 32768.0f);
    return samples;
}

double rms(const std::vector<float>& s, std::size_t begin, std::size_t n)
{
    double sum = 0;
    for (std::size_t i = begin; i < begin + n && i < s.size(); ++i)
        sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(n));
}

class TrackerSoundTest : public OstrakTest, public ::testing::WithParamInterface<Case> {};

TEST_P(TrackerSoundTest, TrackerPlaysWhatTheConsolePlays)
{
    const Case& c = GetParam();
    const ostrak::NoteTable& notes = app->state().noteTable;
    ostrak::InstrumentTexts texts;
    for (std::size_t i = 0; i < 8; ++i) {
        w().WaveMatrix[i]->setText8(c.slotTypes[i]);
        texts.soundType[i] = c.slotTypes[i];
        texts.volume[i] = w().WaveVol[i]->text8();
    }
    w().cmbTempo->setText8(std::to_string(c.tempo));
    texts.tempo = std::to_string(c.tempo);
    const std::string paste = c.silence          ? silencePaste()
                              : c.walked.empty() ? std::string(ostrak::examplePaste())
                                                 : walkPaste(c.walked, notes);
    const std::string bytes = ostrak::templateBytes(ostrak::readInstrumentConfig(texts), notes, paste);

    // ostrak: paste, BANG, add to the song order, GEN All Code, Save song.wav.
    w().txtIn->setText8(paste);
    click(w().cmdBang);
    click(w().cmdAdd);
    click(w().cmdGenAllCode);
    click(w().cmdSaveWav);
    ASSERT_TRUE(messages.shown.empty()) << messages.shown.front();
    const std::vector<float> console = wavSamples(readBytes("song.wav"));

    const int rows = int(common::splitLines(paste).size()) - 1;
    const ostrak::sound::Clock clock = ostrak::sound::playbackClock();
    const double consoleRow = c.tempo / clock.frameHz(), trackerRow = c.tempo / 60.0;
    const std::vector<float> tracker = trackerRender(bytes, rows * trackerRow);

    const bool details = std::getenv("TEMPLATE_DETAILS") != nullptr;
    std::vector<double> cosines;
    double worstCents = 0;
    for (int r = 0; r < rows; ++r) {
        const auto at = [&](double rowSeconds) { return std::size_t((r + 0.3) * rowSeconds * kRate); };
        const auto n = std::size_t(std::min(8192.0, 0.6 * trackerRow * kRate));
        std::size_t size = 2048;
        while (size < n)
            size *= 2;
        const double level = rms(console, at(consoleRow), n);
        if (level < kSilentRms) {
            EXPECT_LT(rms(tracker, at(trackerRow), n), kSilentRms) << "row " << r << " is silent in ostrak";
            continue;
        }
        const double similar = cosine(spectrum(console, at(consoleRow), n, size), spectrum(tracker, at(trackerRow), n, size));
        // The song's first row starts from silence: the console's output
        // stage is still settling, and a long form's first steps fall where
        // the player's first writes leave its counters, which one sample
        // cannot follow. Its spectrum is left out; its pitch is not.
        if (r > 0) {
            cosines.push_back(similar);
            EXPECT_GE(similar, kMinCosine) << "row " << r;
        }
        double cents = 0;
        const std::size_t t = std::size_t(r / 32);
        if (t < c.walked.size()) {
            const int code = 31 - r % 32;
            const double expected = ostrak::sound::toneFrequency(c.walked[t], code, clock);
            const auto span = [&](double rowSeconds) {
                return std::pair{std::size_t((r + 0.1) * rowSeconds * kRate), std::size_t((r + 0.95) * rowSeconds * kRate)};
            };
            const auto [cb, ce] = span(consoleRow);
            const auto [tb, te] = span(trackerRow);
            const double heard = measuredFundamental(console, kRate, cb, ce, expected);
            const double played = measuredFundamental(tracker, kRate, tb, te, expected);
            ASSERT_GT(heard * played, 0) << "row " << r << ": no pitch found near " << expected << " Hz";
            cents = ostrak::sound::centsBetween(played, heard);
            worstCents = std::max(worstCents, std::abs(cents));
            EXPECT_LE(std::abs(cents), kMaxCents) << "row " << r << " (type " << c.walked[t] << ", code " << code << ")";
        }
        if (details)
            std::cout << "row " << r << " cosine " << similar << " cents " << cents << "\n";
    }
    ASSERT_FALSE(cosines.empty());
    std::sort(cosines.begin(), cosines.end());
    const double median = cosines[cosines.size() / 2];
    EXPECT_GE(median, kMinMedianCosine);
    std::cout << c.name << ": " << cosines.size() << " sounding rows, cosine lowest " << cosines.front() << ", median "
              << median << "; pitch worst " << worstCents << " cents\n";
}

INSTANTIATE_TEST_SUITE_P(Rows, TrackerSoundTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

} // namespace
