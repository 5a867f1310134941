#include "NoteMapping.h"

#include "sound/PitchGuide.h"
#include "sound/Sound.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ostrak {

namespace {

constexpr double kTritone = 600;         // past this from every tone, a note moves by octaves
constexpr double kHalfStep = 50;         // half a semitone past the ends still rounds to the end tone
constexpr int kSilentSlot = 7;           // its byte with pitch code 31 is 255, the engine's silence

// Whole octaves that bring value into [low, high]; the range is at least an octave wide.
int octavesInto(double value, double low, double high)
{
    if (value < low)
        return int(std::ceil((low - value) / 1200));
    if (value > high)
        return -int(std::ceil((value - high) / 1200));
    return 0;
}

int audcOf(int type)
{
    const std::optional<int> audc = sound::audcOfSoundType(type);
    return type == kSilenceType || !audc || !sound::isTonal(*audc) ? -1 : *audc;
}

// The slot a type plays on: the last one that has it, as the converter finds it.
int slotOf(int type, const std::vector<int>& slotTypes)
{
    int slot = -1;
    for (std::size_t s = 0; s < slotTypes.size(); ++s)
        if (slotTypes[s] == type)
            slot = int(s);
    return slot;
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

double noteCents(double hz)
{
    return 100.0 * (sound::midiNoteOf(hz) - 69 + kA440Note);
}

bool sameFamily(int a, int b)
{
    const int low = std::min(audcOf(a), audcOf(b)), high = std::max(audcOf(a), audcOf(b));
    return low >= 4 && low <= 7 && high == low + 8;
}

ToneSet::ToneSet(const std::vector<int>& types, const std::vector<int>& slotTypes)
{
    for (int type : types) {
        const int audc = audcOf(type);
        if (audc < 0)
            continue;
        const bool silentLowest = slotOf(type, slotTypes) == kSilentSlot;
        for (int code = 0; code < (silentLowest ? 31 : 32); ++code) {
            const double hz = sound::toneFrequency(audc, code, sound::playbackClock());
            // A tone the first type already plays stays with it.
            if (std::none_of(tones_.begin(), tones_.end(), [&](const Tone& t) { return std::abs(t.hz - hz) < 1e-9; }))
                tones_.push_back({noteCents(hz), hz, type, code});
        }
    }
    std::sort(tones_.begin(), tones_.end(), [](const Tone& a, const Tone& b) { return a.cents < b.cents; });
}

int ToneSet::nearest(double cents) const
{
    const auto above = std::lower_bound(tones_.begin(), tones_.end(), cents,
                                        [](const Tone& t, double c) { return t.cents < c; });
    if (above == tones_.begin())
        return 0;
    if (above == tones_.end())
        return int(tones_.size()) - 1;
    const auto below = above - 1;
    return int((cents - below->cents <= above->cents - cents ? below : above) - tones_.begin());
}

ToneSet::Placed ToneSet::place(double cents) const
{
    Placed p;
    p.tone = nearest(cents);
    if (std::abs(tones_[std::size_t(p.tone)].cents - cents) > kTritone) {
        p.octavesMoved = octavesInto(cents, tones_.front().cents - kHalfStep, tones_.back().cents + kHalfStep);
        p.tone = nearest(cents + 1200.0 * p.octavesMoved);
    }
    p.cents = tones_[std::size_t(p.tone)].cents - cents - 1200.0 * p.octavesMoved;
    return p;
}

NoteMapper::NoteMapper(const Voicing& voicing, NotesMode mode, const std::vector<int>& slotTypes, int transpose,
                       double tuningCents)
    : firstType_(voicing.types.empty() ? kSilenceType : voicing.types.front()),
      shift_(transpose + 12 * voicing.octave),
      tuning_(tuningCents),
      tones_(mode == NotesMode::ByPitch ? voicing.types : std::vector<int>{}, slotTypes)
{
}

MappedNote NoteMapper::map(int note) const
{
    MappedNote m;
    const int shifted = note + shift_;
    if (tones_.empty()) {
        m.type = firstType_;
        m.octavesMoved = octavesInto(100.0 * shifted, 100.0 * kFirstCodeNote, 100.0 * kLastCodeNote);
        m.code = kLastCodeNote - (shifted + 12 * m.octavesMoved);
        return m;
    }
    const ToneSet::Placed p = tones_.place(100.0 * shifted + tuning_);
    const ToneSet::Tone& t = tones_.tone(p.tone);
    m.byPitch = true;
    m.type = t.type;
    m.code = t.code;
    m.octavesMoved = p.octavesMoved;
    m.cents = p.cents;
    m.hz = t.hz;
    return m;
}

void PitchReport::add(int channel, int instrument, int note, const MappedNote& mapped)
{
    ++notes_;
    moved_ += mapped.octavesMoved != 0;
    if (!mapped.byPitch)
        return; // a drum between two notes leaves them successive
    cents_.push_back(std::abs(mapped.cents));
    const auto last = last_.find(channel);
    // The same note again on the same instrument is the same tone: no interval to keep.
    if (last != last_.end() && (last->second.note != note || last->second.instrument != instrument))
        intervals_.push_back(
            std::abs(sound::centsBetween(mapped.hz, last->second.hz) - 100.0 * (note - last->second.note)));
    last_[channel] = {instrument, note, mapped.hz};
}

void PitchReport::endPattern() { last_.clear(); }

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double PitchReport::medianCents() const { return median(cents_); }
double PitchReport::worstCents() const { return cents_.empty() ? 0 : *std::max_element(cents_.begin(), cents_.end()); }
double PitchReport::medianIntervalCents() const { return median(intervals_); }

double PitchReport::intervalShare(double atMost) const
{
    if (intervals_.empty())
        return 0;
    return double(std::count_if(intervals_.begin(), intervals_.end(), [&](double c) { return c <= atMost; }))
           / double(intervals_.size());
}

std::string PitchReport::logLine() const
{
    std::string line = "Notes: " + std::to_string(notes_) + ", " + std::to_string(moved_)
                       + " moved by octaves to come within reach.";
    if (!cents_.empty()) {
        char figures[300];
        std::snprintf(figures, sizeof figures,
                      " By pitch: %d notes, error median %.0f cents, worst %.0f cents; %d intervals between "
                      "successive notes of a channel, off by a median of %.0f cents, %.0f %% within 50 cents, "
                      "%.0f %% by 600 cents or more.",
                      byPitch(), medianCents(), worstCents(), intervals(), medianIntervalCents(),
                      100 * intervalShare(50), 100 * (1 - intervalShare(599.999)));
        line += figures;
    }
    return line;
}

} // namespace ostrak
