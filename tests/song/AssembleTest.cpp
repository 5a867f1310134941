// The written song.h files, assembled by the real dasm into a small
// cartridge, hold at their labels the data the writers meant.
#include "SongFixture.h"

#include <QProcess>
#include <QStandardPaths>

#include <fstream>
#include <map>
#include <sstream>

namespace {

using song_tests::SongTest;

constexpr unsigned kOrigin = 0xF000;

// A 64-row pattern as the converter writes it: eight chains of eight rows.
std::string pattern(const std::string& name, int slot)
{
    std::string text;
    for (int chain = 0; chain < 8; ++chain) {
        text += "\r\n" + name + std::to_string(chain) + "\r\n";
        for (int row = 0; row < 8; ++row) {
            const int value = slot * 32 + (chain * 8 + row) % 32;
            std::string bits;
            for (int b = 7; b >= 0; --b)
                bits += (value >> b) & 1 ? '1' : '0';
            text += "\tbyte %" + bits + "  ;" + std::to_string(chain * 8 + row) + "|C-5|4\r\n";
        }
        text += "\tbyte %00000000  ; not imp yet\r\n";
    }
    return text;
}

std::string sequence(const std::string& name, int entry)
{
    std::string text;
    for (int line = 0; line < 2; ++line) {
        text += "\r\n\tword ";
        for (int k = 4 * line; k < 4 * line + 4; ++k)
            text += name + std::to_string(k) + (k % 4 == 3 ? " ;" + std::to_string(entry) : ",");
    }
    return text;
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
        dasm_ = QStandardPaths::findExecutable(QStringLiteral("dasm"));
        if (dasm_.isEmpty())
            GTEST_SKIP() << "dasm is not installed";
        testing_support::writeBytes(folder.file("harness.asm"), testing_support::dataFile("song/harness.asm"));
    }

    void storeFullPosition(int p)
    {
        const std::string n = "Pos" + std::to_string(p);
        store(p, {n + "_C1_", n + "_C2_", pattern(n + "_C1_", 0), pattern(n + "_C2_", 6),
                  sequence(n + "_C1_", 4 * p + 1), sequence(n + "_C2_", 4 * p + 3), ""});
    }

    Assembled assemble()
    {
        QProcess dasm;
        dasm.setWorkingDirectory(QString::fromStdString(folder.path()));
        dasm.start(dasm_, {QStringLiteral("harness.asm"), QStringLiteral("-f3"), QStringLiteral("-ocart.bin"),
                           QStringLiteral("-scart.sym"), QStringLiteral("-lcart.lst")});
        EXPECT_TRUE(dasm.waitForFinished(30000));
        const QByteArray output = dasm.readAllStandardOutput() + dasm.readAllStandardError();
        EXPECT_EQ(dasm.exitCode(), 0) << output.toStdString();
        Assembled result;
        if (dasm.exitCode() != 0)
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

    QString dasm_;
};

TEST_F(AssembleTest, PreviewAssemblesWithItsFixedOrder)
{
    storeFullPosition(0);
    w().txtPos->setText8("1");
    w().txtPos->setText8("0"); // shows the stored pattern pair
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
    EXPECT_EQ(a.byteAt(a["Pos0_C2_1"]), 6u * 32 + 8);
    EXPECT_EQ(a.byteAt(a["Pos0_C2_1"] + 8), 0u); // the chain's close line
}

TEST_F(AssembleTest, WholeSongEntriesMatchTheGeneratedOrder)
{
    for (int p : {0, 1, 2})
        storeFullPosition(p);
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
    }
    EXPECT_EQ(a.bytes("mute", 9), std::vector<unsigned>(9, 255));
}

} // namespace
