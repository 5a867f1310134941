#include "common/AtomicFile.h"
#include "SongFixture.h"
#include "common/Numbers.h"

#include <QDir>

#include <algorithm>
#include <limits>

namespace {

using song_tests::SongTest;

const std::string kPatternsHead = " ;------- Patterns Channel 1 and 2 ---------";

class SongCompileTest : public SongTest {
protected:
    // The lines between the pattern head and the silent pattern's blank line.
    std::vector<std::string> patternPart()
    {
        const auto lines = linesOf(songH());
        auto head = std::find(lines.begin(), lines.end(), kPatternsHead);
        auto mute = std::find(lines.begin(), lines.end(), "mute");
        EXPECT_NE(head, lines.end());
        EXPECT_NE(mute, lines.end());
        if (head == lines.end() || mute == lines.end() || mute - head < 2)
            return {};
        return {head + 1, mute - 1};
    }
    void generateAndCompile()
    {
        w().cmdGenAllCode->click();
        w().cmdCompileSong->click();
    }
};

TEST_F(SongCompileTest, SongCompileOpensOnlyAfterTheFirstGeneration)
{
    EXPECT_FALSE(w().cmdCompileSong->isEnabled());
    click(w().cmdCompileSong);
    EXPECT_FALSE(QFile::exists(QStringLiteral("song.h")));
    EXPECT_TRUE(launcher.started.empty());

    addRows({"0"});
    w().cmdGenAllCode->click();
    EXPECT_TRUE(w().cmdCompileSong->isEnabled());
    w().listCH1->select(0);
    w().cmdDelCh1->click();
    w().cmdGenAllCode->click();
    EXPECT_TRUE(w().cmdCompileSong->isEnabled());
}

TEST_F(SongCompileTest, EmptyListsGiveTwoEndMarkers)
{
    w().cmdGenAllCode->click();
    EXPECT_EQ(w().txtSong->text8(), "song1\r\n\r\n\tbyte 255\r\nsong2\r\n\r\n\tbyte 255");
}

TEST_F(SongCompileTest, RowsBecomeEntryPairsAndTheWindowFollowsTheLastRow)
{
    store(0, {"Zero", "", "p0", "", "", "", ""});
    store(1, {"One", "", "p1", "", "", "", ""});
    addRows({"0", "1", "0"});
    w().txtPos->setText8("12");
    w().cmdGenAllCode->click();
    const std::string expected = "song1\r\n\r\n\tbyte 1,2\r\n\tbyte 5,6\r\n\tbyte 1,2\r\n\tbyte 255\r\n"
                                 "song2\r\n\r\n\tbyte 3,4\r\n\tbyte 7,8\r\n\tbyte 3,4\r\n\tbyte 255";
    EXPECT_EQ(w().txtSong->text8(), expected);
    EXPECT_EQ(w().listCH2->selectedIndex(), 2);
    EXPECT_EQ(w().txtSongPos->text8(), "2");
    EXPECT_EQ(w().txtPos->text8(), "0");
    EXPECT_EQ(w().txtPatternA->text8(), "p0");

    // A second press replaces the text rather than adding to it.
    w().cmdGenAllCode->click();
    EXPECT_EQ(w().txtSong->text8(), expected);
}

TEST_F(SongCompileTest, RowsWithoutANumberAndHighPositionsAreWrittenAsTheyCome)
{
    w().listCH1->addRow("intro: x");
    w().listCH2->addRow("intro: x");
    addRows({"63", "2.5"});
    w().cmdGenAllCode->click();
    EXPECT_EQ(w().txtSong->text8(),
              "song1\r\n\r\n\tbyte 1,2\r\n\tbyte 253,254\r\n\tbyte 11,12\r\n\tbyte 255\r\n"
              "song2\r\n\r\n\tbyte 3,4\r\n\tbyte 255,256\r\n\tbyte 13,14\r\n\tbyte 255");
}

TEST_F(SongCompileTest, ARowTooLargeForItsEntryNumberIsWrittenInDigits)
{
    w().listCH1->addRow("1e308: x"); // as a project file may hold; 4p+1 overflows a double
    w().listCH2->addRow("1e308: x");
    w().cmdGenAllCode->click();
    const std::string largest = common::formatNumber(std::numeric_limits<double>::max());
    EXPECT_EQ(w().txtSong->text8(), "song1\r\n\r\n\tbyte " + largest + "," + largest + "\r\n\tbyte 255\r\nsong2\r\n\r\n\tbyte "
                                        + largest + "," + largest + "\r\n\tbyte 255");
}

TEST_F(SongCompileTest, MatchesTheHandWorkedWholeSong)
{
    store(0, {"A", "B", "\r\nA0\r\n\tbyte %00011111  ;0|C-4|4\r\n",
              "\r\nB0\r\n\tbyte %11111111  ;0|...|16 - Silence\r\n", "\r\n\tword A0,A0,A0,A0 ;1",
              "\r\n\tword B0,B0,B0,B0 ;3", ""});
    store(2, {"", "B", "", "\r\nB2\r\n\tbyte %00100000  ;0|G-6|6\r\n", "", "\r\n\tword B2,B2,B2,B2 ;11", ""});
    store(66, {"Z", "", "\r\nZ66\r\n\tbyte %00000000  ;0|G-6|4\r\n", "", "\r\n\tword Z66,Z66,Z66,Z66 ;265",
               "", ""});
    addRows({"0", "2"});
    w().hhKickIn->setText8("2");
    generateAndCompile();
    EXPECT_EQ(songH(), testing_support::dataFile("song/wholesong.h"));
    EXPECT_EQ(launcher.started, std::vector<std::string>{"compile.bat"});
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SongCompileTest, EmptyMemoryLeavesOneBlankLinePerPosition)
{
    generateAndCompile();
    const auto part = patternPart();
    EXPECT_EQ(part.size(), 66u);
    EXPECT_TRUE(std::all_of(part.begin(), part.end(), [](const std::string& l) { return l.empty(); }));
    const auto lines = linesOf(songH());
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "song1"), 1);
    EXPECT_EQ(lines.back(), ";eof");
}

