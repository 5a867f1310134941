#include "PitchGuide.h"

#include "convert/Tables.h"

#include <array>
#include <cmath>
#include <string>

namespace ostrak::sound {

double midiNoteOf(double hz)
{
    return 69.0 + 12.0 * std::log2(hz / 440.0);
}

double hzOfMidiNote(double midi)
{
    return 440.0 * std::exp2((midi - 69.0) / 12.0);
}

double centsBetween(double hz, double reference)
{
    return 1200.0 * std::log2(hz / reference);
}

NearestNote nearestNote(double hz)
{
    static constexpr std::array<const char*, 12> kNames = {"C",  "C#", "D",  "D#", "E",  "F",
                                                           "F#", "G",  "G#", "A",  "A#", "B"};
    const int midi = static_cast<int>(std::lround(midiNoteOf(hz)));
    NearestNote n;
    const int octave = static_cast<int>(std::floor(midi / 12.0)) - 1;
    n.name = std::string(kNames[static_cast<std::size_t>(((midi % 12) + 12) % 12)]) + std::to_string(octave);
    n.hz = hzOfMidiNote(midi);
    n.cents = centsBetween(hz, n.hz);
    return n;
}

std::optional<int> audcOfSoundType(double soundType)
{
    if (!(soundType >= 0 && soundType <= 255) || soundType != std::floor(soundType))
        return std::nullopt;
    return static_cast<int>(soundType) & 15;
}

std::string tuningText(const PitchRow& row)
{
    std::string text = row.note + ' ' + std::to_string(row.pitchCode);
    if (row.hz <= 0)
        return text;
    const long cents = std::lround(row.nearest.cents);
    return text + ' ' + (cents < 0 ? "-" : "+") + std::to_string(std::labs(cents)) + 'c';
}

std::vector<PitchRow> pitchRows(const NoteTable& notes, int audc, Clock clock)
{
    std::vector<PitchRow> rows;
    for (int r = 0; r < 32; ++r) {
        const NoteRow& note = notes.row(r);
        PitchRow row;
        row.note = note.note;
        row.codeText = note.code;
        row.pitchCode = std::stoi(note.code, nullptr, 2);
        row.hz = isTonal(audc) ? toneFrequency(audc, row.pitchCode, clock) : 0.0;
        if (row.hz > 0) {
            row.nearest = nearestNote(row.hz);
            row.outOfTune = std::abs(row.nearest.cents) > kOutOfTuneCents;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace ostrak::sound
