// The song.h reader on what ostrak's writers produce and on what a user may type.
#include "support/TestSupport.h"
#include "sound/SongImage.h"

#include <gtest/gtest.h>

using namespace ostrak::sound;

namespace {

std::vector<std::uint8_t> bytesAt(const SongImage& image, const std::string& label, int count)
{
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < count; ++i)
        bytes.push_back(image.read(std::uint16_t(*image.symbol(label) + i)));
    return bytes;
}

int wordAt(const SongImage& image, std::int64_t address)
{
    return image.read(std::uint16_t(address)) | image.read(std::uint16_t(address + 1)) << 8;
}

bool mentions(const std::vector<std::string>& problems, const std::string& text)
{
    for (const std::string& problem : problems)
        if (problem.find(text) != std::string::npos)
            return true;
    return false;
}

std::string joined(const std::vector<std::string>& problems)
{
    std::string all;
    for (const std::string& problem : problems)
        all += problem + "\n";
    return all;
}

} // namespace

TEST(SongReader, LaysOutThePreviewAndTheWholeSongAsDasmDoes)
{
    const ReadResult preview = readSongH(testing_support::dataFile("song/preview.h"));
    ASSERT_TRUE(preview.image) << joined(preview.problems);
    EXPECT_TRUE(preview.problems.empty()) << joined(preview.problems);
    const SongImage& p = *preview.image;
    EXPECT_EQ(p.symbol("TEMPODELAY"), 5);
    EXPECT_EQ(p.symbol("HATSOUND"), 8);
    EXPECT_EQ(p.symbol("soundTurnArray"), kSongBase) << "the first byte of song.h";
    EXPECT_EQ(bytesAt(p, "soundTypeArray", 8), (std::vector<std::uint8_t>{4, 6, 7, 8, 14, 15, 1, 12}));
    EXPECT_EQ(bytesAt(p, "hatPattern", 4), (std::vector<std::uint8_t>{0x88, 0x88, 0x88, 0x88}));
    EXPECT_EQ(bytesAt(p, "song1", 5), (std::vector<std::uint8_t>{1, 2, 1, 2, 255}));
    // "word Pos0_C1_0," is the chain and a 0: entry 1 is two chains and two gaps.
    const std::int64_t entry1 = *p.symbol("patternArrayH") + 8;
    EXPECT_EQ(wordAt(p, entry1), *p.symbol("Pos0_C1_0"));
    EXPECT_EQ(wordAt(p, entry1 + 2), 0);
    EXPECT_EQ(wordAt(p, entry1 + 4), *p.symbol("Pos0_C2_0"));
    EXPECT_EQ(*p.symbol("patternArrayL") - *p.symbol("patternArrayH"), 16);
    EXPECT_EQ(bytesAt(p, "Pos0_C1_0", 3), (std::vector<std::uint8_t>{0x13, 0x13, 0xDC}));
    EXPECT_EQ(*p.symbol("mute") + 9, std::int64_t(p.base + p.bytes.size())) << "mute's nine bytes end it";

    // Forward references (song1 names entries whose words come later) and the
    // whole song's blank runs.
    const ReadResult whole = readSongH(testing_support::dataFile("song/wholesong.h"));
    ASSERT_TRUE(whole.image) << joined(whole.problems);
    EXPECT_TRUE(whole.problems.empty()) << joined(whole.problems);
    EXPECT_EQ(wordAt(*whole.image, *whole.image->symbol("patternArrayH") + 8), *whole.image->symbol("A0"));
    EXPECT_EQ(bytesAt(*whole.image, "B2", 1), std::vector<std::uint8_t>{0x20});
}

TEST(SongReader, TellsWhatDasmWouldRejectWithLineAndText)
{
    // Lone CR line ends, a fraction, a byte above 255, an unknown label, a
    // label used twice, a line that is no data, an empty item in the middle.
    std::string text = testing_support::dataFile("song/preview.h");
    text.replace(text.find("TEMPODELAY equ 5"), 16, "TEMPODELAY equ 2.5");
    text.replace(text.find("    byte 1,2\r\n    byte 1,2"), 12, "    byte 1,300");
    text.replace(text.find("word Pos0_C2_0,"), 15, "word Pos0_C3_0,");
    text.replace(text.find("\tbyte %11000111  ;3"), 16, "\tbyte %1x0");
    text += "mute\r\n\tlda #3\r\n\tbyte 1,,2\r\n";
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;)
        text.erase(at + 1, 1);

    const ReadResult result = readSongH(text);
    ASSERT_TRUE(result.image) << "it still plays";
    const auto& problems = result.problems;
    EXPECT_TRUE(mentions(problems, "line 5: \"TEMPODELAY equ 2.5\": 2.5 has a fraction")) << joined(problems);
    EXPECT_TRUE(mentions(problems, "line 29: \"    byte 1,300\": the byte value 300 is above 255")) << joined(problems);
    EXPECT_TRUE(mentions(problems, "unknown label Pos0_C3_0")) << joined(problems);
    EXPECT_TRUE(mentions(problems, "line 63: \"\tbyte %1x0")) << joined(problems);
    EXPECT_TRUE(mentions(problems, "mute is defined twice")) << joined(problems);
    EXPECT_TRUE(mentions(problems, "\"lda\" is not byte, word or equ")) << joined(problems);
    EXPECT_TRUE(mentions(problems, "an empty value between commas")) << joined(problems);
    EXPECT_EQ(result.image->symbol("TEMPODELAY"), 2);
    EXPECT_EQ(bytesAt(*result.image, "song1", 2), (std::vector<std::uint8_t>{1, 300 & 255}));

    // The start-up song order has no song1: nothing to play.
    const ReadResult noSong = readSongH("song2\r\n\tbyte 255\r\n");
    EXPECT_FALSE(noSong.image);
    EXPECT_TRUE(mentions(noSong.problems, "song.h: song1 is missing")) << joined(noSong.problems);
    EXPECT_TRUE(readSongH("").problems.size() >= 12u);
    EXPECT_TRUE(mentions(readSongH("A equ B\r\nB equ A\r\n").problems, "defined through itself"));
}

