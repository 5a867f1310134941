#pragma once
// Ostrak.it: an Impulse Tracker module whose instruments are the console's
// sound types, so that a musician composes in the tracker hearing what the
// console will play, and pastes the rows into ostrak as they are.
#include "song/Instruments.h"

#include <string>
#include <string_view>

namespace ostrak {

class NoteTable;

inline constexpr const char* kTemplateFile = "Ostrak.it";
inline constexpr int kTemplateSilence = 16; // the instrument that is silence

// The tracker's speed (ticks a row) and tempo for rows of `frames` console
// frames: a tick is a frame (tempo 150 is 60 ticks a second, PAL's 125 is
// 50), speed the whole number of frames nearest, and the tempo moved so a
// row of a fractional tempo lasts as long as on the console.
struct TemplateTiming {
    int speed = 0;
    int tempo = 0;
};
TemplateTiming templateTiming(double frames, bool pal);

// Why the instrument fields make no Ostrak.it, as the message to show; empty
// when they do.
std::string templateProblem(const InstrumentTexts& texts);

// The example tune that pattern 0 holds: engine/example-paste.txt, built in.
std::string_view examplePaste();

// The bytes of Ostrak.it for a configuration templateProblem accepts: its
// slots' sound types, their volumes, the tempo and the PAL choice; pattern 0
// holds the first two channels of the paste's rows.
std::string templateBytes(const InstrumentConfig& config, const NoteTable& notes,
                          std::string_view paste = examplePaste());

// True when the bytes are, byte for byte, what templateBytes gives for the
// settings their own song message names: a file ostrak wrote and nobody
// changed since.
bool isOwnTemplate(std::string_view bytes, const NoteTable& notes);

} // namespace ostrak
