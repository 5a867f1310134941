// Files that are not what a save writes: every load ends, with a message of
// the failure table (or the header message), the undo copy as before the
// load, and nothing stored outside positions 0 to 64.
#include "ProjectFixture.h"

#include <cstring>
#include <filesystem>
#include <unistd.h>

using namespace testing_support;
using namespace std::string_literals;

namespace {

const std::string kEndedEarly = common::genericFailureText(common::kInputPastEnd);

class BadInputTest : public ProjectTest {
protected:
    BadInputTest()
    {
        memory().put(0, {"zero", "z", "\tbyte %00000000", "", "w", "", "paste"});
        memory().put(64, {"last", "", "p", "q", "", "", ""});
        memory().put(255, {"top", "", "t", "", "", "", ""});
        before = stored();
        memory().SaveUndoCopy();
    }
    // Loads bytes and checks what holds for every bad file; returns the messages.
    std::vector<std::string> loadBytes(const std::string& bytes, bool retry = false)
    {
        writeBytes(folder.file("bad.osk"), bytes);
        files().tickRecover->setChecked(retry);
        undo(); // each load starts from the same memory
        messages.shown.clear();
        load("bad.osk");
        EXPECT_EQ(stored(true), before);
        EXPECT_TRUE(emptyFrom(65));
        return messages.shown;
    }
    std::string validFile()
    {
        save("valid.osk");
        return readBytes(folder.file("valid.osk"));
    }
    std::vector<std::string> before;
};

} // namespace

TEST_F(BadInputTest, ShortFilesEndWithTheEndOfFileMessage)
{
    EXPECT_EQ(loadBytes(""), std::vector<std::string>{kEndedEarly});
    EXPECT_EQ(loadBytes(";@@@Ostrak-Version1\r\n"), std::vector<std::string>{kEndedEarly});
    EXPECT_EQ(loadBytes("\x89PNG\r\n\x1a\n\0\0binary"s, true), std::vector<std::string>{kNoHeader});
}

TEST_F(BadInputTest, AFileCutAtAnyLineKeepsTheBlocksBeforeTheCut)
{
    const std::string full = validFile();
    loadBytes(full);
    const std::vector<std::string> loaded = stored();
    auto position = [](const std::vector<std::string>& all, int p) {
        return std::vector<std::string>(all.begin() + p * 7, all.begin() + p * 7 + 7);
    };
    const std::size_t firstEnd = full.find(";@@@END") + 9, lastEnd = full.rfind(";@@@END");
    for (bool retry : {false, true}) {
        int line = 0;
        for (std::size_t cut = full.find('\n') + 1; cut < full.size(); cut = full.find('\n', cut) + 1) {
            if (retry && ++line % 4 != 0)
                continue; // retrying is slower; every fourth line covers each kind of step
            SCOPED_TRACE("cut at byte " + std::to_string(cut) + (retry ? " retrying" : ""));
            const std::vector<std::string> shown = loadBytes(full.substr(0, cut), retry);
            if (cut > lastEnd) { // only the song order is missing
                EXPECT_TRUE(shown.empty());
                EXPECT_EQ(stored(), loaded);
                continue;
            }
            ASSERT_FALSE(shown.empty());
            if (!retry) {
                EXPECT_EQ(shown.size(), 1u);
            }
            for (const std::string& m : shown)
                EXPECT_EQ(m, kEndedEarly);
            if (cut >= firstEnd) {
                EXPECT_EQ(position(stored(), 0), position(loaded, 0));
            }
        }
    }
}

TEST_F(BadInputTest, MissingAndMisplacedMarkersEndTheLoad)
{
    const std::string full = validFile();
    std::string noMarkers = full;
    for (const char* marker : {";@@@StoreNameA\r\n", ";@@@StorePatternB\r\n", ";@@@END\r\n"})
        noMarkers.erase(noMarkers.find(marker), std::strlen(marker));
    EXPECT_EQ(loadBytes(noMarkers), std::vector<std::string>{kEndedEarly});
    EXPECT_EQ(loadBytes(noMarkers, true).back(), kEndedEarly);

    std::string swapped = full;
    const std::size_t a = swapped.find(";@@@StoreOrderA"), b = swapped.find(";@@@StoreOrderB");
    swapped.replace(b, 15, ";@@@StoreOrderA");
    swapped.replace(a, 15, ";@@@StoreOrderB");
    EXPECT_EQ(loadBytes(swapped).back(), kEndedEarly);
}

TEST_F(BadInputTest, OddButCompleteFilesLoadWhatTheirBlocksHold)
{
    std::string full = validFile();
    // A position line is only shown, never used: the block stays at position 0.
    std::string words = full;
    words.replace(words.find(" 0 "), 3, "zero");
    EXPECT_TRUE(loadBytes(words).empty());
    EXPECT_EQ(memory().StoreNameA[0], "zero");
    EXPECT_NE(files().txtLog->text8().find("Found position: zero\r\n"), std::string::npos);
    // A runaway position line is cut in the log, which would otherwise take minutes to lay out.
    words.replace(words.find("zero"), 4, std::string(10 * 1024 * 1024, '7'));
    EXPECT_TRUE(loadBytes(words).empty());
    EXPECT_EQ(memory().StoreNameA[0], "zero");
    EXPECT_NE(files().txtLog->text8().find("Found position: " + std::string(64, '7') + "...\r\n"), std::string::npos);

    // Extra blocks after the 65th are not read.
    std::string extra = full;
    const std::size_t songOrder = extra.find(";@@@SONGORDER-CH1");
    extra.insert(songOrder, ";@@@POSITION\r\n 65 \r\nhi\r\n;@@@StoreNameA\r\nx\r\n;@@@StoreNameB\r\n\r\n;@@@StorePatternA"
                            "\r\np\r\n;@@@StorePatternB\r\n\r\n;@@@StoreOrderA\r\n\r\n;@@@StoreOrderB\r\n\r\n;@@@StorePaste"
                            "\r\n\r\n;@@@END\r\n");
    EXPECT_TRUE(loadBytes(extra).empty());

    // A 10 MB line and every byte but CR inside texts come back whole.
    std::string binary;
    for (int c = 0; c < 256; ++c)
        if (c != '\r')
            binary += char(c);
    const std::string huge(10 * 1024 * 1024, 'x');
    std::string odd = full;
    odd.replace(odd.find("\tbyte %00000000"), 15, huge + "\r\n" + binary);
    EXPECT_TRUE(loadBytes(odd).empty());
    EXPECT_EQ(memory().StorePatternA[0], huge + "\r\n" + binary);
    EXPECT_EQ(loadBytes(huge), std::vector<std::string>{kNoHeader});
}

TEST_F(BadInputTest, AFolderOrAnUnreadableFileIsReported)
{
    std::filesystem::create_directory(folder.file("dir.osk"));
    files().txtFile->setText8("dir.osk");
    click(files().cmdLoad);
    EXPECT_EQ(messages.shown, std::vector<std::string>{common::genericFailureText(common::kPathAccess)});
    EXPECT_EQ(stored(true), before);

    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    loadBytes(";@@@Ostrak-Version1\r\n");
    std::filesystem::permissions(folder.file("bad.osk"), std::filesystem::perms::none);
    messages.shown.clear();
    load("bad.osk");
    EXPECT_EQ(messages.shown, std::vector<std::string>{common::genericFailureText(common::kPermissionDenied)});
}
