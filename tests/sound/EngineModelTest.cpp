// The engine model on small hand-written songs: what engine.asm does with
// tempo, volume steps, silence, wrapping orders, the hi-hat and bad data.
#include "sound/SongImage.h"

#include <gtest/gtest.h>

using namespace ostrak::sound;

namespace {

// A song.h with one chain per entry row set: `chains` are the eight row bytes of A, B.
std::string song(const std::string& tempo, const std::string& order1, const std::string& order2,
                 const std::string& hat = "HATSTART equ 255\r\nHATVOLUME equ 4\r\n")
{
    return "TEMPODELAY equ " + tempo +
           "\r\nsoundTurnArray\r\n\tbyte 0,4,8,12,13,255,3,0\r\n"
           "soundTypeArray\r\n\tbyte 4,1,6,12,14,8,20,4\r\n"
           "hatPattern\r\n\tbyte %10000000,0,0,%00000001\r\n" +
           hat + "HATPITCH equ 3\r\nHATSOUND equ 8\r\n"
           "song1\r\n\tbyte " + order1 + "\r\nsong2\r\n\tbyte " + order2 +
           "\r\npatternArrayH\r\n\tword 0,0,0,0\r\n\tword A,B,A,B\r\n\tword B,\r\n\tword B,\r\n"
           "patternArrayL\r\nA\r\n\tbyte 5,$25,$45,$65,$85,$A5,$C5,255\r\n"
           "B\r\n\tbyte $E7,$E7,255,255,255,255,255,255\r\n";
}

std::vector<FrameRegs> play(const std::string& text, int frames, EngineModel** keep = nullptr)
{
    const ReadResult read = readSongH(text);
    EXPECT_TRUE(read.image) << (read.problems.empty() ? "" : read.problems.front());
    static std::unique_ptr<EngineModel> model;
    model = std::make_unique<EngineModel>(read.image);
    if (keep)
        *keep = model.get();
    std::vector<FrameRegs> out;
    for (int i = 0; i < frames; ++i)
        out.push_back(model->nextFrame());
    return out;
}

} // namespace

TEST(EngineModel, RowsFollowTheTempoAndTheVolumeTable)
{
    const auto frames = play(song("3", "1,255", "2,255"), 3 * 32 + 1);
    // Row r lasts frames 3r to 3r+2; A's row bytes pick slots 0-6 at pitch 5.
    const int expectedAudv[7] = {15, 10, 5, 0, 0, 0, 11}; // steps 0, 4, 8, 12, 13, 255, 3
    const int expectedAudc[7] = {4, 1, 6, 12, 14, 8, 4};  // 20 is AUDC 4 to the TIA
    for (int row = 0; row < 7; ++row) {
        for (int f = 3 * row; f < 3 * row + 3; ++f) {
            SCOPED_TRACE("frame " + std::to_string(f));
            EXPECT_EQ(frames[f].row, row);
            EXPECT_EQ(frames[f].step, 0);
            EXPECT_EQ(frames[f].audv[0], expectedAudv[row]);
            EXPECT_EQ(frames[f].audc[0], expectedAudc[row]);
            EXPECT_EQ(frames[f].audf[0], 5);
        }
    }
    EXPECT_EQ(frames[21].audv[0], 0) << "255 is silence";
    EXPECT_EQ(frames[21].audc[0], 4) << "and leaves AUDC as it was";
    // Entry 2 is "word B," twice: chain B, then a 0 (silent), B, 0.
    EXPECT_EQ(frames[0].audf[1], 7);
    EXPECT_EQ(frames[0].audc[1], 4) << "slot 7";
    EXPECT_EQ(frames[8 * 3].audv[1], 0) << "chain address 0";
    EXPECT_EQ(frames[96].step, 1);
    EXPECT_EQ(frames[96].row, 0);

}

