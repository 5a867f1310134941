// Saves that cannot lose anything silently: texts holding a marker line, a
// write that fails part way, and a save whose process is killed.
#include "common/AtomicFile.h"
#include "ProjectFixture.h"
#include "store/ProjectFile.h"

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

using namespace testing_support;

TEST_F(ProjectTest, MarkerLinesInTextsAreSavedWithABlankAndReported)
{
    memory().put(3, {"A", "B", "x\r\n;@@@StorePatternB\r\ny", ";@@@StoreOrderA", "a\r;@@@StoreOrderB", ";@@@StorePaste\r\n",
                     ";@@@END\r\nrow\r\n;@@@eof"});
    memory().put(4, {"two\r\n;@@@StoreNameB", "next", "p", "", "", "", "kept"});
    memory().put(5, {"plain", "", ";@@@StorePatternA", "", "", "", ""}); // not the marker that ends it
    save("song.osk");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0],
              "The file is saved, but these texts could not be kept exactly as they are:\r\n"
              "Position 3, StorePatternA: its line \";@@@StorePatternB\" is a marker of the project file and would end "
              "the text early when loaded; it is saved as \";@@@StorePatternB \".\r\n"
              "Position 3, StorePatternB: its line \";@@@StoreOrderA\" is a marker of the project file and would end the "
              "text early when loaded; it is saved as \";@@@StoreOrderA \".\r\n"
              "Position 3, StoreOrderA: its line \";@@@StoreOrderB\" is a marker of the project file and would end the "
              "text early when loaded; it is saved as \";@@@StoreOrderB \".\r\n"
              "Position 3, StoreOrderB: its line \";@@@StorePaste\" is a marker of the project file and would end the "
              "text early when loaded; it is saved as \";@@@StorePaste \".\r\n"
              "Position 3, StorePaste: its line \";@@@END\" is a marker of the project file and would end the text "
              "early when loaded; it is saved as \";@@@END \".\r\n"
              "Position 3, StorePaste: its line \";@@@eof\" is a marker of the project file and would end the text "
              "early when loaded; it is saved as \";@@@eof \".\r\n"
              "Position 4, StoreNameA: a name is one line; only its first line \"two\" is saved.");

    messages.shown.clear();
    load("song.osk");
    EXPECT_TRUE(messages.shown.empty());
    const auto& m = memory();
    EXPECT_EQ(m.StorePatternA[3], "x\r\n;@@@StorePatternB \r\ny");
    EXPECT_EQ(m.StorePatternB[3], ";@@@StoreOrderA ");
    EXPECT_EQ(m.StoreOrderA[3], "a\r\n;@@@StoreOrderB "); // a lone CR was always read as a line end
    EXPECT_EQ(m.StoreOrderB[3], ";@@@StorePaste \r\n");
    EXPECT_EQ(m.StorePaste[3], ";@@@END \r\nrow\r\n;@@@eof ");
    // Nothing moved: the next blocks come back whole.
    EXPECT_EQ(m.StoreNameA[4], "two");
    EXPECT_EQ(m.StoreNameB[4], "next");
    EXPECT_EQ(m.StorePaste[4], "kept");
    EXPECT_EQ(m.StorePatternA[5], ";@@@StorePatternA");
}

namespace {

// Ends the seam however a test leaves.
struct InjectedFailure {
    InjectedFailure(std::size_t lines, bool stop = false) { common::AtomicFile::injectFailureAfterLines(lines, stop); }
    ~InjectedFailure() { common::AtomicFile::injectFailureAfterLines(std::nullopt); }
};

} // namespace

TEST_F(ProjectTest, AWriteFailingPartWayKeepsTheOldFileAndShowsItsMessage)
{
    memory().put(2, {"old", "", "p", "", "", "", ""});
    save("song.osk");
    const std::string old = readBytes(folder.file("song.osk"));
    memory().put(2, {"new", "", "p", "", "", "", ""});
    for (bool retry : {false, true}) {
        files().tickRecover->setChecked(retry);
        for (std::size_t k : {0u, 1u, 50u, 200u}) {
            messages.shown.clear();
            {
                InjectedFailure fail(k);
                save("song.osk");
            }
            EXPECT_EQ(messages.shown, std::vector<std::string>{common::genericFailureText(common::kDeviceIO)}) << k;
            EXPECT_EQ(readBytes(folder.file("song.osk")), old) << k;
            EXPECT_FALSE(std::filesystem::exists(folder.file("song.osk.part")));
        }
    }
    save("song.osk");
    EXPECT_EQ(readBytes(folder.file("song.osk")).find("old"), std::string::npos);
}

namespace {

// A save with no window: the song order lists are empty.
class QuietPort : public ostrak::ProjectWindowPort {
public:
    bool retryMode() const override { return false; }
    void setLog(const std::string&) override {}
    void appendLog(const std::string&) override {}
    void setBarWidth(int) override {}
    void setBusy(bool) override {}
    void showMessage(const std::string&) override {}
    void refreshFileList() override {}
    int songOrderRowCount(int) override { return 0; }
    std::string selectSongOrderRow(int, int) override { return {}; }
    void replaceSongOrder(const std::vector<std::string>&, const std::vector<std::string>&) override {}
};

// Saves a large memory in a child process that ends at `stopAfterLines`
// (by the seam) or is killed from here after `killAfterBytes` reached the
// disk; returns whether the child finished its save.
bool saveInChild(const std::string& path, std::optional<std::size_t> stopAfterLines, std::uintmax_t killAfterBytes)
{
    const pid_t child = fork();
    if (child == 0) {
        ostrak::WorkingMemory m;
        const std::string big(2000, 'x'); // 26 MB in all
        for (int p = 0; p < 65; ++p) {
            std::string text;
            for (int line = 0; line < 40; ++line)
                text += big + std::to_string(p) + "\r\n";
            m.put(p, {"new", "", text, text, text, text, text});
        }
        if (stopAfterLines)
            common::AtomicFile::injectFailureAfterLines(stopAfterLines, true);
        QuietPort port;
        ostrak::saveProject(path, m, port);
        _exit(0);
    }
    if (killAfterBytes > 0) {
        const std::string part = common::AtomicFile::companionOf(path);
        std::error_code ec;
        int status = 0;
        while (waitpid(child, &status, WNOHANG) == 0) {
            if (std::filesystem::file_size(part, ec) >= killAfterBytes && !ec) {
                kill(child, SIGKILL);
                break;
            }
        }
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TEST(InterruptedSave, TheFileOnDiskIsTheOldOneOrTheNewOneNeverAPart)
{
    ScratchFolder folder;
    const std::string path = folder.file("song.osk");
    writeBytes(path, "old project\r\n");
    for (std::size_t k : {1u, 700u, 5000u}) {
        EXPECT_FALSE(saveInChild(path, k, 0));
        EXPECT_EQ(readBytes(path), "old project\r\n") << k;
    }
    for (std::uintmax_t bytes : {1u << 20, 20u << 20}) {
        if (!saveInChild(path, std::nullopt, bytes))
            EXPECT_EQ(readBytes(path), "old project\r\n") << bytes;
        else
            EXPECT_TRUE(readBytes(path).ends_with(";@@@eof\r\n")) << bytes;
    }
    EXPECT_TRUE(saveInChild(path, std::nullopt, 0));
    const std::string saved = readBytes(path);
    EXPECT_EQ(saved.rfind(";@@@Ostrak-Version1\r\n", 0), 0u);
    EXPECT_TRUE(saved.ends_with(";@@@eof\r\n"));
}
