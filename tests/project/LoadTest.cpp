// Loading: texts come back exactly, the song order too, the undo copy, and
// the messages of a missing file or a foreign header.
#include "ProjectFixture.h"

using namespace testing_support;

namespace {
// Texts that a joining rule could easily bend: trailing and leading breaks,
// empty lines, an empty text, a lone LF, tabs and 8-bit bytes.
void fillAwkwardTexts(ostrak::WorkingMemory& m)
{
    m.put(0, {"Pos0_C1_", "Pos0_C2_", "\tbyte %00000001\r\n", "\tbyte %00000010", "", "\r\n", "x\r\n\r\ny"});
    m.put(1, {"", "", "\r\n", "\r\n\r\n", "\r\nlead", "a\nb", "\xe9\xff\t\x01"});
    m.put(64, {"last", "\xa0", "p", "q\r\n", "r", "s", ""});
}
} // namespace

TEST_F(ProjectTest, SaveLoadSaveGivesBackEveryTextAndTheSameBytes)
{
    fillAwkwardTexts(memory());
    const std::vector<std::string> before = stored();
    save("a.osk");
    memory().ClearMemory();
    load("a.osk");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(stored(), before);
    save("b.osk");
    EXPECT_EQ(readBytes(folder.file("b.osk")), readBytes(folder.file("a.osk")));
}

TEST_F(ProjectTest, LoadingTheHandWorkedFileGivesItsTextsAndLogsEachBlock)
{
    writeBytes(folder.file("song.osk"), dataFile("project/one-pattern.osk"));
    load("song.osk");
    EXPECT_TRUE(messages.shown.empty());
    const ostrak::PatternTexts t = memory().at(3);
    EXPECT_EQ(t.nameA, "Intro");
    EXPECT_EQ(t.patternA, "\tbyte %00011111\r\n\tbyte %11111111");
    EXPECT_EQ(t.patternB, "line\r\n");
    EXPECT_EQ(t.orderB, "a\r\n\r\nb");
    EXPECT_EQ(t.paste, "ModPlug Tracker  IT\r\n|C-501");
    EXPECT_TRUE(emptyFrom(4));

    const std::string log = files().txtLog->text8();
    EXPECT_EQ(log.rfind("READING file...\r\nFound position:  0  -- EMPTY\r\nFound position:  1  -- EMPTY", 0), 0u);
    EXPECT_NE(log.find("\r\nFound position:  3 \r\n  + Loading Patt Names :  3 \r\n  + Loading Patterns :  3 \r\n"
                       "  + Loading Patt Order :  3 \r\n  + Loading original input :  3 \r\n  - Found end marker 3 "
                       "\r\nFound position:  4  -- EMPTY"),
              std::string::npos);
    EXPECT_TRUE(log.ends_with("\r\nFound position:  64  -- EMPTY"));
    EXPECT_EQ(files().BoxSave->widthUnits(), 6400);
}

TEST_F(ProjectTest, LoadingRebuildsTheSongOrderFromTheLoadedNames)
{
    memory().put(3, {"Verse", "Bass", "p", "", "", "", ""});
    addRowToBoth("3: Verse", "3: Bass");
    addRowToBoth("2.5: old", "2.5: old"); // a typed fraction keeps its number, named from position 2
    addRowToBoth("40: ", "40: ");
    save("song.osk");
    memory().StoreNameA[2] = "ignored";
    w().listCH1->select(0);

    load("song.osk");
    EXPECT_EQ(rows(w().listCH1), (std::vector<std::string>{"3: Verse", "2.5: ", "40: "}));
    EXPECT_EQ(rows(w().listCH2), (std::vector<std::string>{"3: Bass", "2.5: ", "40: "}));
    EXPECT_EQ(w().listCH1->selectedIndex(), -1);

    // A file that ends before the song order keeps the lists as they are.
    std::string bytes = readBytes(folder.file("song.osk"));
    writeBytes(folder.file("short.osk"), bytes.substr(0, bytes.find(";@@@SONGORDER-CH2")));
    w().listCH1->addRow("9: kept");
    w().listCH2->addRow("9: kept");
    load("short.osk");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(rows(w().listCH1).back(), "9: kept");
    EXPECT_EQ(memory().StoreNameB[3], "Bass");
}