TEST(SongReader, ReadsHugeTextsAndSaysTheyDoNotFit)
{
    // 100,000 lines, each a problem or a byte: the problems are capped and the
    // song is too large for the ROM, so nothing plays.
    std::string text;
    for (int i = 0; i < 50000; ++i)
        text += "\tbyte 1,2,3\r\n\tbyte nowhere\r\n";
    const ReadResult result = readSongH(text);
    EXPECT_FALSE(result.image);
    EXPECT_TRUE(mentions(result.problems, "song.h is too large: the ROM is ")) << result.problems.front();
    EXPECT_TRUE(mentions(result.problems, "more problems"));
    EXPECT_LE(result.problems.size(), 120u);

    // A 5 MB pattern field on one line.
    const ReadResult line = readSongH("\tbyte " + std::string(5'000'000, '1'));
    EXPECT_FALSE(line.image);
    EXPECT_FALSE(line.problems.empty());
}

// Lines a user may type, with what dasm 2.20 makes of them inside engine.asm
// (each found by assembling it): the bytes between T and TEND, or a refusal.
TEST(SongReader, FollowsDasmOnLinesAUserMayType)
{
    const std::string song = testing_support::dataFile("song/preview.h");
    // A chain of `depth` equates, each naming the next one, used before all.
    auto chain = [](int depth) {
        std::string text = "\tbyte E0\r\n";
        for (int e = 0; e < depth; ++e)
            text += "E" + std::to_string(e) + " equ E" + std::to_string(e + 1) + "\r\n";
        return text + "E" + std::to_string(depth) + " equ 5";
    };
    const struct {
        std::string lines;
        std::vector<std::uint8_t> bytes; // empty with `rejected`
        bool rejected = false;
    } cases[] = {
        {"\tbyte   ;0|...|0", {0}},       {"\tbyte %", {0}},           {"\tbyte 00111", {73}},
        {"\tbyte 011,0x1f,$1F,%101", {9, 31, 31, 5}},                  {"\tbyte 086", {}, true},
        {"\tbyte 092", {}, true},         {"\tbyte 1.5", {}, true},    {"\tbyte 300", {}, true},
        {"\tbyte -1,-255", {255, 1}},     {"\tbyte -256", {}, true},   {"\tbyte 1,", {1, 0}},
        {"\tbyte ,1", {}, true},          {"\tbyte 1,x", {1}},         {"\tbyte 1 2", {}, true},
        {"\tdc.w 3\r\n\tdc.s 3\r\n\tlong 3", {3, 0, 0, 3, 3, 0, 0, 0}}, {"\tbyte 'a,\"ab\"", {97, 97, 98}},
        {"\tbyte [1+2]*3,(1+2)*3,1+2*3,~0,!5,7%0,1<<65", {9, 9, 7, 255, 0, 7, 2}},
        {"\tbyte <.,>T", {0x5C, 0xF2}},   {"\tbyte 5/0", {}, true},    {"\tbyte nowhere", {}, true},
        {"\tbyte 0 && nowhere", {0}},     {"\tbyte song1", {}, true},  {"\tbyte AUDC0,<.done", {0x15, 0xF3}},
        {"AUDC0 equ $15", {}},            {"AUDC0 equ 3", {}, true},   {"X equ X", {}},
        {"X equ 5\r\nX equ 5\r\n\tbyte X", {5}},                       {"X equ 5\r\nX = 6", {}, true},
        {"A\r\nA:\r\n\tbyte 1", {1}},     {"A\r\n\tbyte 1\r\nA", {}, true},
        {chain(8), {5}},                  {chain(9), {}, true},        {"\tlda #3", {}, true},
    };
    for (const auto& c : cases) {
        const ReadResult read = readSongH(song + "T\r\n" + c.lines + "\r\nTEND\r\n");
        ASSERT_TRUE(read.image) << c.lines;
        EXPECT_EQ(!read.problems.empty(), c.rejected) << c.lines << "\n" << joined(read.problems);
        if (!c.rejected) {
            const int size = int(*read.image->symbol("TEND") - *read.image->symbol("T"));
            EXPECT_EQ(bytesAt(*read.image, "T", size), c.bytes) << c.lines;
        }
    }
}
