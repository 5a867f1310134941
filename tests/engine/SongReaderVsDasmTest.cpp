// The song.h reader against the real dasm: seeded random song.h texts, each a
// preview song with a few lines replaced by byte lines of the forms the
// writers produce and a user may type, assembled inside engine.asm. The
// reader must accept exactly what dasm accepts and then lay down the ROM's
// bytes. OSTRAK_DASM_CASES and OSTRAK_DASM_SEED run more or other cases
// (the fuzz run uses thousands).
#include "EngineRig.h"
#include "support/RomRunner.h"
#include "sound/DasmExpression.h"
#include "sound/EngineSymbols.h"
#include "sound/SongImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <sstream>

using namespace engine_test;
using namespace ostrak::sound;

namespace {

int envNumber(const char* name, int fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? std::atoi(text) : fallback;
}

// Random line forms. Names: labels of the preview song, equates the case
// adds (E0...), engine names, and a name nobody defines.
class SonghGenerator {
public:
    explicit SonghGenerator(unsigned seed) : rng_(seed) {}

    std::string song(const std::string& base)
    {
        std::string text = base;
        equates_ = pick(0, 4);
        // Three pattern lines (the chains' "byte %" lines) become new lines.
        for (int n = 0; n < 3; ++n) {
            std::vector<std::size_t> at;
            for (std::size_t p = text.find("\tbyte %"); p != std::string::npos; p = text.find("\tbyte %", p + 1))
                at.push_back(p);
            if (at.empty())
                break;
            const std::size_t p = at[pick(0, int(at.size()) - 1)];
            text.replace(p, text.find("\r\n", p) - p, line());
        }
        // Equates: a chain in a random order (forward names need passes),
        // placed before the song data, in it, or at its end.
        std::vector<std::string> defs;
        const bool chain = pick(0, 3) == 0;
        const int chainLength = pick(2, 12);
        for (int e = 0; e < equates_; ++e)
            defs.push_back("E" + std::to_string(e) + std::vector<std::string>{" equ ", " = ", "="}[pick(0, 2)] +
                           (chain ? "E" + std::to_string(e + 1) + "+1" : expression(1)));
        if (chain) {
            for (int e = equates_; e < chainLength; ++e)
                defs.push_back("E" + std::to_string(e) + " equ E" + std::to_string(e + 1) + (pick(0, 1) ? "+1" : ""));
            defs.push_back("E" + std::to_string(chainLength) + " equ " + number());
            equates_ = std::max(equates_, chainLength);
            if (pick(0, 1))
                std::reverse(defs.begin(), defs.end());
        }
        if (pick(0, 9) == 0)
            defs.push_back(pick(0, 1) ? "AUDC0 equ $15" : "PF1 equ 3"); // engine names
        if (pick(0, 9) == 0)
            defs.push_back(pick(0, 1) ? "mute" : "song1:"); // a label twice
        for (const std::string& def : defs) {
            const std::size_t anchors[] = {text.find("soundTurnArray"), text.find("patternArrayL"), text.size()};
            text.insert(anchors[pick(0, 2)], def + "\r\n");
        }
        return text;
    }

    std::string line()
    {
        static const char* const mnemonics[] = {"byte", "byte", "byte", "BYTE", ".byte", "dc", "dc.b",
                                                 "dc.w", "word", ".word", "dc.s", "long", "Byte"};
        static const char* const writerLines[] = {"\tbyte   ;0|...|0", "\tbyte %  ;0|...|0", "\tbyte %",
                                                  "\tbyte 00111  ;0|C-4|0", "\tbyte 255", "\tbyte 0",
                                                  "\tword Pos0_C1_0,Pos0_C2_0,mute,mute ;1", "\tword Pos0_C1_0,",
                                                  "\tbyte 1,2"};
        if (pick(0, 4) == 0)
            return writerLines[pick(0, 8)];
        std::string out = pick(0, 5) == 0 ? "L" + std::to_string(pick(0, 3)) + (pick(0, 1) ? ":" : "") : "";
        out += (pick(0, 3) ? "\t" : " ") + std::string(mnemonics[pick(0, 12)]);
        const int items = pick(0, 3);
        for (int i = 0; i < items; ++i)
            out += (i ? (pick(0, 30) == 0 ? ",," : ",") : " ") + expression(pick(0, 2));
        if (pick(0, 20) == 0)
            out += pick(0, 1) ? "," : ",x"; // ",x" is an index register to dasm
        if (pick(0, 3) == 0)
            out += "  ;" + std::to_string(pick(0, 99)) + "|C-4|" + std::to_string(pick(0, 16));
        return out;
    }

    std::string expression(int depth)
    {
        static const char* const ops[] = {"+", "-", "*", "/", "&", "|", "^", "<<", ">>", "%", "==", "!=",
                                          "<", ">", "&&", "||", "?", "<=", ">="};
        std::string out = term(depth);
        const int more = depth > 0 ? pick(0, 2) : 0;
        for (int i = 0; i < more; ++i)
            out += std::string(pick(0, 1) ? " " : "") + ops[pick(0, 18)] + term(depth - 1);
        return out;
    }

