// Every AUDC value as Stella plays it: a song.h puts each form on each
// channel at AUDF 0, 5, 19 and 31 and two volumes, a note every second row at
// tempo 3; Stella plays the ROM and ostrak renders the same song.h in
// Stella's clock. Row by row the spectra and levels must agree, and a row
// Stella plays silent must be silent. FORMS_DETAILS=1 prints every row.
#include "Listening.h"
#include "RowCompare.h"
#include "sound/SongImage.h"

#include <gtest/gtest.h>

#include <array>

using namespace engine_test;
using namespace ostrak::sound;

namespace {

constexpr int kAudf[] = {0, 5, 19, 31};
constexpr int kRowFrames = 3;
constexpr double kRowSeconds = kRowFrames / 60.0;

// A song.h of four sound types at two volume steps (slots 2t and 2t+1):
// every (type, volume, AUDF) on channel 1, then on channel 2, one note on
// every second row and no two at once.
struct FormsSong {
    std::string text;
};

FormsSong formsSong(const std::array<int, 4>& types, const std::array<int, 2>& volumeSteps)
{
    std::vector<int> ch[2];
    for (int channel = 0; channel < 2; ++channel)
        for (int slot = 0; slot < 8; ++slot)
            for (const int audf : kAudf) {
                // Slot 7 at AUDF 31 is the byte 255, the engine's silence.
                ch[channel].push_back(slot << 5 | (slot == 7 && audf == 31 ? 30 : audf));
                ch[channel].push_back(255);
                ch[1 - channel].push_back(255);
                ch[1 - channel].push_back(255);
            }
    FormsSong song;
    const int steps = int(ch[0].size() / 32);
    std::string t = "TEMPODELAY equ " + std::to_string(kRowFrames) + "\r\nsoundTurnArray\r\n\tbyte ";
    for (int slot = 0; slot < 8; ++slot)
        t += std::to_string(volumeSteps[std::size_t(slot % 2)]) + (slot < 7 ? "," : "\r\n");
    t += "soundTypeArray\r\n\tbyte ";
    for (int slot = 0; slot < 8; ++slot)
        t += std::to_string(types[std::size_t(slot / 2)]) + (slot < 7 ? "," : "\r\n");
    t += "hatPattern\r\n\tbyte 0,0,0,0\r\nHATSTART equ 0\r\nHATVOLUME equ 4\r\nHATPITCH equ 0\r\nHATSOUND equ 8\r\n";
    for (int channel = 0; channel < 2; ++channel) {
        // Entry 0 first: two silent steps while Stella settles.
        t += "song" + std::to_string(channel + 1) + "\r\n\tbyte 0,0,";
        for (int step = 0; step < steps; ++step)
            t += std::to_string(1 + channel * steps + step) + ",";
        t += "255\r\n";
    }
    t += "patternArrayH\r\n\tword 0,0,0,0\r\n";
    for (int channel = 0; channel < 2; ++channel)
        for (int step = 0; step < steps; ++step) {
            t += "\tword ";
            for (int chain = 0; chain < 4; ++chain)
                t += "C" + std::to_string(channel) + "_" + std::to_string(step * 4 + chain) + (chain < 3 ? "," : "\r\n");
        }
    t += "patternArrayL\r\n";
    for (int channel = 0; channel < 2; ++channel)
        for (std::size_t chain = 0; chain * 8 < ch[channel].size(); ++chain) {
            t += "C" + std::to_string(channel) + "_" + std::to_string(chain) + "\r\n\tbyte ";
            for (std::size_t row = 0; row < 8; ++row)
                t += std::to_string(ch[channel][chain * 8 + row]) + (row < 7 ? "," : "\r\n");
        }
    song.text = t;
    return song;
}

class EngineForms : public ListeningTest {
protected:
    // A row the model gets wrong differs in every recording (listenRowByRow).
    void compareForms(const std::array<int, 4>& types, const std::array<int, 2>& volumeSteps)
    {
        const FormsSong song = formsSong(types, volumeSteps);
        const ReadResult read = readSongH(song.text);
        ASSERT_TRUE(read.image && read.problems.empty()) << (read.problems.empty() ? "" : read.problems.front());
        const double seconds = 6 * 32 * kRowSeconds; // the silent steps and four
        const Audio made = renderAsStellaPlays(read.image, seconds, stellaClock());
        EngineModel engine(read.image);
        std::vector<FrameRegs> frames;
        for (int frame = 0; frame < int(seconds * 60); ++frame)
            frames.push_back(engine.nextFrame());
        const Rom rom = assemble(subFolder("rom"), song.text);
        ASSERT_TRUE(rom.ok) << rom.log;
        judge(listenRowByRow(rom.path, seconds, made, frames, Rows{kRowFrames, 60.0, {}}));
    }
};

} // namespace

// Four ROMs of four forms each; every form at two volumes (AUDV 15 and 5,
// or 11 and 1) on both channels at four dividers.
TEST_F(EngineForms, EveryAudcOnBothChannelsMatchesStellaRowByRow)
{
    const struct {
        std::array<int, 4> types;
        std::array<int, 2> volumeSteps;
    } roms[] = {{{0, 1, 2, 3}, {0, 8}}, {{4, 5, 6, 7}, {3, 11}}, {{8, 9, 10, 11}, {0, 8}}, {{12, 13, 14, 15}, {3, 11}}};
    for (const auto& rom : roms) {
        SCOPED_TRACE("AUDC " + std::to_string(rom.types[0]) + "-" + std::to_string(rom.types[3]));
        compareForms(rom.types, rom.volumeSteps);
    }
}
