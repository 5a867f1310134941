#include "common/Failure.h"
#include "support/TestSupport.h"
#include "common/TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

using namespace common;
using testing_support::ScratchFolder;

TEST(SplitLines, EndsAtCrLfOrLoneCrButNotLoneLf)
{
    EXPECT_EQ(splitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c\nd"}));
    EXPECT_EQ(splitLines("a\r\n"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(splitLines("\r\n\r\n"), (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(splitLines("").empty());
    EXPECT_EQ(splitLines(std::string("x\0y\r", 4)), (std::vector<std::string>{std::string("x\0y", 3)}));
}

TEST(LineEnds, ConvertBothWaysWithoutLosingBytes)
{
    EXPECT_EQ(toCrLf("a\nb\r\nc\rd"), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(toLf("a\r\nb\rc\n"), "a\nb\nc\n");
    const std::string high = "\xE9\xFF\x01";
    EXPECT_EQ(toCrLf(high), high);
}

TEST(TextFiles, WriteThenReadGivesTheSameBytesAndLines)
{
    ScratchFolder folder;
    const std::string bytes = std::string("one\r\ntwo\rthree\xA0\0end", 19);
    writeWholeFile("f.txt", bytes);
    EXPECT_EQ(readWholeFile("f.txt"), bytes);

    LineReader reader("f.txt");
    EXPECT_EQ(reader.readLine(), "one");
    EXPECT_EQ(reader.readLine(), "two");
    EXPECT_EQ(reader.readLine(), std::string("three\xA0\0end", 10));
    EXPECT_TRUE(reader.atEnd());
    try {
        reader.readLine();
        FAIL() << "reading past the end must fail";
    } catch (const Failure& f) {
        EXPECT_EQ(f.code(), kInputPastEnd);
    }
}

TEST(TextFiles, OpenFailuresCarryTheirCodes)
{
    ScratchFolder folder;
    auto codeOf = [](auto&& action) {
        try {
            action();
        } catch (const Failure& f) {
            return f.code();
        }
        return 0;
    };
    EXPECT_EQ(codeOf([] { readWholeFile("missing.txt"); }), kFileNotFound);
    EXPECT_EQ(codeOf([] { LineReader r("missing.txt"); }), kFileNotFound);
    std::filesystem::create_directory("adir");
    EXPECT_EQ(codeOf([] { readWholeFile("adir"); }), kPathAccess);
    EXPECT_EQ(codeOf([] { writeWholeFile("adir", "x"); }), kPathAccess);
    EXPECT_EQ(codeOf([] { writeWholeFile("nofolder/x.txt", "x"); }), kPathNotFound);
}

TEST(TextFiles, AWriterReplacesTheFileOnlyWhenClosedAndKeepsALinkALink)
{
    ScratchFolder folder;
    writeWholeFile("f.txt", "old");
    std::filesystem::create_symlink("f.txt", "link.txt");
    {
        LineWriter writer("link.txt");
        writer.writeLine("new");
        EXPECT_EQ(readWholeFile("f.txt"), "old"); // not before the close
        writer.close();
    }
    EXPECT_TRUE(std::filesystem::is_symlink("link.txt"));
    EXPECT_EQ(readWholeFile("f.txt"), "new\r\n");
    {
        LineWriter dropped("f.txt");
        dropped.writeLine("never closed");
    }
    EXPECT_EQ(readWholeFile("f.txt"), "new\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 2); // no companion file left
}

TEST(FailureStyle, GoesOnWithTheNextStepAfterAFailure)
{
    std::vector<int> ran, failed;
    runStepsContinuing({[&] { ran.push_back(1); throw Failure(52); },
                        [&] { ran.push_back(2); },
                        [&] { throw Failure(53); }},
                       [&](const Failure& f) { failed.push_back(f.code()); });
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
    EXPECT_EQ(failed, (std::vector<int>{52, 53}));
    EXPECT_EQ(genericFailureText(75), "Ahhh shit.  Looks like you got an error code 75");
}

TEST(FailureStyle, StopsWhenTheCommandDoesNotGoOnAndCodesEveryException)
{
    std::vector<int> failed;
    bool goOn = true;
    StepRunner step([&](const Failure& f) { failed.push_back(f.code()); }, [&] { return goOn; });
    std::vector<int> ran;
    runCommand([&] {
        step([] { throw std::runtime_error("odd"); });
        step([] { throw std::bad_alloc(); });
        goOn = false; // the choice is asked at each failure
        step([&] { ran.push_back(1); });
        step([] { throw Failure(62); });
        ran.push_back(2);
    });
    EXPECT_EQ(failed, (std::vector<int>{kInternalError, kOutOfMemory, 62}));
    EXPECT_EQ(ran, (std::vector<int>{1}));
}
