// Saving: the file byte for byte, the log, the bar, and saving where it cannot.
#include "ProjectFixture.h"

#include <QApplication>

#include <filesystem>

using namespace testing_support;

TEST_F(ProjectTest, WindowOpensBesideTheMainWindowWithItsDefaults)
{
    EXPECT_TRUE(files().isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(files().windowTitle(), "LOAD / SAVE Project Data");
    EXPECT_EQ(files().txtFile->text8(), "song.osk");
    EXPECT_FALSE(files().tickRecover->isChecked());
    EXPECT_EQ(files().BoxSave->widthUnits(), 1);
}

TEST_F(ProjectTest, EmptyMemorySavesTheHandWorkedFile)
{
    save("song.osk");
    EXPECT_EQ(readBytes(folder.file("song.osk")), dataFile("project/empty.osk"));
    EXPECT_TRUE(messages.shown.empty());
    const std::string log = files().txtLog->text8();
    EXPECT_EQ(log.rfind("Creating / writing file...file ready for export!\r\n\r\nSaving instrument configuration"
                        "\r\n\r\nPOSITION :: 0\r\nEmpty patch found!\r\n\r\nPOSITION :: 1\r\n", 0), 0u);
    EXPECT_TRUE(log.ends_with("POSITION :: 64\r\nEmpty patch found! [OK]\r\n\r\nSaving Song Order Channel 1 [OK]\r\n\r\n"
                              "Saving Song Order Channel 2 [OK]\r\n\r\nThis text box has no fucking idea if the file "
                              "actually saved, but at least you got to read this nerdy green writing!\r\n"));
    EXPECT_EQ(files().BoxSave->widthUnits(), 8300);
    EXPECT_EQ(files().cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ProjectTest, PatternsAndSongOrderSaveTheHandWorkedFile)
{
    type(w().txtPos, "3");
    w().txtNameA->setText8("Intro");
    w().txtPatternA->setText8("\tbyte %00011111\r\n\tbyte %11111111");
    w().txtPatternB->setText8("line\r\n");
    w().txtOrderB->setText8("a\r\n\r\nb");
    w().txtIn->setText8("ModPlug Tracker  IT\r\n|C-501");
    click(w().cmdSave);
    memory().StoreNameA[5] = "only a name"; // no pattern: saved as empty
    addRowToBoth("7: Chorus", "7: ");
    addRowToBoth("12: x", "12: y");

    save("song.osk");
    EXPECT_EQ(readBytes(folder.file("song.osk")), dataFile("project/one-pattern.osk"));
    EXPECT_NE(files().txtLog->text8().find("POSITION :: 3\r\nSaving StoreName CH1 / CH2 [OK]\r\nSaving StorePattern "
                                           "CH1 / CH2 [OK]\r\nSaving StoreOrder CH1 / CH2 [OK]\r\nSaving original "
                                           "tracker data\r\n\r\nPOSITION :: 4\r\n"),
              std::string::npos);
    EXPECT_EQ(w().listCH1->selectedIndex(), 1);
    EXPECT_EQ(w().listCH2->selectedIndex(), 1);
    EXPECT_EQ(w().txtPos->text8(), "12"); // the main window follows the last row
}

TEST_F(ProjectTest, SavingIntoAMissingFolderFailsOnceOrOncePerWriteWhenRetrying)
{
    save("no such folder/song.osk");
    EXPECT_EQ(messages.shown, std::vector<std::string>{common::genericFailureText(common::kPathNotFound)});
    EXPECT_EQ(files().txtLog->text8(), "Creating / writing file...");

    messages.shown.clear();
    files().tickRecover->setChecked(true);
    save("no such folder/song.osk");
    // The open fails, then every one of the 201 lines of an empty project.
    ASSERT_EQ(messages.shown.size(), 1u + 201u);
    EXPECT_EQ(messages.shown.front(), common::genericFailureText(common::kPathNotFound));
    for (std::size_t i = 1; i < messages.shown.size(); ++i)
        EXPECT_EQ(messages.shown[i], kNotOpen);
    EXPECT_TRUE(files().txtLog->text8().ends_with("nerdy green writing!\r\n"));
    EXPECT_EQ(files().cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(std::filesystem::exists(folder.file("no such folder")));
}

TEST_F(ProjectTest, FileListShowsProjectFilesAndAClickTakesTheBareName)
{
    writeBytes(folder.file("old.osk"), "");
    writeBytes(folder.file("notes.txt"), "");
    std::filesystem::create_directory(folder.file("folder.osk"));
    save("tune"); // used as typed: no extension is added, and it is not listed
    EXPECT_TRUE(std::filesystem::exists(folder.file("tune")));
    save(folder.file("new.osk")); // a full path is used as given too

    ASSERT_EQ(files().File1->count(), 2);
    EXPECT_EQ(files().File1->item(0)->text(), "new.osk");
    EXPECT_EQ(files().File1->item(1)->text(), "old.osk");
    QListWidget* list = files().File1;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(files().txtFile->text8(), "old.osk");

    // A file that turned up while the window was hidden is listed on showing it.
    click(files().cmdClose);
    writeBytes(folder.file("later.osk"), "");
    click(w().cmdLoadSong);
    EXPECT_EQ(files().File1->count(), 3);
}

TEST_F(ProjectTest, ClosingHidesTheWindowAndKeepsItsContents)
{
    files().tickRecover->setChecked(true);
    save("kept.osk");
    const std::string log = files().txtLog->text8();
    click(files().cmdClose);
    EXPECT_FALSE(files().isVisible());
    EXPECT_EQ(files().BoxSave->widthUnits(), 0);
    click(w().cmdLoadSong);
    EXPECT_TRUE(files().isVisible());
    EXPECT_EQ(files().txtLog->text8(), log);
    EXPECT_EQ(files().txtFile->text8(), "kept.osk");
    EXPECT_TRUE(files().tickRecover->isChecked());
}
