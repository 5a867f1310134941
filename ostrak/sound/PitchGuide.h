#pragma once
// How in tune each note of a sound slot is: the tone the TIA plays for a
// pitch code, the nearest equal-tempered note (A4 = 440 Hz) and the error.
#include "Sound.h"

#include <optional>
#include <string>
#include <vector>

namespace ostrak {
class NoteTable;
}

namespace ostrak::sound {

inline constexpr double kOutOfTuneCents = 10.0; // more than this is marked

struct NearestNote {
    std::string name; // scientific pitch: "A4", "C#5"
    double hz = 0;
    double cents = 0; // how far the frequency lies above (+) or below (-) it
};
NearestNote nearestNote(double hz); // hz must be > 0

// Equal temperament with A4 = 440 Hz, in MIDI numbers (69 is A4): the note a
// frequency is, not rounded, and the frequency of a note; and how many cents
// hz lies above (+) or below (-) reference.
double midiNoteOf(double hz);
double hzOfMidiNote(double midi);
double centsBetween(double hz, double reference);

// The AUDC value a sound type number becomes in soundTypeArray (low four
// bits of its byte); none when the number is no byte, which song.h cannot hold.
std::optional<int> audcOfSoundType(double soundType);

struct PitchRow {
    std::string note;     // tracker name, "C-4" ... "G-6"
    int pitchCode = 0;    // AUDF
    std::string codeText; // "11111"
    double hz = 0;        // 0 when no tone
    NearestNote nearest;  // set only when hz > 0
    bool outOfTune = false;
};

// "C-5 19 +12c": the note, its pitch code and how many cents its tone lies
// off the nearest equal-tempered note; "C-5 19" for a row with no tone.
std::string tuningText(const PitchRow& row);

// The 32 notes of NoteTable as sound type AUDC plays them.
std::vector<PitchRow> pitchRows(const NoteTable& notes, int audc, Clock clock);

} // namespace ostrak::sound
