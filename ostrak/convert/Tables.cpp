#include "Tables.h"

#include "common/Numbers.h"

namespace ostrak {

namespace {
constexpr std::array<const char*, 32> kNoteNames = {
    "C-4", "C#4", "D-4", "D#4", "E-4", "F-4", "F#4", "G-4", "G#4", "A-4", "A#4",
    "B-4", "C-5", "C#5", "D-5", "D#5", "E-5", "F-5", "F#5", "G-5", "G#5", "A-5",
    "A#5", "B-5", "C-6", "C#6", "D-6", "D#6", "E-6", "F-6", "F#6", "G-6"};

constexpr std::array<const char*, 8> kStartupTypes = {
    "4-Square", "6-PhatBass (Tri)", "7-Low Buzz Pitfall", "8-Noise",
    "14-Triangle Bass", "15-Atonal Buzz", "1-Dirty Saw", "3-Engine"};

std::string binary(int value, int width)
{
    std::string digits(static_cast<std::size_t>(width), '0');
    for (int bit = 0; bit < width; ++bit)
        if (value & (1 << bit))
            digits[static_cast<std::size_t>(width - 1 - bit)] = '1';
    return digits;
}
} // namespace

void NoteTable::fill()
{
    for (int r = 0; r < 32; ++r)
        rows_[static_cast<std::size_t>(r)] = {kNoteNames[static_cast<std::size_t>(r)], binary(31 - r, 5)};
    rows_[32] = {};
}

std::optional<std::string> NoteTable::pitchCode(std::string_view note) const
{
    for (int r = 0; r < 32; ++r)
        if (rows_[static_cast<std::size_t>(r)].note == note)
            return rows_[static_cast<std::size_t>(r)].code;
    return std::nullopt;
}

std::string NoteTable::noteOfDigits(std::string_view digits) const
{
    const double wanted = common::leadingNumber(digits);
    std::string found;
    for (int r = 0; r < 32; ++r)
        if (common::leadingNumber(rows_[static_cast<std::size_t>(r)].code) == wanted)
            found = rows_[static_cast<std::size_t>(r)].note;
    return found;
}

void SoundSlots::fillStartup()
{
    for (int r = 0; r < 8; ++r)
        rows_[static_cast<std::size_t>(r)] = {kStartupTypes[static_cast<std::size_t>(r)], "%" + binary(r, 3)};
    rows_[8] = {"16", "%111"};
}

void SoundSlots::refresh(const std::array<std::string, 8>& waveTexts)
{
    for (std::size_t r = 0; r < 8; ++r)
        rows_[r].type = common::formatNumber(common::leadingNumber(waveTexts[r]));
}

std::optional<std::string> SoundSlots::slotBits(double instrument) const
{
    std::optional<std::string> bits;
    for (const SlotRow& row : rows_)
        if (common::leadingNumber(row.type) == instrument)
            bits = row.bits;
    return bits;
}

std::string SoundSlots::typeOfBits(std::string_view bits) const
{
    std::string type;
    for (int r = 0; r < 8; ++r)
        if (rows_[static_cast<std::size_t>(r)].bits == bits)
            type = rows_[static_cast<std::size_t>(r)].type;
    return type;
}

std::string encodeCell(std::string_view note, double instrument, CellState& state,
                       const NoteTable& notes, const SoundSlots& slots)
{
    if (auto code = notes.pitchCode(note))
        state.code = *code;
    if (auto bits = slots.slotBits(instrument))
        state.bits = *bits;
    if (instrument == 16)
        state.code = "11111";
    return "byte " + state.bits + state.code;
}

} // namespace ostrak
