// "Save for a game": the whole song as SONG COMPILE writes it (packed when
// ticked), player.asm as engine/player.asm holds it and music-README.txt, in
// the folder the user picks; a folder that cannot take them gets a message
// and no file there is left half-written.
#include "SongFixture.h"
#include "common/AtomicFile.h"
#include "song/GameFiles.h"

#include <QDir>

#include <filesystem>
#include <functional>
#include <unistd.h>

namespace {

using song_tests::SongTest;
namespace fs = std::filesystem;

class SaveGameTest : public SongTest {
protected:
    void SetUp() override
    {
        SongTest::SetUp();
        gameFolder = folder.file("game");
        fs::create_directory(gameFolder);
        w().txtIn->setText8(testing_support::readBytes(TEST_DATA_DIR "/../../engine/example-paste.txt"));
        w().cmdBang->click();
    }
    void saveTo(const std::string& path)
    {
        w().chooseGameFolder = [path](QWidget*) { return QString::fromStdString(path); };
        w().cmdSaveGame->click();
    }
    std::string game(const std::string& name) const { return testing_support::readBytes(gameFolder + "/" + name); }

    std::string gameFolder;
};

TEST_F(SaveGameTest, WritesTheSongAsSongCompileWritesItThePlayerAndAReadme)
{
    EXPECT_FALSE(w().cmdSaveGame->isEnabled()) << "like SONG COMPILE, only after GEN All Code";
    w().cmdGenAllCode->click();
    ASSERT_TRUE(w().cmdSaveGame->isEnabled());
    for (const bool pack : {false, true}) {
        SCOPED_TRACE(pack ? "packed" : "as written");
        w().chkPack->setChecked(pack);
        saveTo(gameFolder);
        w().cmdCompileSong->click();
        EXPECT_EQ(game("song.h"), songH());
        EXPECT_EQ(game("player.asm"), testing_support::readBytes(TEST_DATA_DIR "/../../engine/player.asm"));
        const std::string readme = game("music-README.txt");
        EXPECT_EQ(readme.rfind("Music for a game, saved by ostrak\r\n", 0), 0u);
        EXPECT_EQ(readme.find('\n'), readme.find("\r\n") + 1) << "CR LF lines";
        EXPECT_NE(w().txtLog->text8().find(ostrak::savedForGameText(gameFolder)), std::string::npos);
    }
    EXPECT_TRUE(messages.shown.empty());

    // Cancelled: nothing written, nothing said.
    fs::remove_all(gameFolder);
    fs::create_directory(gameFolder);
    saveTo("");
    EXPECT_TRUE(fs::is_empty(gameFolder));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SaveGameTest, AFolderThatCannotTakeTheFilesGetsAMessageAndNoHalfWrittenFile)
{
    w().cmdGenAllCode->click();
    const struct {
        const char* what;
        std::function<std::string()> prepare; // the folder to save to, made as the case needs it
        const char* failing;
        int code;
    } cases[] = {
        {"no such folder", [&] { return gameFolder + "/missing"; }, "song.h", common::kPathNotFound},
        {"a folder named player.asm",
         [&] {
             fs::create_directory(gameFolder + "/player.asm");
             return gameFolder;
         },
         "player.asm", common::kPathAccess},
        {"a full disk",
         [&] {
             common::AtomicFile::injectFailureAfterLines(5);
             return gameFolder;
         },
         "song.h", common::kDeviceIO},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(gameFolder);
        fs::create_directory(gameFolder);
        testing_support::writeBytes(gameFolder + "/song.h", "old song");
        messages.shown.clear();
        const std::string target = c.prepare();
        saveTo(target);
        common::AtomicFile::injectFailureAfterLines(std::nullopt);
        EXPECT_EQ(messages.shown, std::vector<std::string>{ostrak::saveGameFailureText(c.failing, target, c.code)});
        EXPECT_EQ(game("song.h"), "old song");
        for (const auto& entry : fs::directory_iterator(gameFolder))
            EXPECT_TRUE(entry.path().filename() == "song.h" || entry.path().filename() == "player.asm")
                << entry.path() << " left behind";
    }
}

TEST_F(SaveGameTest, AReadOnlyFolderGetsThePermissionMessage)
{
    w().cmdGenAllCode->click();
    // Anyone may pass the scratch folder to reach the game folder, but not write there.
    fs::permissions(folder.path(), fs::perms::group_exec | fs::perms::others_exec, fs::perm_options::add);
    fs::permissions(gameFolder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    // Root may write anywhere, so as root the command runs as an ordinary user.
    const bool root = ::geteuid() == 0;
    if (root && ::seteuid(65534) != 0) {
        fs::permissions(gameFolder, fs::perms::owner_all);
        GTEST_SKIP() << "cannot run as an ordinary user";
    }
    saveTo(gameFolder);
    const bool restored = !root || ::seteuid(0) == 0;
    fs::permissions(gameFolder, fs::perms::owner_all);
    ASSERT_TRUE(restored);
    EXPECT_EQ(messages.shown,
              std::vector<std::string>{ostrak::saveGameFailureText("song.h", gameFolder, common::kPermissionDenied)});
    EXPECT_TRUE(fs::is_empty(gameFolder));
}

} // namespace