    std::string term(int depth)
    {
        switch (pick(0, depth > 0 ? 9 : 6)) {
        case 0: case 1: case 2: return number();
        case 3: return name();
        case 4: return std::string(1, "<>-~!"[pick(0, 4)]) + (pick(0, 1) ? number() : name());
        case 5: return pick(0, 1) ? "'" + std::string(1, char(pick(32, 126))) : "\"" + std::string(pick(0, 3), "a "[pick(0, 1)]) + "\"";
        case 6: return pick(0, 4) ? number() : std::vector<std::string>{"*", ".", "[]", "[1", "1]", "$", "%", "0x"}[pick(0, 7)];
        default: return std::string(pick(0, 1) ? "[" : "(") + expression(depth - 1) + (pick(0, 1) ? "]" : ")");
        }
    }

    std::string number()
    {
        switch (pick(0, 7)) {
        case 0: return std::to_string(pick(0, 300));
        case 1: return "0" + digits(pick(1, 4), pick(0, 5) ? 8 : 10); // octal, sometimes with 8 or 9
        case 2: return "%" + digits(pick(0, 10), 2);
        case 3: return "$" + digits(pick(0, 3), 16);
        case 4: return "0x" + digits(pick(1, 2), 16);
        case 5: return std::to_string(pick(0, 1) ? pick(250, 70000) : pick(0, 255)) + (pick(0, 6) ? "" : ".5");
        case 6: return std::to_string(std::uint64_t(pick(1, 1 << 30)) * std::uint64_t(pick(1, 1 << 30)) * 64);
        default: return std::to_string(pick(0, 31));
        }
    }

    std::string name()
    {
        static const char* const names[] = {"Pos0_C1_0", "mute", "song1", "patternArrayH", "L0", "L1",
                                            "AUDC0", "rowIndex", "ROWFRAMES", "nowhere", "HATSOUND", "TEMPODELAY"};
        if (equates_ > 0 && pick(0, 1))
            return "E" + std::to_string(pick(0, equates_ - 1));
        return names[pick(0, 11)];
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    std::string digits(int count, int radix)
    {
        std::string out;
        for (int i = 0; i < count; ++i)
            out += (pick(0, 1) ? "0123456789abcdef" : "0123456789ABCDEF")[pick(0, radix - 1)];
        return out;
    }

    std::mt19937 rng_;
    int equates_ = 0;
};

std::string hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%X", value);
    return text;
}

// The lines of `text` that are not in `base`, for a readable failure.
std::string changedLines(const std::string& base, const std::string& text)
{
    std::istringstream lines(text);
    std::string out, line;
    while (std::getline(lines, line))
        if (base.find(line) == std::string::npos)
            out += "    " + line + "\n";
    return out;
}

} // namespace

TEST_F(EngineTest, SongReaderAgreesWithDasmOnRandomLines)
{
    if (!missingTools({"dasm"}).empty())
        GTEST_SKIP() << "dasm is not installed (tools/setup.sh installs it)";
    const std::string base = testing_support::dataFile("song/preview.h");
    const int cases = envNumber("OSTRAK_DASM_CASES", 300);
    const unsigned seed = unsigned(envNumber("OSTRAK_DASM_SEED", 19));
    SonghGenerator generate(seed);
    int accepted = 0, wrong = 0, undefinedInDasm = 0;
    for (int n = 0; n < cases && wrong < 10; ++n) {
        // The label at the end tells where dasm ends song.h.
        const std::string text = generate.song(base) + "SongEnd\r\n";
        const ReadResult read = readSongH(text);
        const Rom rom = assemble(folder.path(), text);
        const bool readerAccepts = read.image && read.problems.empty();
        std::string why;
        const bool unclosed = std::any_of(read.problems.begin(), read.problems.end(), [](const std::string& p) {
            return p.find(dasm::kUnclosed) != std::string::npos;
        });
        if (!readerAccepts && rom.ok && unclosed) {
            ++undefinedInDasm; // not comparable: the reader refuses on purpose
        } else if (readerAccepts != rom.ok) {
            why = readerAccepts ? "the reader accepts what dasm rejects" : "the reader rejects: " + read.problems.front();
        } else if (rom.ok) {
            ++accepted;
            const std::string bin = testing_support::readBytes(rom.path);
            const std::string got(read.image->bytes.begin(), read.image->bytes.end());
            const std::string expected = bin.substr(kSongBase - 0xF000, got.size());
            const auto differ = std::mismatch(got.begin(), got.end(), expected.begin());
            if (differ.first != got.end()) {
                const std::size_t at = std::size_t(differ.first - got.begin());
                why = "other bytes than dasm's from $" + hex(kSongBase + at) + ": " + hex(std::uint8_t(*differ.first)) +
                      " where dasm has " + hex(std::uint8_t(*differ.second));
            } else if (testing_support::dasmSymbol(folder.file("song.sym"), "SongEnd") != std::int64_t(kSongBase + got.size())) {
                why = "song.h ends elsewhere than in dasm's ROM";
            }
        }
        if (!why.empty()) {
            ++wrong;
            if (const char* keep = std::getenv("OSTRAK_DASM_KEEP"))
                testing_support::writeBytes(std::string(keep) + "/case" + std::to_string(n) + ".h", text);
            ADD_FAILURE() << "case " << n << " (seed " << seed << "): " << why << "\n"
                          << changedLines(base, text) << rom.log.substr(0, 600);
        }
    }
    std::printf("[ song.h vs dasm ] seed %u: %d cases, dasm accepted %d, an unclosed bracket in %d more\n", seed,
                cases, accepted, undefinedInDasm);
    EXPECT_GT(accepted, cases / 5) << "too few accepted cases to compare bytes";
}