TEST_F(SongCompileTest, OnlyPositionsBelowSixtySixAreWritten)
{
    for (int p : {65, 66, 200})
        store(p, {"", "", "PA" + std::to_string(p), "PB" + std::to_string(p), "OA" + std::to_string(p),
                  "OB" + std::to_string(p), ""});
    generateAndCompile();
    const std::string text = songH();
    for (const char* kept : {"\r\nOA65\r\nOB65\r\n", "\r\nPA65\r\nPB65\r\n\r\n\r\nmute\r\n"})
        EXPECT_NE(text.find(kept), std::string::npos) << kept;
    for (const char* dropped : {"PA66", "OB66", "PA200", "OA200"})
        EXPECT_EQ(text.find(dropped), std::string::npos) << dropped;
    EXPECT_EQ(patternPart().size(), 66u + 2u);
}

TEST_F(SongCompileTest, AOneChannelPositionWritesThatChannelThenItsBlank)
{
    store(0, {"", "", "onlyA", "", "", "orderB0", ""});
    store(1, {"", "", "", "onlyB", "orderA1", "", ""});
    generateAndCompile();
    const auto part = patternPart();
    ASSERT_GE(part.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(part.begin(), part.begin() + 4),
              (std::vector<std::string>{"onlyA", "", "onlyB", ""}));
    EXPECT_NE(songH().find(" ;Patterns in order (CH and CH2 interleved)\r\norderB0\r\norderA1\r\n\r\n"),
              std::string::npos);
}

TEST_F(SongCompileTest, KickInAndAnEditedSongOrderAreWrittenUnchanged)
{
    w().cmdGenAllCode->click();
    w().hhKickIn->setText8("2");
    w().txtSong->setText8("song1\r\n  byte 9 ; mine\r\n\r\n");
    w().cmdCompileSong->click();
    EXPECT_NE(songH().find("\r\nHATSTART equ 2\r\n\r\nHATVOLUME equ 4\r\n"), std::string::npos);
    EXPECT_NE(songH().find("HATSOUND equ 8\r\n\r\nsong1\r\n  byte 9 ; mine\r\n\r\n\r\n\r\n    ; Higher"),
              std::string::npos);
}

TEST_F(SongCompileTest, CopyCartStartsBeforeCompile)
{
    w().chkCart->setChecked(true);
    generateAndCompile();
    EXPECT_EQ(launcher.started, (std::vector<std::string>{"copycart.bat", "compile.bat"}));
    w().chkCart->setChecked(false);
    w().cmdCompileSong->click();
    EXPECT_EQ(launcher.started.back(), "compile.bat");
    EXPECT_EQ(launcher.started.size(), 3u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SongCompileTest, AMissingScriptIsReportedAndTheOtherStillStarts)
{
    const std::string missing = "Compile.bat or Copycart.bat not found.  Please ensure it is in this directory.";
    w().chkCart->setChecked(true);
    launcher.missing = {"copycart.bat"};
    generateAndCompile();
    EXPECT_EQ(messages.shown, std::vector<std::string>{missing});
    EXPECT_EQ(launcher.started, std::vector<std::string>{"compile.bat"});

    messages.shown.clear();
    launcher.missing = {"copycart.bat", "compile.bat"};
    w().cmdCompileSong->click();
    EXPECT_EQ(messages.shown, (std::vector<std::string>{missing, missing}));
    EXPECT_EQ(linesOf(songH()).back(), ";eof"); // written before the scripts
}

TEST_F(SongCompileTest, AWriteFailingPartWayKeepsTheOldSongFileAndStillBuilds)
{
    generateAndCompile();
    const std::string old = songH();
    w().hhKickIn->setText8("9");
    common::AtomicFile::injectFailureAfterLines(10);
    w().cmdCompileSong->click();
    common::AtomicFile::injectFailureAfterLines(std::nullopt);
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Ahhh shit.  Looks like you got an error code 57"});
    EXPECT_EQ(songH(), old);
    EXPECT_EQ(launcher.started, (std::vector<std::string>{"compile.bat", "compile.bat"})); // still builds
}

TEST_F(SongCompileTest, UncreatableSongFileReportsEachWriteAndStillBuilds)
{
    QDir().mkdir(QStringLiteral("song.h"));
    w().chkCart->setChecked(true);
    generateAndCompile();
    // One message for the open, then one per write of the layout with an
    // empty memory: 42 lines up to the pattern head, 66 blanks, 8 to the end.
    ASSERT_EQ(messages.shown.size(), 1u + 42u + 66u + 8u);
    EXPECT_EQ(messages.shown.front(), "Ahhh shit.  Looks like you got an error code 75");
    EXPECT_TRUE(std::all_of(messages.shown.begin() + 1, messages.shown.end(), [](const std::string& m) {
        return m == "Problem writing to file... you may need to press ok a few times!";
    }));
    EXPECT_EQ(launcher.started, (std::vector<std::string>{"copycart.bat", "compile.bat"}));
}

} // namespace
