#include "SongFixture.h"

#include "common/Failure.h"

namespace {

using song_tests::SongTest;

const std::string kSelectSomething = "Ya gotta select something to delete it";

std::vector<std::string> rows(const ostrak::ListBox* list)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list->count(); ++i)
        texts.push_back(list->rowText(i));
    return texts;
}

class SongOrderListTest : public SongTest {
protected:
    // Three rows naming positions 4, 7 and 9, each with stored texts.
    void threeRows()
    {
        for (int p : {4, 7, 9}) {
            const std::string n = std::to_string(p);
            store(p, {"A" + n, "B" + n, "pattern " + n + "\r\n", "", "order " + n, "", "paste " + n});
        }
        addRows({"4", "7", "9"});
    }
};

TEST_F(SongOrderListTest, AddSeqAppendsTheStoredNamesOfThePosition)
{
    store(5, {"Intro", "", "", "", "", "", ""});
    w().listCH1->addRow("0: earlier");
    w().listCH2->addRow("0: earlier");
    w().listCH1->select(0);
    w().txtPos->setText8("5");
    w().txtNameA->setBackColor(ostrak::kColourUnstored);
    w().cmdAdd->click();
    EXPECT_EQ(rows(w().listCH1), (std::vector<std::string>{"0: earlier", "5: Intro"}));
    EXPECT_EQ(rows(w().listCH2), (std::vector<std::string>{"0: earlier", "5: "}));
    EXPECT_EQ(w().txtLog->text8(), "Saving Seq");
    EXPECT_EQ(w().txtNameA->backColor(), ostrak::kColourStored);
    EXPECT_EQ(w().listCH1->selectedIndex(), 0); // the selection stays

    // The row keeps the field's text; the name comes from the rounded position.
    store(2, {"Two", "Deux", "", "", "", "", ""});
    w().txtPos->setText8("2.5");
    w().cmdAdd->click();
    w().cmdAdd->click();
    EXPECT_EQ(w().listCH1->rowText(2), "2.5: Two");
    EXPECT_EQ(w().listCH2->rowText(3), "2.5: Deux");
}

TEST_F(SongOrderListTest, ClickingEitherListMovesBothAndShowsThePosition)
{
    threeRows();
    showActive();
    clickRow(w().listCH2, 2);
    EXPECT_EQ(w().listCH1->selectedIndex(), 2);
    EXPECT_EQ(w().listCH2->selectedIndex(), 2);
    EXPECT_EQ(w().txtSongPos->text8(), "2");
    EXPECT_EQ(w().txtPos->text8(), "9");
    EXPECT_EQ(w().txtNameA->text8(), "A9");
    EXPECT_EQ(w().txtPatternA->text8(), "pattern 9\r\n");
    EXPECT_EQ(w().txtIn->text8(), "paste 9");

    clickRow(w().listCH1, 0);
    EXPECT_EQ(w().listCH2->selectedIndex(), 0);
    EXPECT_EQ(w().txtSongPos->text8(), "0");
    EXPECT_EQ(w().txtPos->text8(), "4");
    EXPECT_EQ(w().txtOrderA->text8(), "order 4");

    // Clicking the row already selected brings its position back.
    w().txtPos->setText8("7");
    w().txtSongPos->setText8("5");
    clickRow(w().listCH1, 0);
    EXPECT_EQ(w().txtPos->text8(), "4");
    EXPECT_EQ(w().txtSongPos->text8(), "0");
    EXPECT_EQ(w().txtNameA->text8(), "A4");
}

TEST_F(SongOrderListTest, DeletingAMiddleRowSelectsTheOneThatFollowed)
{
    threeRows();
    w().listCH1->select(1);
    w().cmdDelCh1->click();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(rows(w().listCH1), (std::vector<std::string>{"4: A4", "9: A9"}));
    EXPECT_EQ(rows(w().listCH2), (std::vector<std::string>{"4: B4", "9: B9"}));
    EXPECT_EQ(w().listCH1->selectedIndex(), 1);
    EXPECT_EQ(w().listCH2->selectedIndex(), 1);
    EXPECT_EQ(w().txtSongPos->text8(), "1");
    EXPECT_EQ(w().txtPos->text8(), "9");
    EXPECT_EQ(w().txtNameB->text8(), "B9");
}

TEST_F(SongOrderListTest, DeletingTheLastRowReportsTheLostReselection)
{
    threeRows();
    w().listCH2->select(2);
    ASSERT_EQ(w().txtPos->text8(), "9");
    w().txtPos->setText8("3");
    w().cmdDelCh1->click();
    EXPECT_EQ(rows(w().listCH1), (std::vector<std::string>{"4: A4", "7: A7"}));
    EXPECT_EQ(rows(w().listCH2), (std::vector<std::string>{"4: B4", "7: B7"}));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0], messages.shown[1]);
    EXPECT_EQ(messages.shown[0].rfind("Ahhh shit.  Looks like you got an error code ", 0), 0u);
    EXPECT_NE(messages.shown[0], common::genericFailureText(common::kInvalidArgument));
    EXPECT_EQ(w().listCH1->selectedIndex(), -1);
    EXPECT_EQ(w().listCH2->selectedIndex(), -1);
    EXPECT_EQ(w().txtPos->text8(), "3");
}

TEST_F(SongOrderListTest, DeletingWithNothingSelectedChangesNothing)
{
    threeRows();
    w().txtLog->setText8("before");
    w().cmdDelCh1->click();
    EXPECT_EQ(messages.shown, (std::vector<std::string>{kSelectSomething, kSelectSomething}));
    EXPECT_EQ(w().listCH1->count(), 3);
    EXPECT_EQ(w().listCH2->count(), 3);
    EXPECT_EQ(w().listCH1->selectedIndex(), -1);
    EXPECT_EQ(w().txtLog->text8(), "before");

    // Deleting down to nothing and once more.
    messages.shown.clear();
    for (int i = 0; i < 3; ++i) {
        w().listCH1->select(0);
        w().cmdDelCh1->click();
    }
    EXPECT_EQ(w().listCH1->count(), 0);
    EXPECT_EQ(w().listCH2->count(), 0);
    w().cmdDelCh1->click();
    EXPECT_EQ(messages.shown.back(), kSelectSomething);
}

TEST_F(SongOrderListTest, InsUpAndDnCannotBePressed)
{
    threeRows();
    showActive();
    w().listCH1->select(1);
    for (QPushButton* b : {w().cmdInsCh1, w().cmdUPCh1, w().cmdDNCh1}) {
        click(b);
        EXPECT_FALSE(b->isEnabled());
    }
    EXPECT_EQ(rows(w().listCH1), (std::vector<std::string>{"4: A4", "7: A7", "9: A9"}));
    EXPECT_EQ(w().listCH1->selectedIndex(), 1);
}

} // namespace
