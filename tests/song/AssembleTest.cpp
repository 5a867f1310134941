// The written song.h files, assembled by the real dasm into a small
// cartridge, hold at their labels the data the writers meant.
#include "SongFixture.h"

#include <fstream>
#include <map>
#include <sstream>

namespace {

using song_tests::SongTest;

constexpr unsigned kOrigin = 0xF000;

// The data bytes under a chain label of a converted pattern text, read from
// the text itself: the label line, then "\tbyte %" lines (eight rows and the close).
std::vector<unsigned> chainBytes(const std::string& pattern, const std::string& label)
{
    std::vector<unsigned> out;
    auto at = pattern.find("\r\n" + label + "\r\n");
    if (at == std::string::npos)
        return out;
    at += label.size() + 4;
    for (int i = 0; i < 9; ++i, at = pattern.find("\r\n", at) + 2)
        out.push_back(static_cast<unsigned>(std::stoul(pattern.substr(at + 7, 8), nullptr, 2)));
    return out;
}

struct Assembled {
    std::string binary;
    std::map<std::string, unsigned> symbols;

    unsigned byteAt(unsigned address) const { return static_cast<unsigned char>(binary.at(address - kOrigin)); }
    unsigned wordAt(unsigned address) const { return byteAt(address) | byteAt(address + 1) << 8; }
    unsigned operator[](const std::string& name) const { return symbols.at(name); }
    std::vector<unsigned> bytes(const std::string& label, std::size_t n) const
    {
        std::vector<unsigned> out;
        for (std::size_t i = 0; i < n; ++i)
            out.push_back(byteAt(symbols.at(label) + static_cast<unsigned>(i)));
        return out;
    }
};

class AssembleTest : public SongTest {
protected:
    void SetUp() override
    {
        if (!testing_support::missingTools({"dasm"}).empty())
            GTEST_SKIP() << "dasm is not installed";
        testing_support::writeBytes(folder.file("harness.asm"), testing_support::dataFile("song/harness.asm"));
    }

    // Converts a tracker paste at position p as the user does; with Auto Name
    // the chains are labelled Pos<p>_C1_0.. and Pos<p>_C2_0..
    void convertAt(int p, const char* paste)
    {
        w().txtPos->setText8(std::to_string(p));
        w().txtIn->setText8(testing_support::dataFile(std::string("pastes/") + paste));
        w().cmdBang->click();
        ASSERT_FALSE(memory().StorePatternB[p].empty()) << paste;
    }

    // Every chain of the position's patterns holds at its label the bytes
    // its text lists.
    void expectChainsAsWritten(const Assembled& a, int p)
    {
        const std::string n = "Pos" + std::to_string(p);
        for (const auto& [channel, text] : {std::pair{"_C1_", memory().StorePatternA[p]},
                                            std::pair{"_C2_", memory().StorePatternB[p]}})
            for (int k = 0; k < 8; ++k) {
                const std::string label = n + channel + std::to_string(k);
                const std::vector<unsigned> bytes = chainBytes(text, label);
                ASSERT_EQ(bytes.size(), 9u) << label;
                EXPECT_EQ(a.bytes(label, 9), bytes) << label;
            }
    }

    Assembled assemble()
    {
        const testing_support::ProgramRun dasm = testing_support::runProgram(
            {"dasm", "harness.asm", "-f3", "-ocart.bin", "-scart.sym", "-lcart.lst"}, folder.path(), {}, 30000);
        EXPECT_EQ(dasm.code, 0) << dasm.output;
        Assembled result;
        if (dasm.code != 0)
            return result;
        result.binary = testing_support::readBytes(folder.file("cart.bin"));
        std::istringstream sym(testing_support::readBytes(folder.file("cart.sym")));
        for (std::string line; std::getline(sym, line);) {
            std::istringstream fields(line);
            std::string name, value;
            if (fields >> name >> value && name != "---")
                result.symbols[name] = static_cast<unsigned>(std::stoul(value, nullptr, 16));
        }
        EXPECT_EQ(result.binary.size(), 4096u);
        return result;
    }

    // The pattern-table entry e: four chain addresses at patternArrayH + 8e.
    static std::vector<unsigned> entry(const Assembled& a, unsigned e)
    {
        std::vector<unsigned> words;
        for (unsigned k = 0; k < 4; ++k)
            words.push_back(a.wordAt(a["patternArrayH"] + 8 * e + 2 * k));
        return words;
    }

