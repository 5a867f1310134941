#include "support/OstrakFixture.h"

using namespace ostrak;
using testing_support::OstrakTest;

namespace {
PatternTexts sample(const std::string& tag)
{
    return {tag + "A", tag + "B", "\r\nPA\r\n\tbyte %1\r\n", "PB\r\n", "\r\n\tword " + tag, "OB", "|paste\r\n" + tag};
}
} // namespace

class Memory : public OstrakTest {
protected:
    void fill(const PatternTexts& t)
    {
        w().txtNameA->setText8(t.nameA);
        w().txtNameB->setText8(t.nameB);
        w().txtPatternA->setText8(t.patternA);
        w().txtPatternB->setText8(t.patternB);
        w().txtOrderA->setText8(t.orderA);
        w().txtOrderB->setText8(t.orderB);
        w().txtIn->setText8(t.paste);
    }
    PatternTexts shown()
    {
        return {w().txtNameA->text8(), w().txtNameB->text8(), w().txtPatternA->text8(), w().txtPatternB->text8(),
                w().txtOrderA->text8(), w().txtOrderB->text8(), w().txtIn->text8()};
    }
};

bool operator==(const PatternTexts& a, const PatternTexts& b)
{
    return a.nameA == b.nameA && a.nameB == b.nameB && a.patternA == b.patternA && a.patternB == b.patternB &&
           a.orderA == b.orderA && a.orderB == b.orderB && a.paste == b.paste;
}

TEST_F(Memory, TypingAnEmptyPositionEmptiesTheFieldsAndMarksThemStored)
{
    type(w().txtPos, "7");
    EXPECT_TRUE(shown() == PatternTexts{});
    EXPECT_EQ(w().txtNameA->backColor(), kColourStored);
    EXPECT_EQ(w().txtNameB->backColor(), kColourStored);
}

TEST_F(Memory, SaveThenMoveAwayAndBackShowsTheTextsUnchanged)
{
    type(w().txtPos, "3");
    fill(sample("three"));
    click(w().cmdSave);
    EXPECT_EQ(w().txtLog->text8(), "Saving Pattern");
    type(w().txtPos, "4");
    EXPECT_TRUE(shown() == PatternTexts{});
    type(w().txtPos, "3");
    EXPECT_TRUE(shown() == sample("three"));
    EXPECT_TRUE(memory().at(3) == sample("three"));
    EXPECT_TRUE(memory().at(4) == PatternTexts{});
}

TEST_F(Memory, AHugePasteWithOddLineBreaksIsStoredAndShownExactly)
{
    std::string paste;
    while (paste.size() < 5'000'000)
        paste += "|C-504......|G-606......\r\n\rlone cr\nlone lf\t\xE9";
    PatternTexts t = sample("big");
    t.paste = paste;
    fill(t);
    click(w().cmdSave);
    type(w().txtPos, "1");
    type(w().txtPos, "0");
    EXPECT_TRUE(shown() == t);
}

TEST_F(Memory, PositionFieldIsClampedAndRounded)
{
    memory().put(2, sample("two"));
    memory().put(4, sample("four"));
    memory().put(255, sample("last"));
    type(w().txtPos, "300");
    EXPECT_EQ(w().txtPos->text8(), "255");
    EXPECT_TRUE(shown() == sample("last"));
    type(w().txtPos, "-2");
    EXPECT_EQ(w().txtPos->text8(), "0");
    type(w().txtPos, "2.5");
    EXPECT_EQ(w().txtPos->text8(), "2.5");
    EXPECT_EQ(app->memory().CurrentPosition(), 2);
    EXPECT_TRUE(shown() == sample("two"));
    type(w().txtPos, "3.5");
    EXPECT_EQ(app->memory().CurrentPosition(), 4);
    EXPECT_TRUE(shown() == sample("four"));
}

TEST_F(Memory, PositionTextThatIsNoNumberStaysWithinTheMemory)
{
    memory().put(0, sample("zero"));
    for (const std::string& text : std::vector<std::string>{"", "abc", "-0", "1e999", "-1e999", std::string(10000, '7')}) {
        w().txtPos->setText8(text);
        const int p = app->memory().CurrentPosition();
        EXPECT_GE(p, 0) << text;
        EXPECT_LE(p, 255) << text;
    }
    w().txtPos->setText8("1e999");
    EXPECT_EQ(w().txtPos->text8(), "255");
    w().txtPos->setText8(std::string(10000, '7'));
    EXPECT_EQ(w().txtPos->text8(), "255");
    w().txtPos->setText8("abc");
    EXPECT_EQ(w().txtPos->text8(), "abc");
    EXPECT_TRUE(shown() == sample("zero"));
}

TEST_F(Memory, PreviousAndNextStopAtZeroAndSixtyFour)
{
    std::vector<std::string> seen;
    QObject::connect(w().txtPos, &QLineEdit::textChanged, [&](const QString& t) { seen.push_back(t.toStdString()); });
    type(w().txtPos, "64");
    seen.clear();
    click(w().cmdSongNext);
    EXPECT_EQ(seen, (std::vector<std::string>{"65", "64"}));
    type(w().txtPos, "0");
    seen.clear();
    click(w().cmdSongPrev);
    EXPECT_EQ(seen, (std::vector<std::string>{"-1", "0"}));
    click(w().cmdSongNext);
    EXPECT_EQ(w().txtPos->text8(), "1");
}

TEST_F(Memory, ClearMemoryThenUndoRestoresEverything)
{
    for (int p : {0, 64, 200, 255})
        memory().put(p, sample(std::to_string(p)));
    fill(sample("onscreen"));
    click(w().cmdClearSong);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "You just erased all memory.  To undo, open the file operations box and press undo!");
    EXPECT_EQ(w().txtLog->text8(), "MEMORY CLEARED  (click undo in file menu to recover)");
    EXPECT_TRUE(memory().at(64) == PatternTexts{});
    EXPECT_TRUE(shown() == sample("onscreen")); // the fields keep what they showed

    memory().RestoreUndoCopy();
    for (int p : {0, 64, 200, 255})
        EXPECT_TRUE(memory().at(p) == sample(std::to_string(p))) << p;
}

TEST_F(Memory, SecondClearMemoryOverwritesTheUndoCopy)
{
    memory().put(5, sample("five"));
    click(w().cmdClearSong);
    click(w().cmdClearSong);
    memory().RestoreUndoCopy();
    EXPECT_TRUE(memory().at(5) == PatternTexts{});
}

TEST_F(Memory, ClearPatternEmptiesOnlyThatPosition)
{
    memory().put(5, sample("five"));
    memory().put(6, sample("six"));
    click(w().cmdClearSong); // undo copy now holds 5 and 6
    memory().RestoreUndoCopy();
    type(w().txtPos, "5");
    w().txtLog->setText8("log");
    click(w().cmdDel);
    EXPECT_TRUE(memory().at(5) == PatternTexts{});
    EXPECT_TRUE(shown() == PatternTexts{});
    EXPECT_TRUE(memory().at(6) == sample("six"));
    EXPECT_EQ(w().txtLog->text8(), "log");
    memory().RestoreUndoCopy();
    EXPECT_TRUE(memory().at(5) == sample("five")); // the undo copy was not touched
}
