// player.asm as a game includes it: the example game run cycle by cycle.
// MusicPlay must cost no more than engine/README.md says, write only the
// six audio registers and its own RAM (placed at two addresses), and the
// game must keep its frame and play the song as the engine model does; a
// sound effect on channel 2 must leave channel 1 alone and give channel 2
// back on the music's next row. Bad placements stop dasm with a plain message.
// In Stella the game sounds row by row as ostrak's song.wav, and with the
// effect running as the game's own writes, rendered the same way.
#include "Listening.h"
#include "RowCompare.h"
#include "support/RomRunner.h"
#include "sound/Sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

using namespace engine_test;
using namespace testing_support;
using namespace ostrak::sound;

namespace {

// engine/README.md's figure: the most MusicPlay takes, JSR and RTS included.
constexpr int kWorstCycles = 386;
constexpr int kFrames = 1200;

// The example game's source with its music's RAM at `musicRam`.
std::string gameAt(int musicRam)
{
    std::string text = testing_support::readBytes(engineDir() + "/example-game.asm");
    const std::string line = "MUSICRAM equ $E8";
    const std::size_t at = text.find(line);
    if (at != std::string::npos) {
        char place[8];
        std::snprintf(place, sizeof place, "$%02X", musicRam);
        text.replace(at + line.size() - 3, 3, place);
    }
    return text;
}

// The registers a run wrote, frame by frame, as the engine model tells its own.
std::vector<FrameRegs> framesOf(const RomRun& run)
{
    std::vector<FrameRegs> frames;
    FrameRegs regs;
    for (const RomFrame& frame : run.frames) {
        for (const RomWrite& write : frame.writes) {
            std::uint8_t* value[3] = {regs.audc, regs.audf, regs.audv};
            value[write.reg][write.channel] = std::uint8_t(write.value & (write.reg == 1 ? 31 : 15));
            regs.writeCycle[write.channel][write.reg] = write.cycle;
        }
        frames.push_back(regs);
    }
    return frames;
}

// Two silent song steps while Stella settles (on a busy machine its first
// seconds are uneven), then two of a tune at tempo 3,
// both channels sounding on every row in the two pure forms, a new note
// every two rows. The game writes its registers at other cycles than the
// demo that song.wav follows, so a long form would start elsewhere in its
// pattern and a note that stops would leave another step for the output's
// high-pass; the pure forms on every row sound alike wherever they start.
std::string gameSong()
{
    std::string t = "TEMPODELAY equ 3\r\nsoundTurnArray\r\n\tbyte 0,2,3,1,0,2,3,4\r\n"
                    "soundTypeArray\r\n\tbyte 4,12,4,12,4,12,4,12\r\nhatPattern\r\n\tbyte 0,0,0,0\r\n"
                    "HATSTART equ 0\r\nHATVOLUME equ 4\r\nHATPITCH equ 0\r\nHATSOUND equ 8\r\n"
                    "song1\r\n\tbyte 0,0,1,2,255\r\nsong2\r\n\tbyte 0,0,3,4,255\r\n"
                    "patternArrayH\r\n\tword 0,0,0,0\r\n";
    const int pitches[] = {12, 15, 19, 23, 9, 27, 17, 21};
    std::string chains;
    for (int channel = 0; channel < 2; ++channel) {
        t += "\tword ";
        for (int chain = 0; chain < 8; ++chain) {
            const std::string label = "G" + std::to_string(channel) + "_" + std::to_string(chain);
            t += label + (chain == 3 ? "\r\n\tword " : chain == 7 ? "\r\n" : ",");
            chains += label + "\r\n\tbyte ";
            for (int row = 8 * chain; row < 8 * chain + 8; ++row) {
                const int note = row / 2;
                const int byte = channel == 0 ? (note % 4) << 5 | pitches[note % 8]
                                              : (4 + note % 4) << 5 | pitches[(note + 3) % 8];
                chains += std::to_string(byte) + (row % 8 == 7 ? "\r\n" : ",");
            }
        }
    }
    return t + "patternArrayL\r\n" + chains;
}

class EnginePlayer : public EngineTest {
protected:
    void SetUp() override
    {
        if (const std::string missing = missingTools({"dasm"}); !missing.empty())
            GTEST_SKIP() << "not installed: " << missing << " (tools/setup.sh installs it)";
    }
    // Builds `gameText` with `songH` as game.asm in a fresh folder.
    Rom build(const std::string& name, const std::string& gameText, const std::string& songH)
    {
        const std::string folder = subFolder(name);
        testing_support::writeBytes(folder + "/game.asm", gameText);
        return assemble(folder, songH, "game.asm");
    }
    std::int64_t symbol(const Rom& rom, const std::string& name)
    {
        return dasmSymbol(rom.path.substr(0, rom.path.rfind('/')) + "/song.sym", name);
    }
};

} // namespace

