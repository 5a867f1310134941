// "Pack repeats" and the ROM use: repeated chains named once, the packed song
// playing as the written one, and the window telling whether a song fits.
#include "SongFixture.h"
#include "song/SongPack.h"
#include "sound/SongImage.h"
#include "sound/Sound.h"

#include <gtest/gtest.h>

using namespace ostrak;
using song_tests::SongTest;

namespace {

SongLines linesOf(const std::string& text) { return {SongLine{text.substr(0, text.size() - 2)}}; }

std::vector<sound::FrameRegs> onePass(const std::string& text)
{
    const sound::ReadResult read = sound::readSongH(text);
    EXPECT_TRUE(read.image && read.problems.empty()) << (read.problems.empty() ? "" : read.problems.front());
    std::vector<sound::FrameRegs> frames;
    if (!read.image)
        return frames;
    sound::EngineModel model(read.image);
    while (!model.passDone() && frames.size() < 100000)
        frames.push_back(model.nextFrame());
    return frames;
}

bool sameFrames(const std::vector<sound::FrameRegs>& a, const std::vector<sound::FrameRegs>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return std::equal(x.audc, x.audc + 2, y.audc) && std::equal(x.audf, x.audf + 2, y.audf) &&
               std::equal(x.audv, x.audv + 2, y.audv) && x.step == y.step && x.row == y.row;
    });
}

} // namespace

TEST(PackRepeats, NamesARepeatedChainOnceAndPlaysTheSame)
{
    // The preview's first chain again: once in other number forms and
    // comments (the same to dasm), once with ten lines, once with seven; a
    // sequence entry plays the repeat.
    std::string song = testing_support::dataFile("song/preview.h");
    const std::size_t chain = song.find("Pos0_C1_0\r\n");
    const std::string nine = song.substr(chain + 11, song.find("\r\n\r\n", chain) + 2 - chain - 11);
    std::string repeat = "Again ; the same\r\n";
    for (const char* value : {"19", "$13", "%11011100", "$C7 ;3", "199", "%11100111", "231", "77", "0"})
        repeat += std::string("\tbyte ") + value + "\r\n";
    song += repeat + "Ten\r\n" + nine + "\tbyte 0\r\nShort\r\n" + nine.substr(0, nine.find("\tbyte %11100111  ;6"));
    song.replace(song.find("word Pos0_C1_0,"), 15, "word Again,Pos0_C1_0");

    const std::string packed = songFileText(packRepeats(linesOf(song)));
    EXPECT_NE(packed.find("\r\nAgain equ Pos0_C1_0\r\nTen\r\n" + nine + "\tbyte 0\r\nShort\r\n"), std::string::npos)
        << packed;
    EXPECT_EQ(packed.find("\tbyte $13"), std::string::npos);
    EXPECT_EQ(sound::readSongH(packed).romBytes + 9, sound::readSongH(song).romBytes);
    EXPECT_TRUE(sameFrames(onePass(packed), onePass(song)));

    // A label typed twice is left as it stands.
    const std::string twice = song + repeat;
    EXPECT_EQ(songFileText(packRepeats(linesOf(twice))), twice);
}

TEST_F(SongTest, PackRepeatsFitsALongSongAndTheRomUseSaysSo)
{
    EXPECT_FALSE(w().chkPack->isChecked());
    // 66 positions of one pattern: far over the ROM as written, the repeats
    // of one position when packed.
    for (int p = 0; p < kSongPositions; ++p) {
        w().txtPos->setText8(std::to_string(p));
        w().txtIn->setText8(testing_support::dataFile("pastes/it_64rows_4ch.txt"));
        w().cmdBang->click();
    }
    w().cmdGenAllCode->click();
    w().txtSong->setText8("song1\r\n\tbyte 1,2,255\r\nsong2\r\n\tbyte 3,4,255");
    const std::string written = w().lblRomUse->text().toStdString();
    EXPECT_EQ(written.rfind("ROM: ", 0), 0u) << written;
    // The room is what the engine's code leaves before the vectors.
    const std::uint32_t room = ostrak::sound::kRomEnd - ostrak::sound::kSongBase;
    const std::string hundreds = std::to_string(room % 1000);
    const std::string roomText = std::to_string(room / 1000) + "," + std::string(3 - hundreds.size(), '0') + hundreds;
    EXPECT_NE(written.find(" of " + roomText + " bytes"), std::string::npos) << written;
    EXPECT_NE(w().lblRomUse->styleSheet().indexOf(QStringLiteral("red")), -1);

    w().cmdCompileSong->click();
    const std::string log = w().txtLog->text8();
    EXPECT_NE(log.find("bytes too large for the ROM"), std::string::npos) << log;
    EXPECT_NE(log.find("Pack repeats would make it fit"), std::string::npos) << log;
    w().cmdPlaySong->click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find("Pack repeats would make it fit"), std::string::npos) << messages.shown[0];

    w().chkPack->setChecked(true);
    EXPECT_EQ(w().lblRomUse->styleSheet().indexOf(QStringLiteral("red")), -1) << w().lblRomUse->text().toStdString();
    w().cmdCompileSong->click();
    EXPECT_NE(songH().find("Pos65_C2_7 equ Pos0_C2_"), std::string::npos);
    EXPECT_EQ(sound::readSongH(songH()).problems.size(), 0u);
}
