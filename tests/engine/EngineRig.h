#pragma once
// Runs the real tools on the music engine: ostrak's own window writes song.h
// from a tracker paste, dasm assembles the engine with it, stella plays the
// ROM headless (SDL's dummy video and disk audio drivers) and the samples are measured.
#include "support/OstrakFixture.h"
#include "support/TestSupport.h"
#include "sound/Sound.h"

#include <map>
#include <string>
#include <vector>

namespace engine_test {

std::string engineDir(); // the repository's engine/ folder

using testing_support::missingTools;
using testing_support::ProgramRun;
using testing_support::runProgram;

// Puts the engine's sources and `songH` into `folder` and assembles
// `program` (one of them, or one the caller put there) into song.bin.
struct Rom {
    bool ok = false;
    std::string path;
    std::string log;
};
Rom assemble(const std::string& folder, const std::string& songH, const std::string& program = "engine.asm");

// A stretch of the recording louder than kSound.
struct Sound {
    double start, stop; // seconds
};

// Mono samples, 44.1 kHz, of stella playing a ROM.
struct Audio {
    static constexpr double kRate = 44100.0;
    // Louder than this is sound: AUDV 1 on one channel is about 0.013.
    static constexpr double kSound = 0.008;
    std::vector<float> samples;

    double duration() const { return samples.size() / kRate; }
    // Root mean square around the mean, over [from, to) seconds.
    double level(double from, double to) const;
    // Fundamental of a square-ish tone over [from, to), from its mean crossings.
    double frequency(double from, double to) const;
    // Every sound from start to end, as 5 ms windows tell it.
    std::vector<Sound> sounds() const;
};
// `stellaOptions` go on stella's command line before the ROM.
Audio listen(const std::string& rom, double seconds, const std::vector<std::string>& stellaOptions = {});
// The high-pass that listen() puts on stella's samples.
void removeSlope(std::vector<float>& samples);

// Songs that take every path of the player: both halves of the entry table,
// entries past its end, missing chains, orders that wrap and one of nothing
// but its end marker, the hi-hat before and after it starts, rows with and
// without a fraction of a frame, NTSC and PAL, and a whole song of more
// than 32 positions (entries from 128 on in patternArrayH); `pad` bytes
// ahead of the tables move them against the page boundaries. Each song's
// bytes come from its seed.
struct PathsSong {
    unsigned seed;
    int tempo, fraction, pad;
    bool pal;
    bool silent2;  // channel 2's order holds nothing but its end marker
    int hatStart;
    bool spread = false; // a few more bytes, from the seed, ahead of every table
    int high = 3;        // entries in patternArrayH; past 130 the song plays 129, 130 and its last from there
};
inline constexpr PathsSong kPathsSongs[] = {
    {1, 1, 0, 0, false, false, 2},   {2, 2, 0, 37, false, false, 2}, {3, 1, 0, 130, false, false, 2},
    {4, 3, 0, 201, false, false, 0}, {5, 1, 0, 90, true, false, 2},  {6, 1, 77, 11, false, true, 2},
    {7, 2, 200, 160, true, false, 1}, {8, 1, 0, 60, false, false, 0, false, 140},
};
std::string pathsSong(const PathsSong& song);

// ostrak's rendering of song.h in `clock`, made to compare with listen():
// 44.1 kHz and the same high-pass.
Audio renderAsStellaPlays(const std::shared_ptr<const ostrak::sound::SongImage>& image, double seconds,
                          ostrak::sound::Clock clock);

// The TIA's audio clock and frame length (NTSC, 262 lines of 76 cycles).
inline constexpr double kTiaAudioClock = 31399.5;
inline constexpr double kFrameSeconds = 262.0 * 76.0 / 1193181.67;
// A pure tone (AUDC 4 or 5) on frequency divider f.
inline double pureTone(int f) { return kTiaAudioClock / (2.0 * (f + 1)); }

// One tracker row of the first two channels, each cell as note + instrument,
// e.g. {"C-504", "...16"}; "....." is an empty cell.
struct Row {
    std::string ch1, ch2;
};
// The ModPlug Tracker IT clipboard text of `rows` (CR LF line ends).
std::string trackerPaste(const std::vector<Row>& rows);

// song.h files made the way a user makes them: a paste converted by ostrak's
// window, then one of its two compile buttons.
class EngineTest : public testing_support::OstrakTest {
protected:
    // Converts `paste` and presses "Compile and Listen Pattern"; the song.h written.
    std::string previewSong(const std::string& paste);
    // Converts `paste` into position 0, unlocks "SONG COMPILE", replaces the
    // song order with `songOrder` and writes the whole song.
    std::string wholeSong(const std::string& paste, const std::string& songOrder);
    // A fresh folder inside the scratch folder.
    std::string subFolder(const std::string& name);
};

} // namespace engine_test