TEST_F(EnginePlayer, InAGameCostsWritesAndPlaysAsTheModelWithItsRamAtTwoPlaces)
{
    // The songs of every path, and more with their tables spread over pages
    // in other ways, at tempo 1 where every frame begins a row.
    std::vector<PathsSong> songs(std::begin(kPathsSongs), std::end(kPathsSongs));
    for (unsigned seed = 100; seed < 124; ++seed)
        songs.push_back({seed, 1, seed % 3 ? 0 : 99, int(seed * 53 % 200), false, false, int(seed % 2), true});
    std::vector<int> calls;
    for (const PathsSong& song : songs) {
        const std::string text = pathsSong(song);
        const ReadResult read = readSongH(text);
        ASSERT_TRUE(read.image);
        EngineModel model(read.image);
        std::vector<FrameRegs> expected;
        std::vector<bool> rowStarts;
        for (int frame = 0; frame < kFrames; ++frame) {
            expected.push_back(model.nextFrame());
            rowStarts.push_back(frame == 0 || expected[std::size_t(frame)].row != expected[std::size_t(frame) - 1].row);
        }
        for (const int ram : {0xE8, 0xA0}) {
            SCOPED_TRACE("song " + std::to_string(song.seed) + ", MUSICRAM " + std::to_string(ram));
            const Rom rom = build("game" + std::to_string(song.seed) + "_" + std::to_string(ram), gameAt(ram), text);
            ASSERT_TRUE(rom.ok) << rom.log;
            RomOptions options{std::uint16_t(symbol(rom, "MusicPlay")), ram, ram + 16};
            const int effect = int(symbol(rom, "FXFRAMES")), every = int(symbol(rom, "FXREPEAT"));
            for (const bool fire : {false, true}) {
                SCOPED_TRACE(fire ? "fire held" : "no fire");
                options.fireFrom = fire ? 100 : -1;
                options.fireTo = fire ? kFrames - 100 : -1;
                const RomRun run = runRom(testing_support::readBytes(rom.path), kFrames, options);
                ASSERT_TRUE(run.error.empty()) << run.error;
                ASSERT_EQ(run.strays, std::vector<std::string>{});
                // Channel 2 is the effect's from each press to the music's
                // next row after the effect.
                std::vector<bool> effectOwns(kFrames, false);
                for (int press = options.fireFrom; fire && press < options.fireTo; press += every)
                    for (int frame = press; frame < kFrames && (frame < press + effect || !rowStarts[std::size_t(frame)]); ++frame)
                        effectOwns[std::size_t(frame)] = true;
                int regs[3][2] = {};
                for (int frame = 0; frame < kFrames; ++frame) {
                    const RomFrame& ran = run.frames[std::size_t(frame)];
                    ASSERT_EQ(ran.lines, song.pal ? 312 : 262) << "frame " << frame;
                    ASSERT_EQ(ran.calls.size(), 1u) << "frame " << frame;
                    calls.push_back(ran.calls.front());
                    const int mask[3] = {15, 31, 15};
                    for (const RomWrite& write : ran.writes)
                        regs[write.reg][write.channel] = write.value & mask[write.reg];
                    const FrameRegs& e = expected[std::size_t(frame)];
                    for (int channel = 0; channel < 2; ++channel) {
                        if (channel == 1 && effectOwns[std::size_t(frame)])
                            continue;
                        // A silent row writes only AUDV: after an effect,
                        // AUDC and AUDF are the effect's until the next note.
                        const bool heard = !fire || channel == 0 || e.audv[channel] > 0;
                        const int want[3] = {e.audc[channel], e.audf[channel], e.audv[channel]};
                        for (int reg = heard ? 0 : 2; reg < 3; ++reg)
                            ASSERT_EQ(regs[reg][channel], want[reg])
                                << "frame " << frame << ", register " << reg << " of channel " << channel + 1;
                    }
                }
            }
        }
    }
    std::sort(calls.begin(), calls.end());
    std::printf("[ MusicPlay ] %zu calls: worst %d cycles, median %d, least %d\n", calls.size(), calls.back(),
                calls[calls.size() / 2], calls.front());
    EXPECT_LE(calls.back(), kWorstCycles);
}

