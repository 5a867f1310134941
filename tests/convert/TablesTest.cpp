#include "convert/Tables.h"

#include <gtest/gtest.h>

using namespace ostrak;

namespace {
struct Encoder {
    NoteTable notes;
    SoundSlots slots;
    CellState state;
    std::string operator()(std::string_view note, double instrument)
    {
        return encodeCell(note, instrument, state, notes, slots);
    }
};
} // namespace

TEST(NoteTable, CoversC4ToG6WithDescendingCodes)
{
    NoteTable t;
    EXPECT_EQ(t.pitchCode("C-4"), "11111");
    EXPECT_EQ(t.pitchCode("C-5"), "10011");
    EXPECT_EQ(t.pitchCode("E-6"), "00011");
    EXPECT_EQ(t.pitchCode("G-6"), "00000");
    for (const char* outside : {"B-3", "A-6", "c-5", "...", "===", "^^^", "", "C-5 "})
        EXPECT_FALSE(t.pitchCode(outside)) << outside;
    EXPECT_EQ(t.row(32).note, "");
}

TEST(NoteTable, DecoderComparesDigitsAsDecimalNumbers)
{
    NoteTable t;
    EXPECT_EQ(t.noteOfDigits("00011"), "E-6");
    EXPECT_EQ(t.noteOfDigits("11"), "E-6");
    EXPECT_EQ(t.noteOfDigits(""), "G-6");
    EXPECT_EQ(t.noteOfDigits("2"), "");
}

TEST(SoundSlots, StartUpRowsAndRefresh)
{
    SoundSlots s;
    EXPECT_EQ(s.row(0).type, "4-Square");
    EXPECT_EQ(s.row(7).bits, "%111");
    EXPECT_EQ(s.row(8).type, "16");
    s.refresh({"4-Square", "12", "Square", "8-Noise", "14-Triangle Bass", "15-Atonal Buzz",
               "1-Dirty Saw", "3-Engine"});
    EXPECT_EQ(s.row(0).type, "4");
    EXPECT_EQ(s.row(1).type, "12");
    EXPECT_EQ(s.row(2).type, "0");
    EXPECT_EQ(s.row(8).type, "16"); // the silence row is never refreshed
    EXPECT_EQ(s.typeOfBits("%001"), "12");
    EXPECT_EQ(s.typeOfBits("%11"), "");
}

TEST(EncodeCell, DefaultConfigurationExamples)
{
    Encoder a;
    EXPECT_EQ(a("C-4", 4), "byte %00011111");
    Encoder b;
    EXPECT_EQ(b("G-6", 3), "byte %11100000");
}

TEST(EncodeCell, InstrumentSixteenIsSilenceWhateverTheNote)
{
    Encoder e;
    EXPECT_EQ(e("C-5", 16), "byte %11111111");
    EXPECT_EQ(e("...", 0), "byte %11111111"); // empty cells keep silence
    Encoder empty;
    EXPECT_EQ(empty("...", 16), "byte %11111111");
}

TEST(EncodeCell, MissingPartsKeepThePreviousRowOrStayEmptyAtTheStart)
{
    Encoder e;
    EXPECT_EQ(e("...", 0), "byte ");
    EXPECT_EQ(e("C-5", 0), "byte 10011");
    EXPECT_EQ(e("B-3", 1), "byte %11010011"); // out of range keeps the code
    EXPECT_EQ(e("===", 99), "byte %11010011");
}

TEST(EncodeCell, SameSoundTypeTwiceUsesTheHigherSlot)
{
    Encoder e;
    e.slots.refresh({"4", "6", "7", "4", "14", "15", "1", "3"});
    EXPECT_EQ(e("C-4", 4), "byte %01111111");
}

TEST(EncodeCell, SlotWithoutANumberCatchesEmptyInstrumentCells)
{
    Encoder e;
    e.slots.refresh({"4", "6", "Square", "8", "14", "15", "1", "3"});
    EXPECT_EQ(e("C-4", 0), "byte %01011111");
}
