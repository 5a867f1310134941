#include "support/OstrakFixture.h"

#include <QMouseEvent>

using namespace ostrak;
using testing_support::OstrakTest;

namespace {
QStringList items(const QComboBox* c)
{
    QStringList list;
    for (int i = 0; i < c->count(); ++i)
        list << c->itemText(i);
    return list;
}
} // namespace

using StartUp = OstrakTest;

TEST_F(StartUp, SlotFieldsShowTheDefaultsEvenWhereTheyAreNoItems)
{
    const std::vector<std::string> types = {"4-Square", "6-PhatBass (Tri)", "7-Low Buzz Pitfall", "8-Noise",
                                            "14-Triangle Bass", "15-Atonal Buzz", "1-Dirty Saw", "3-Engine"};
    const std::vector<std::string> volumes = {"8", "3", "4", "5", "0", "6", "4", "3"};
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(w().WaveMatrix[i]->text8(), types[i]);
        EXPECT_EQ(w().WaveVol[i]->text8(), volumes[i]);
        EXPECT_EQ(w().WaveVol[i]->count(), 13);
        EXPECT_EQ(w().WaveVol[i]->findText(QString::fromStdString(volumes[i])), -1);
    }
    EXPECT_EQ(items(w().WaveVol[0]).front(), QStringLiteral("0-MAX"));
    EXPECT_EQ(items(w().WaveVol[0]).back(), QStringLiteral("12-0%"));
}

TEST_F(StartUp, HatAndSilenceDisplaysAndOtherCombos)
{
    EXPECT_EQ(items(w().WaveMatrix[8]), items(w().WaveMatrix[0]));
    EXPECT_EQ(w().WaveMatrix[8]->count(), 10);
    EXPECT_EQ(w().WaveMatrix[8]->text8(), "8");
    EXPECT_EQ(w().WaveMatrix[9]->count(), 0);
    EXPECT_EQ(w().WaveMatrix[9]->text8(), "16");
    EXPECT_EQ(w().hhVol->count(), 0);
    EXPECT_EQ(w().hhVol->text8(), "1");
    EXPECT_EQ(w().hhPitch->text8(), "1");
    EXPECT_EQ(w().cmbTempo->text8(), "3 - Tempo");
    EXPECT_EQ(w().cmbTempo->count(), 6);
    EXPECT_EQ(w().cmbSplit->text8(), "LOCKED TO 4 BARS (64 NOTES) at the moment");
    EXPECT_EQ(items(w().cmbSplit).join('|'),
              QStringLiteral("0 - 07 (1)|0 - 15 (2)|0 - 23 (3)|0 - 31 (4)|0 - 47 (6)|0 - 63 (8)"));
}

TEST_F(StartUp, FieldsButtonsAndTitle)
{
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Ostrak - Nemmet^QV - Alpha Version 0.5 (now with 2 Channels)"));
    EXPECT_EQ(w().txtLog->text8(), "Log window waiting...");
    EXPECT_EQ(w().txtPos->text8(), "0");
    EXPECT_EQ(w().txtNameA->text8(), "CA");
    EXPECT_EQ(w().txtPatternA->text8(), ";Pattern notation for CH1\r\n");
    EXPECT_EQ(w().txtNameA->backColor(), kColourUnstored);
    EXPECT_EQ(w().txtNameB->backColor(), kColourUnstored);
    EXPECT_FALSE(w().cmdReplace->isEnabled());
    EXPECT_FALSE(w().cmdCompileSong->isEnabled());
    EXPECT_TRUE(w().chkAutoDel->isChecked());
    EXPECT_FALSE(w().chkCart->isChecked());
    // Every control is found by its name, arrays by their index.
    for (const char* name : {"txtIn", "cmdBang", "WaveMatrix(9)", "WaveVol(7)", "HH(31)", "lblMatrix(9)",
                             "listCH2", "txtDecoderOut", "frmSong", "Frame1", "frmToneMatrix", "frmDecode"})
        EXPECT_NE(w().findChild<QWidget*>(QLatin1String(name)), nullptr) << name;
    EXPECT_EQ(w().lblMatrix[8]->text(), QStringLiteral("Tempo"));
}

TEST_F(StartUp, ClickIntoInputEmptiesItOnlyWhenAskedButAlwaysMarksTheName)
{
    w().show();
    w().txtNameA->setBackColor(kColourStored);
    w().txtNameB->setBackColor(kColourStored);
    w().chkAutoDel->setChecked(false);
    click(w().txtIn->viewport());
    EXPECT_NE(w().txtIn->text8(), "");
    EXPECT_EQ(w().txtNameA->backColor(), kColourUnstored);
    EXPECT_EQ(w().txtNameB->backColor(), kColourStored);

    QTest::mouseDClick(w().txtIn->viewport(), Qt::LeftButton);
    EXPECT_EQ(w().txtIn->text8(), "");

    w().txtIn->setText8("paste");
    w().chkAutoDel->setChecked(true);
    click(w().txtIn->viewport());
    EXPECT_EQ(w().txtIn->text8(), "");
}

TEST_F(StartUp, SideWindowsOpenWithoutBlocking)
{
    w().show();
    click(w().cmdLoadSong);
    click(w().cmdOPT);
    auto* files = w().findChild<QWidget*>(QStringLiteral("frmFiles"));
    auto* setup = w().findChild<QWidget*>(QStringLiteral("frmSetup"));
    ASSERT_TRUE(files && setup);
    EXPECT_TRUE(files->isVisible());
    EXPECT_TRUE(setup->isVisible());
    EXPECT_FALSE(files->isModal());
}