// What a game may get wrong: dasm says so plainly, and MusicPlay before
// MusicInit plays nothing.
TEST_F(EnginePlayer, BadPlacesStopDasmAndMusicPlayBeforeMusicInitIsSilent)
{
    const std::string song = pathsSong(kPathsSongs[0]);
    const struct {
        int musicRam;
        std::string extra; // added to song.h
        const char* message;
    } cases[] = {
        {0xF0, "", "player.asm: MUSICRAM is"},           // its 16 bytes would run into the stack
        {0x78, "", "player.asm: MUSICRAM is"},           // in the TIA's registers
        {0xE8, "\tds 3600, 255\r\n", "song.h is too large to fit beside the game: the ROM is"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const Rom rom = build("bad" + std::to_string(c.musicRam), gameAt(c.musicRam), song + c.extra);
        EXPECT_FALSE(rom.ok);
        EXPECT_NE(rom.log.find(c.message), std::string::npos) << rom.log;
    }

    std::string noInit = gameAt(0xE8);
    noInit.replace(noInit.find("jsr MusicInit"), 13, "nop");
    const Rom rom = build("noinit", noInit, song);
    ASSERT_TRUE(rom.ok) << rom.log;
    const RomRun run = runRom(testing_support::readBytes(rom.path), 600);
    ASSERT_TRUE(run.error.empty()) << run.error;
    for (const RomFrame& frame : run.frames) {
        EXPECT_EQ(frame.lines, 262);
        EXPECT_EQ(frame.writes.size(), 0u);
    }
}

class EngineGameInStella : public ListeningTest {
protected:
    Rom buildGame(const std::string& text, const std::string& songH)
    {
        const std::string folder = subFolder("game");
        testing_support::writeBytes(folder + "/game.asm", text);
        return assemble(folder, songH, "game.asm");
    }
};

// The example game plays the song as ostrak's song.wav plays it, row by row.
TEST_F(EngineGameInStella, SoundsRowByRowAsSongWav)
{
    const std::string song = gameSong();
    const ReadResult read = readSongH(song);
    ASSERT_TRUE(read.image && read.problems.empty()) << (read.problems.empty() ? "" : read.problems.front());
    const double seconds = 4 * 32 * 3 / 60.0;
    EngineModel model(read.image);
    std::vector<FrameRegs> frames;
    for (int frame = 0; frame < int(seconds * 60); ++frame)
        frames.push_back(model.nextFrame());
    const Rom rom = buildGame(gameAt(0xE8), song);
    ASSERT_TRUE(rom.ok) << rom.log;
    // A second more made than compared, so the last rows are found again by what follows them.
    judge(listenRowByRow(rom.path, seconds, renderAsStellaPlays(read.image, seconds + 1, stellaClock()), frames,
                         Rows{3, 60.0, {}}));
}

// With the fire button held for the whole song (the game reads it from a
// RAM byte that stays 0), the game fires its effect every FXREPEAT frames.
// Stella plays what the game writes, as the runner tells it frame by frame;
// the runner test above holds those writes to the model's (channel 1
// always, channel 2 from its next row after each effect).
TEST_F(EngineGameInStella, WithTheEffectRunningSoundsRowByRowAsTheGameWritesIt)
{
    const double seconds = 4 * 32 * 3 / 60.0;
    std::string text = gameAt(0xE8);
    const std::string fire = "INPT4   equ $0C";
    ASSERT_NE(text.find(fire), std::string::npos);
    text.replace(text.find(fire), fire.size(), "INPT4   equ $FA");
    const Rom rom = buildGame(text, gameSong());
    ASSERT_TRUE(rom.ok) << rom.log;
    const RomRun run = runRom(testing_support::readBytes(rom.path), int((seconds + 1) * 60));
    ASSERT_TRUE(run.error.empty()) << run.error;
    std::vector<FrameRegs> frames = framesOf(run);
    Audio made;
    for (const std::int16_t sample : renderFrames(frames, int(Audio::kRate), stellaClock()))
        made.samples.push_back(float(sample) / 32768.0f);
    removeSlope(made.samples);
    frames.resize(std::size_t(seconds * 60)); // a second more made than compared
    // Only the tune's steps: in the silent ones the effect alone sounds while
    // Stella settles, and its first row falls where the recording starts.
    const auto settling = [](int frame) { return frame < 2 * 32 * 3; };
    judge(listenRowByRow(rom.path, seconds, made, frames, Rows{3, 60.0, settling}));
}
