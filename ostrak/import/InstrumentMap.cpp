#include "InstrumentMap.h"

#include "ModuleClipboard.h"
#include "sound/PitchGuide.h"
#include "sound/Sound.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <optional>

namespace ostrak {

namespace {

constexpr int kOctaveSearch = 8;    // transposes of -8..+8 octaves are tried
constexpr double kReachCents = 50;  // within this, the note is the right semitone
constexpr double kLowestHeardHz = 20; // a lower tone is heard as a rattle, not a pitch

bool tonalType(int type)
{
    const std::optional<int> audc = sound::audcOfSoundType(type);
    return type != kSilenceType && audc && sound::isTonal(*audc);
}

struct Fit {
    long inReach = 0;     // notes (by count) within reach, unmoved
    double cents = 0;     // summed error of the notes by pitch
    bool betterThan(const Fit& o) const { return inReach != o.inReach ? inReach > o.inReach : cents < o.cents - 1e-9; }
};

// How well one instrument's notes fit one type at one transpose; mappers are
// kept per type, since each builds its 32 tones.
class Fitter {
public:
    explicit Fitter(NotesMode mode) : mode_(mode) {}
    Fit fit(const InstrumentUse& use, int type, int transpose)
    {
        Fit f;
        if (type == kSilenceType)
            return f;
        auto it = mappers_.find(type);
        if (it == mappers_.end())
            it = mappers_.emplace(type, NoteMapper(type, mode_)).first;
        for (int note = 1; note <= kModuleLastNote; ++note) {
            const int count = use.noteCounts[std::size_t(note)];
            if (count == 0)
                continue;
            const MappedNote m = it->second.map(note + transpose);
            if (m.octavesMoved == 0 && (!m.byPitch || (std::abs(m.cents) <= kReachCents && m.hz >= kLowestHeardHz)))
                f.inReach += count;
            f.cents += count * (m.byPitch ? std::abs(m.cents) + 1200.0 * std::abs(m.octavesMoved) : 0.0);
        }
        return f;
    }

private:
    NotesMode mode_;
    std::map<int, NoteMapper> mappers_;
};

std::string noteName(int note)
{
    static const char* names[12] = {"C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"};
    return names[(note - 1) % 12] + std::to_string((note - 1) / 12);
}

} // namespace

int InstrumentUse::notes() const
{
    int total = 0;
    for (int c : noteCounts)
        total += c;
    return total;
}

std::string InstrumentUse::notesText() const
{
    int low = 0, high = 0;
    for (int n = 1; n <= kModuleLastNote; ++n)
        if (noteCounts[std::size_t(n)] > 0) {
            low = low ? low : n;
            high = n;
        }
    return std::to_string(notes()) + (low ? " (" + noteName(low) + ".." + noteName(high) + ")" : "");
}

std::vector<InstrumentUse> instrumentUse(const TrackerModule& module, const std::vector<int>& patterns, int channelA,
                                         int channelB)
{
    std::map<int, InstrumentUse> uses;
    const int channels[2] = {channelA, channelB};
    int current[2] = {0, 0};
    for (int pattern : patterns)
        for (int row = 0; row < module.rows(pattern); ++row)
            for (int side = 0; side < 2; ++side) {
                if (channels[side] < 0)
                    continue;
                const TrackerModule::RawCell cell = module.rawCell(pattern, row, channels[side]);
                if (cell.instrument > 0) {
                    current[side] = cell.instrument;
                    uses[cell.instrument].number = cell.instrument;
                }
                if (cell.note >= 1 && cell.note <= kModuleLastNote && current[side] > 0)
                    ++uses[current[side]].noteCounts[std::size_t(cell.note)];
            }
    std::vector<InstrumentUse> result;
    for (auto& [number, use] : uses) {
        use.name = module.instrumentName(number);
        result.push_back(use);
    }
    return result;
}

bool writtenTheOstrakWay(const std::vector<InstrumentUse>& uses)
{
    // Notes are not looked at: a paste leaves the ones out of C-4..G-6 at
    // the pitch before, and the author of such a module knows it.
    bool silence = false;
    for (const InstrumentUse& use : uses) {
        if (use.number < 1 || use.number > kSilenceType)
            return false;
        silence = silence || use.number == kSilenceType;
    }
    return silence;
}

bool drumName(const std::string& name)
{
    static const char* starts[] = {"drum", "kick", "snare", "hihat", "cymbal", "perc", "clap", "crash", "noise", "tom"};
    static const char* words[] = {"bd", "sd", "hh", "hat", "hats", "ride", "toms"};
    std::string word;
    auto check = [&] {
        for (const char* s : starts)
            if (word.rfind(s, 0) == 0)
                return true;
        for (const char* w : words)
            if (word == w)
                return true;
        return false;
    };
    for (char c : name + " ") {
        if (std::isalpha(static_cast<unsigned char>(c))) {
            word += char(std::tolower(static_cast<unsigned char>(c)));
            continue;
        }
        if (!word.empty() && check())
            return true;
        word.clear();
    }
    return false;
}

int defaultTranspose(const std::vector<InstrumentUse>& uses, const std::vector<int>& types, NotesMode mode)
{
    Fitter fitter(mode);
    int best = 0;
    Fit bestFit{-1, 0};
    for (int k = 0; k <= 2 * kOctaveSearch; ++k) {
        const int octave = k % 2 ? (k + 1) / 2 : -k / 2; // 0, +1, -1, +2, ...: ties keep the smaller shift
        Fit total;
        for (std::size_t i = 0; i < uses.size() && i < types.size(); ++i) {
            const Fit f = fitter.fit(uses[i], types[i], 12 * octave);
            total.inReach += f.inReach;
            total.cents += f.cents;
        }
        if (total.betterThan(bestFit)) {
            bestFit = total;
            best = 12 * octave;
        }
    }
    return best;
}

MapChoice defaultChoice(const std::vector<InstrumentUse>& uses, const std::vector<int>& slotTypes)
{
    MapChoice choice;
    choice.ostrakWay = writtenTheOstrakWay(uses);
    if (choice.ostrakWay) {
        for (const InstrumentUse& use : uses)
            choice.types.push_back(use.number);
        choice.mode = NotesMode::PitchCodes;
        choice.transpose = 0; // the notes are pitch codes already
        return choice;
    }
    std::vector<int> tonal, noise;
    for (int t : slotTypes) {
        if (tonalType(t) && std::find(tonal.begin(), tonal.end(), t) == tonal.end())
            tonal.push_back(t);
        else if (!tonalType(t) && t != 0 && std::find(noise.begin(), noise.end(), t) == noise.end())
            noise.push_back(t);
    }
    // White noise (8) first for drums when a slot has it.
    std::stable_sort(noise.begin(), noise.end(), [](int a, int b) { return (a == 8) > (b == 8); });
    const int fallback = slotTypes.empty() ? kSilenceType : slotTypes.front();

    // Each instrument takes the type that reaches most of its notes; the
    // transpose is the octave where the sum over all instruments is best.
    Fitter fitter(NotesMode::ByPitch);
    Fit bestTotal{-1, 0};
    for (int k = 0; k <= 2 * kOctaveSearch; ++k) {
        const int transpose = 12 * (k % 2 ? (k + 1) / 2 : -k / 2);
        std::vector<int> types;
        Fit total;
        for (const InstrumentUse& use : uses) {
            int type = fallback;
            const bool keeps = use.number == kSilenceType
                               || std::find(slotTypes.begin(), slotTypes.end(), use.number) != slotTypes.end();
            if (keeps) {
                type = use.number;
            } else if (!noise.empty() && drumName(use.name)) {
                type = noise.front();
            } else if (!tonal.empty()) {
                Fit best{-1, 0};
                for (int t : tonal) {
                    const Fit f = fitter.fit(use, t, transpose);
                    if (f.betterThan(best)) {
                        best = f;
                        type = t;
                    }
                }
            }
            const Fit f = fitter.fit(use, type, transpose);
            total.inReach += f.inReach;
            total.cents += f.cents;
            types.push_back(type);
        }
        if (total.betterThan(bestTotal)) {
            bestTotal = total;
            choice.types = types;
            choice.transpose = transpose;
        }
    }
    choice.mode = NotesMode::ByPitch;
    return choice;
}

} // namespace ostrak