TEST_F(EngineTest, EngineNamesTheReaderKnowsAreDasmsSymbols)
{
    if (!missingTools({"dasm"}).empty())
        GTEST_SKIP() << "dasm is not installed (tools/setup.sh installs it)";
    const std::string song = testing_support::dataFile("song/preview.h");
    ASSERT_TRUE(assemble(folder.path(), song).ok);
    const ReadResult read = readSongH(song);
    ASSERT_TRUE(read.image);
    std::istringstream symbols(testing_support::readBytes(folder.file("song.sym")));
    std::map<std::string, std::int64_t> dasm;
    std::string name, value, line;
    while (std::getline(symbols, line))
        // Names only referred to ("????", as PAL without the switch) have no value.
        if (std::istringstream(line) >> name >> value && value.find_first_not_of("0123456789abcdef") == std::string::npos
            && line.find("????") == std::string::npos)
            dasm[name] = std::stoll(value, nullptr, 16);
    // dasm writes a local name with its subroutine's number in front; song.h
    // shares the last subroutine's.
    int lastScope = 0;
    for (const auto& [dasmName, dasmValue] : dasm)
        if (std::isdigit(static_cast<unsigned char>(dasmName.front())))
            lastScope = std::max(lastScope, std::stoi(dasmName));
    std::set<std::string> known;
    for (const auto& [engineName, engineValue] : kEngineFixedSymbols) {
        const std::string name = engineName.front() == '.' ? std::to_string(lastScope) + std::string(engineName)
                                                           : std::string(engineName);
        EXPECT_EQ(dasm[name], engineValue) << engineName;
        known.insert(name);
    }
    for (const EngineEquate& equate : kEngineEquates)
        known.emplace(equate.name);
    for (const auto& [dasmName, dasmValue] : dasm)
        // PalFlag, the switch byte, follows song.h, so it moves with the song.
        EXPECT_TRUE(known.count(dasmName) || read.image->symbol(dasmName) || dasmName == "PalFlag" ||
                    (std::isdigit(static_cast<unsigned char>(dasmName.front())) && std::stoi(dasmName) < lastScope))
            << dasmName << " is missing from kEngineFixedSymbols";
    // song.h's room: from its first byte to the PAL switch byte, which must
    // stand just before the vectors that dasm puts at $FFFA (all three hold Reset).
    EXPECT_EQ(dasm["soundTurnArray"], std::int64_t(kSongBase));
    const std::string bin = testing_support::readBytes(folder.file("song.bin"));
    EXPECT_EQ(bin.substr(0xFFFA - 0xF000), std::string("\x00\xF0\x00\xF0\x00\xF0", 6));
    EXPECT_EQ(kRomEnd + 1, 0xFFFAu) << "one byte, the PAL switch, between song.h's room and the vectors";
}

// A song far too large as written fits packed, and dasm agrees on both: it
// refuses the written one and builds the packed one into the bytes the
// reader lays down.
TEST_F(EngineTest, PackedLongSongBuildsWithDasmAsTheReaderSays)
{
    if (!missingTools({"dasm"}).empty())
        GTEST_SKIP() << "dasm is not installed (tools/setup.sh installs it)";
    for (int p = 0; p < 66; ++p) {
        w().txtPos->setText8(std::to_string(p));
        w().txtIn->setText8(testing_support::dataFile("pastes/it_64rows_4ch.txt"));
        w().cmdBang->click();
    }
    w().cmdGenAllCode->click();
    w().txtSong->setText8("song1\r\n\tbyte 1,3,255\r\nsong2\r\n\tbyte 2,4,255");
    for (const bool pack : {false, true}) {
        w().chkPack->setChecked(pack);
        w().cmdCompileSong->click();
        const std::string text = testing_support::readBytes(folder.file("song.h"));
        const ReadResult read = readSongH(text);
        const Rom rom = assemble(subFolder(pack ? "packed" : "written"), text);
        EXPECT_EQ(rom.ok, pack) << rom.log.substr(0, 400);
        EXPECT_EQ(read.problems.empty(), pack);
        if (rom.ok && read.image) {
            const std::string bin = testing_support::readBytes(rom.path);
            EXPECT_EQ(bin.substr(kSongBase - 0xF000, read.image->bytes.size()),
                      std::string(read.image->bytes.begin(), read.image->bytes.end()));
        }
        std::printf("[ pack ] %s: %s\n", pack ? "packed" : "as written", w().lblRomUse->text().toStdString().c_str());
    }
}
