#pragma once
// The two lookup tables behind a pattern byte: note name to pitch code, and
// instrument (sound type) to sound slot.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace ostrak {

struct NoteRow {
    std::string note; // "C-4" ... "G-6"
    std::string code; // five binary digits, 31 - row
};

class NoteTable {
public:
    static constexpr int kRows = 33; // row 32 stays empty and never matches
    NoteTable() { fill(); }
    void fill();
    const NoteRow& row(int r) const { return rows_.at(static_cast<std::size_t>(r)); }
    // Pitch code of an exact three-character note name; none when not in range.
    std::optional<std::string> pitchCode(std::string_view note) const;
    // Decoder: note name whose code equals the digits, both read as decimal
    // numbers ("00011" and "11" alike); empty when none matches.
    std::string noteOfDigits(std::string_view digits) const;

private:
    std::array<NoteRow, kRows> rows_;
};

struct SlotRow {
    std::string type; // sound type text: start-up item text, later a bare number
    std::string bits; // "%000" ... "%111"
};

class SoundSlots {
public:
    static constexpr int kRows = 9; // 0-7 the slots, 8 the silence row
    SoundSlots() { fillStartup(); }
    void fillStartup();
    const SlotRow& row(int r) const { return rows_.at(static_cast<std::size_t>(r)); }
    // Rows 0-7 take the leading number of each sound type field, as decimal text.
    void refresh(const std::array<std::string, 8>& waveTexts);
    // Slot bits for an instrument number: last row whose type matches; none if no row.
    std::optional<std::string> slotBits(double instrument) const;
    // Decoder: type text of the row 0-7 with exactly these slot bits; empty if none.
    std::string typeOfBits(std::string_view bits) const;

private:
    std::array<SlotRow, kRows> rows_;
};

// One channel's running state while rows are encoded.
struct CellState {
    std::string bits; // slot bits of the previous row ("" before the first)
    std::string code; // pitch code of the previous row
};

// Encodes one cell against the previous row of its channel, updating the state;
// returns "byte " + slot bits + pitch code.
std::string encodeCell(std::string_view note, double instrument, CellState& state,
                       const NoteTable& notes, const SoundSlots& slots);

} // namespace ostrak