    static std::vector<unsigned> chains(const Assembled& a, const std::string& name, int first)
    {
        std::vector<unsigned> out;
        for (int k = first; k < first + 4; ++k)
            out.push_back(a[name + std::to_string(k)]);
        return out;
    }
};

TEST_F(AssembleTest, PreviewAssemblesWithItsFixedOrder)
{
    convertAt(0, "it_64rows_4ch.txt"); // leaves the converted pair in the fields
    w().cmdAutoHH3->click();
    w().cmbTempo->setText8("4 - About 117");
    w().cmdCompile->click();
    const Assembled a = assemble();
    if (a.binary.empty())
        return;
    EXPECT_EQ(a.bytes("song1", 5), (std::vector<unsigned>{1, 2, 1, 2, 255}));
    EXPECT_EQ(a.bytes("song2", 5), (std::vector<unsigned>{3, 4, 3, 4, 255}));
    EXPECT_EQ(a.bytes("soundTurnArray", 8), (std::vector<unsigned>{8, 3, 4, 5, 0, 6, 4, 3}));
    EXPECT_EQ(a.bytes("soundTypeArray", 8), (std::vector<unsigned>{4, 6, 7, 8, 14, 15, 1, 3}));
    EXPECT_EQ(a.bytes("hatPattern", 4), (std::vector<unsigned>(4, 0x08)));
    EXPECT_EQ(a["TEMPODELAY"], 4u);
    EXPECT_EQ(a["HATSTART"], 0u);
    EXPECT_EQ(entry(a, 0), std::vector<unsigned>(4, a["mute"]));
    EXPECT_EQ(entry(a, 1), chains(a, "Pos0_C1_", 0));
    EXPECT_EQ(entry(a, 2), chains(a, "Pos0_C1_", 4));
    EXPECT_EQ(entry(a, 3), chains(a, "Pos0_C2_", 0));
    EXPECT_EQ(entry(a, 4), chains(a, "Pos0_C2_", 4));
    EXPECT_EQ(a["patternArrayL"], a["Pos0_C1_0"]); // no entries of its own
    EXPECT_EQ(a.bytes("mute", 9), std::vector<unsigned>(9, 255));
    expectChainsAsWritten(a, 0);
}

TEST_F(AssembleTest, WholeSongEntriesMatchTheGeneratedOrder)
{
    const char* pastes[] = {"it_64rows_4ch.txt", "xm_header_64rows.txt", "it_64rows_4ch.txt"};
    for (int p : {0, 1, 2})
        convertAt(p, pastes[p]);
    addRows({"0", "2", "1", "0"});
    w().hhKickIn->setText8("3");
    w().WaveVol[6]->setText8("12-0%");
    w().cmdGenAllCode->click();
    w().cmdCompileSong->click();
    const Assembled a = assemble();
    if (a.binary.empty())
        return;
    EXPECT_EQ(a.bytes("song1", 9), (std::vector<unsigned>{1, 2, 9, 10, 5, 6, 1, 2, 255}));
    EXPECT_EQ(a.bytes("song2", 9), (std::vector<unsigned>{3, 4, 11, 12, 7, 8, 3, 4, 255}));
    EXPECT_EQ(a["HATSTART"], 3u);
    EXPECT_EQ(a.byteAt(a["soundTurnArray"] + 6), 12u);
    EXPECT_EQ(entry(a, 0), std::vector<unsigned>(4, a["mute"]));
    for (int p : {0, 1, 2}) {
        const std::string n = "Pos" + std::to_string(p);
        const auto e = static_cast<unsigned>(4 * p);
        EXPECT_EQ(entry(a, e + 1), chains(a, n + "_C1_", 0)) << p;
        EXPECT_EQ(entry(a, e + 2), chains(a, n + "_C1_", 4)) << p;
        EXPECT_EQ(entry(a, e + 3), chains(a, n + "_C2_", 0)) << p;
        EXPECT_EQ(entry(a, e + 4), chains(a, n + "_C2_", 4)) << p;
        expectChainsAsWritten(a, p);
    }
    EXPECT_EQ(a.bytes("mute", 9), std::vector<unsigned>(9, 255));
}

} // namespace