TEST_F(ProjectTest, UndoGivesBackTheMemoryBeforeTheLastLoadOnly)
{
    memory().put(5, {"unsaved", "", "x", "", "", "", ""});
    undo(); // before any load the undo copy is empty, so undoing empties the memory
    EXPECT_TRUE(emptyFrom(0));

    memory().put(7, {"first", "", "x", "", "", "", ""});
    save("one.osk");
    memory().put(7, {"second", "", "y", "", "", "", ""});
    memory().put(200, {"high", "", "z", "", "", "", ""});
    save("two.osk");
    load("one.osk");
    EXPECT_TRUE(emptyFrom(65));
    load("two.osk");
    undo();
    EXPECT_EQ(memory().StoreNameA[7], "first");
    EXPECT_TRUE(emptyFrom(65));
}

TEST_F(ProjectTest, AHeaderWithALeadingSpaceIsNotAProjectFile)
{
    memory().put(2, {"mine", "", "x", "", "", "", ""});
    const std::vector<std::string> before = stored();
    std::string bytes = dataFile("project/empty.osk");
    writeBytes(folder.file("song.osk"), " " + bytes);
    load("song.osk");
    EXPECT_EQ(messages.shown, std::vector<std::string>{kNoHeader});
    EXPECT_TRUE(emptyFrom(0));
    undo();
    EXPECT_EQ(stored(), before);
}

TEST_F(ProjectTest, AMissingFileShowsOneMessageOrThreeWhenRetrying)
{
    memory().put(2, {"mine", "", "x", "", "", "", ""});
    const std::vector<std::string> before = stored();
    load("missing.osk");
    EXPECT_EQ(messages.shown, std::vector<std::string>{kNotFound});
    EXPECT_TRUE(emptyFrom(0));
    EXPECT_EQ(stored(true), before);

    messages.shown.clear();
    files().tickRecover->setChecked(true);
    undo();
    load("missing.osk");
    EXPECT_EQ(messages.shown, (std::vector<std::string>{kNotFound, kNotOpen, kNoHeader}));
    undo();
    EXPECT_EQ(stored(), before);
}

TEST_F(ProjectTest, ASongOrderNumberTooLargeForANumberLoadsAsAHugePosition)
{
    save("song.osk");
    std::string bytes = readBytes(folder.file("song.osk"));
    const std::string order = ";@@@SONGORDER-CH1\r\n";
    bytes.replace(bytes.find(order), std::string::npos, order + " 1e999 \r\n;@@@SONGORDER-CH2\r\n -1e999 \r\n;@@@eof\r\n");
    writeBytes(folder.file("huge.osk"), bytes);
    load("huge.osk");
    ASSERT_EQ(w().listCH1->count(), 1);
    // The largest number there is, in plain digits, not "inf" (which reads as 0).
    const std::string row = w().listCH1->rowText(0);
    EXPECT_EQ(row.size(), 309u + 2u);
    EXPECT_EQ(row.rfind("179769313486231570814527423731704356798070567525844996598917476803157260780028538760589558632766878"
                        "171540458953514382464234321326889464182768467546703537516986049910576551282076245490090389328944"
                        "07586850845513394230458323690322294816580855933212334827479782620414472316873817718091929988125040"
                        "4026184124858368: ", 0), 0u);
    EXPECT_EQ(w().listCH2->rowText(0), "-" + row);
    w().listCH1->select(0);
    EXPECT_EQ(w().txtPos->text8(), "255"); // as the largest position, like a typed 1e999
}
