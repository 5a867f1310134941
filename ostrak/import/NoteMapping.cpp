#include "NoteMapping.h"

#include "sound/PitchGuide.h"
#include "sound/Sound.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ostrak {

namespace {

constexpr int kA440Note = 70; // A-5

// Half a semitone past the ends still rounds to the end code.
const double kHalfStep = std::exp2(0.5 / 12.0);

// Whole octaves that bring value into [low, high] (12 steps an octave); the
// range is at least an octave wide.
int octavesInto(int value, int low, int high)
{
    if (value < low)
        return (low - value + 11) / 12;
    if (value > high)
        return -((value - high + 11) / 12);
    return 0;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

} // namespace

std::string codeNoteName(int code)
{
    static const char* names[12] = {"C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"};
    const int note = kLastCodeNote - std::clamp(code, 0, 31) - 1; // 0-based: C-0 is 0
    return names[note % 12] + std::to_string(note / 12);
}

double notePitchHz(int note)
{
    return sound::hzOfMidiNote(note - kA440Note + 69);
}

NoteMapper::NoteMapper(int soundType, NotesMode mode)
{
    const std::optional<int> audc = sound::audcOfSoundType(soundType);
    tonal_ = mode == NotesMode::ByPitch && soundType != kSilenceType && audc && sound::isTonal(*audc);
    if (tonal_)
        for (int code = 0; code < 32; ++code)
            hz_[std::size_t(code)] = sound::toneFrequency(*audc, code, sound::playbackClock());
}

MappedNote NoteMapper::map(int note) const
{
    MappedNote m;
    if (!tonal_) {
        m.octavesMoved = octavesInto(note, kFirstCodeNote, kLastCodeNote);
        m.code = kLastCodeNote - (note + 12 * m.octavesMoved);
        return m;
    }
    m.byPitch = true;
    // Whole octaves, in semitones from the note, that bring it between the
    // lowest and highest tone.
    auto semitoneOf = [](double hz) { return sound::midiNoteOf(hz) - 69 + kA440Note; };
    const int low = int(std::ceil(semitoneOf(hz_[31] / kHalfStep)));
    const int high = int(std::floor(semitoneOf(hz_[0] * kHalfStep)));
    m.octavesMoved = octavesInto(note, low, high);
    const double target = notePitchHz(note + 12 * m.octavesMoved);
    double best = 1e9;
    for (int code = 0; code < 32; ++code) {
        const double cents = sound::centsBetween(hz_[std::size_t(code)], target);
        if (std::abs(cents) < std::abs(best)) {
            best = cents;
            m.code = code;
        }
    }
    m.cents = best;
    m.hz = hz_[std::size_t(m.code)];
    return m;
}

void PitchReport::add(int channel, int instrument, int note, const MappedNote& mapped)
{
    ++notes_;
    moved_ += mapped.octavesMoved != 0;
    const std::pair<int, int> voice{channel, instrument};
    if (!mapped.byPitch) {
        last_.erase(voice);
        return;
    }
    cents_.push_back(std::abs(mapped.cents));
    const auto last = last_.find(voice);
    if (last != last_.end() && last->second.note != note)
        intervals_.push_back(
            std::abs(sound::centsBetween(mapped.hz, last->second.hz) - 100.0 * (note - last->second.note)));
    last_[voice] = {note, mapped.hz};
}

void PitchReport::endPattern() { last_.clear(); }

double PitchReport::medianCents() const { return median(cents_); }
double PitchReport::worstCents() const { return cents_.empty() ? 0 : *std::max_element(cents_.begin(), cents_.end()); }
double PitchReport::medianIntervalCents() const { return median(intervals_); }

std::string PitchReport::logLine() const
{
    std::string line = "Notes: " + std::to_string(notes_) + ", " + std::to_string(moved_)
                       + " moved by octaves to come within reach.";
    if (!cents_.empty()) {
        char figures[200];
        std::snprintf(figures, sizeof figures,
                      " By pitch: %d notes, error median %.0f cents, worst %.0f cents; %d intervals between "
                      "successive notes of an instrument, off by a median of %.0f cents.",
                      byPitch(), medianCents(), worstCents(), int(intervals_.size()), medianIntervalCents());
        line += figures;
    }
    return line;
}

} // namespace ostrak