// Frames a row: TEMPODELAY clamped to 1-255, and one frame more whenever the
// rows' TEMPOFRAC (256ths, clamped to 0-255) carries past a whole frame.
TEST(EngineModel, RowsStartWhereTheTempoAndItsFractionSay)
{
    const struct {
        const char* tempo;
        std::vector<int> rowFrames; // of the first rows
    } cases[] = {
        {"0", {1, 1, 1}},
        {"1000", {255, 255}},
        {"2\r\nTEMPOFRAC equ 128", {2, 3, 2, 3}},
        {"7\r\nTEMPOFRAC equ 51", {7, 7, 7, 7, 7, 8, 7, 7, 7, 7, 8}}, // 7.2: 51 * 5 = 255, the sixth row carries
        {"1\r\nTEMPOFRAC equ 179", {1, 2, 2, 1, 2, 2, 1}},
        {"255\r\nTEMPOFRAC equ 255", {255, 256, 256}},             // 255 and a carry: 256 frames
        {"3\r\nTEMPOFRAC equ 300", {3, 4, 4, 4}},                  // 255 at most
        {"3\r\nTEMPOFRAC equ -5", {3, 3, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tempo);
        int total = 0;
        for (const int length : c.rowFrames)
            total += length;
        const auto frames = play(song(c.tempo, "1,255", "1,255"), total + 1);
        int at = 0;
        for (std::size_t row = 0; row < c.rowFrames.size(); ++row) {
            EXPECT_EQ(frames[std::size_t(at)].row, int(row)) << "first frame of row " << row;
            at += c.rowFrames[row];
            EXPECT_EQ(frames[std::size_t(at - 1)].row, int(row)) << "last frame of row " << row;
        }
        EXPECT_EQ(frames[std::size_t(at)].row, int(c.rowFrames.size()));
    }
}

TEST(EngineModel, OrdersWrapOnTheirOwnAndBadEntriesAreSilent)
{
    EngineModel* model = nullptr;
    // Channel 1: entry 1, entry 9 (past the table: silent), wrap. Channel 2:
    // 1, 200 (read from patternArrayL + 576: past song.h, zeros, a chain in
    // page 0), 1, wrap.
    const auto frames = play(song("1", "1,9,255", "1,200,1,255"), 32 * 3, &model);
    auto audvAt = [&](int step, int channel) { return frames[32 * step].audv[channel]; };
    EXPECT_GT(audvAt(0, 0), 0);
    EXPECT_EQ(audvAt(1, 0), 0);
    EXPECT_GT(audvAt(2, 0), 0) << "channel 1 wrapped after two steps";
    EXPECT_GT(audvAt(0, 1), 0);
    EXPECT_EQ(audvAt(1, 1), 0) << "entry 200 reads zeros";
    EXPECT_GT(audvAt(2, 1), 0);
    EXPECT_FALSE(model->passDone()) << "channel 2 has not wrapped yet";
    const FrameRegs step3 = model->nextFrame();
    EXPECT_EQ(step3.step, 3);
    EXPECT_EQ(step3.audv[0], 0) << "channel 1 is at entry 9 again";
    EXPECT_GT(step3.audv[1], 0) << "channel 2 starts again";
    EXPECT_TRUE(model->passDone());

    // An order of only 255 is silent for ever and counts as done; so does one
    // without any end marker after it.
    const auto silent = play(song("1", "255", "255"), 40, &model);
    EXPECT_TRUE(model->passDone());
    for (const FrameRegs& frame : silent)
        EXPECT_EQ(frame.audv[0] + frame.audv[1], 0);
    std::string noMarker = song("1", "1", "1");
    for (std::size_t at = noMarker.find("song1"); (at = noMarker.find("255", at)) != std::string::npos;)
        noMarker.replace(at, 3, "0");
    play(noMarker, 2000, &model);
    EXPECT_TRUE(model->passDone());
    // A whole song of more than 32 positions: entry 129 lies within
    // patternArrayH's table, so it is read there (chain A), not from patternArrayL.
    std::string longSong = song("1", "129,255", "255");
    std::string entries;
    for (int entry = 3; entry < 129; ++entry) // "word B," twice makes entry 2
        entries += "\tword 0,0,0,0\r\n";
    longSong.insert(longSong.find("patternArrayL"), entries + "\tword A,A,A,A\r\n");
    const auto longFrames = play(longSong, 2);
    EXPECT_EQ(longFrames[0].audf[0], 5);
    EXPECT_EQ(longFrames[1].audc[0], 1);
    // No image at all plays silence.
    EngineModel none(nullptr);
    EXPECT_EQ(none.nextFrame().audv[0], 0);
}

TEST(EngineModel, HiHatFromTheKickInStepDecaysByOneAFrame)
{
    // HATVOLUME 21: only its low four bits (5) count. Steps 0-31 set: 0 and 31.
    const auto frames =
        play(song("6", "1,255", "1,255", "HATSTART equ 1\r\nHATVOLUME equ 21\r\n"), 6 * 32 * 2);
    EXPECT_EQ(frames[0].audc[1], 4) << "no hi-hat before step 1";
    const int bar = 6 * 32;
    for (int f = 0; f < 6; ++f) {
        EXPECT_EQ(frames[bar + f].audc[1], 8);
        EXPECT_EQ(frames[bar + f].audf[1], 3);
        EXPECT_EQ(frames[bar + f].audv[1], std::max(0, 5 - f)) << "frame " << f;
    }
    EXPECT_EQ(frames[bar + 6].audv[1], 10) << "row 1 is channel 2's own again";
    EXPECT_EQ(frames[bar + 6].audc[1], 1);
    EXPECT_EQ(frames[bar + 6 * 31].audc[1], 8) << "hi-hat step 31";
    EXPECT_GT(frames[bar].audv[0], 0) << "channel 1 plays on";
}
