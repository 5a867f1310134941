#include "InstrumentMap.h"

#include "ModuleClipboard.h"
#include "TuningSearch.h"
#include "sound/PitchGuide.h"
#include "sound/Sound.h"

#include <algorithm>
#include <optional>

namespace ostrak {

namespace {

constexpr int kOctaveSearch = 8; // transposes of -8..+8 octaves are tried by name

bool tonalType(int type)
{
    const std::optional<int> audc = sound::audcOfSoundType(type);
    return type != kSilenceType && audc && sound::isTonal(*audc);
}

bool has(const std::vector<int>& list, int value) { return std::find(list.begin(), list.end(), value) != list.end(); }

} // namespace

bool writtenTheOstrakWay(const std::vector<InstrumentUse>& uses, const std::vector<int>& slotTypes)
{
    bool silence = false;
    for (const InstrumentUse& use : uses) {
        if (use.number != kSilenceType && !has(slotTypes, use.number))
            return false;
        if (use.number != kSilenceType)
            for (int n = 1; n <= kModuleLastNote; ++n)
                if (use.noteCounts[std::size_t(n)] && (n < kFirstCodeNote || n > kLastCodeNote))
                    return false;
        silence = silence || use.number == kSilenceType;
    }
    return silence;
}

int defaultTranspose(const std::vector<InstrumentUse>& uses, const std::vector<Voicing>& voicings)
{
    int best = 0;
    long bestIn = -1;
    for (int k = 0; k <= 2 * kOctaveSearch; ++k) {
        const int shift = 12 * (k % 2 ? (k + 1) / 2 : -k / 2); // 0, +12, -12, ...: ties keep the smaller shift
        long in = 0;
        for (std::size_t i = 0; i < uses.size() && i < voicings.size(); ++i)
            for (int n = 1; n <= kModuleLastNote; ++n) {
                const int note = n + shift + 12 * voicings[i].octave;
                in += note >= kFirstCodeNote && note <= kLastCodeNote ? uses[i].noteCounts[std::size_t(n)] : 0;
            }
        if (in > bestIn) {
            bestIn = in;
            best = shift;
        }
    }
    return best;
}

std::array<bool, 8> slotsPlayed(const std::vector<std::string>& patterns)
{
    std::array<bool, 8> played{};
    for (const std::string& text : patterns)
        for (std::size_t at = text.find("byte %"); at != std::string::npos; at = text.find("byte %", at + 1)) {
            const std::string bits = text.substr(at + 6, 8);
            if (bits.size() == 8 && bits.find_first_not_of("01") == std::string::npos && bits != "11111111")
                played[std::size_t(std::stoi(bits.substr(0, 3), nullptr, 2))] = true;
        }
    return played;
}

SlotOffer slotOffer(const std::vector<int>& slotTypes, const std::array<bool, 8>& played)
{
    SlotOffer offer;
    int partnerOf = 0;
    // Only the square's partner adds tones a tune can use (163-476 Hz); the
    // others' lie below 32 Hz.
    for (int t : slotTypes)
        if (!partnerOf && (t == 4 || t == 5) && !has(slotTypes, t + 8))
            partnerOf = t;
    if (!partnerOf)
        return offer;
    // The deepest tonal type that no stored pattern plays gives way (its
    // lowest tones are the least use for a tune); not slot 7, whose lowest
    // code is the engine's silence.
    double deepest = 0;
    for (int slot = 0; slot < int(slotTypes.size()) && slot < 7; ++slot) {
        const int t = slotTypes[std::size_t(slot)];
        if (played[std::size_t(slot)] || !tonalType(t) || t == partnerOf)
            continue;
        const double top = sound::toneFrequency(*sound::audcOfSoundType(t), 0, sound::playbackClock());
        if (offer.slot < 0 || top <= deepest) {
            deepest = top;
            offer.slot = slot;
        }
    }
    if (offer.slot >= 0)
        offer.type = partnerOf + 8;
    return offer;
}

namespace {

// The map for slots of these types: drums on noise, the rest by the search.
MapChoice searchedChoice(const ChannelNotes& notes, const ModuleNotes& module, const std::vector<int>& slotTypes,
                         double& cost)
{
    MapChoice choice;
    std::vector<int> tonal, noise;
    for (int t : slotTypes) {
        if (tonalType(t) && !has(tonal, t))
            tonal.push_back(t);
        else if (!tonalType(t) && t != 0 && !has(noise, t))
            noise.push_back(t);
    }
    // White noise (8) first for drums when a slot has it.
    std::stable_sort(noise.begin(), noise.end(), [](int a, int b) { return (a == 8) > (b == 8); });
    // Every type alone, and the square with its partner (the other
    // partners add only tones below 32 Hz).
    std::vector<std::vector<int>> tonalSets;
    for (int a : tonal)
        tonalSets.push_back({a});
    for (int a : {4, 5})
        if (has(tonal, a) && has(tonal, a + 8))
            tonalSets.push_back({a, a + 8});

    std::vector<std::vector<std::vector<int>>> choices;
    for (const InstrumentUse& use : notes.uses) {
        if (module.drums.count(use.number) && !noise.empty())
            choices.push_back({{noise.front()}});
        else if (!tonalSets.empty())
            choices.push_back(tonalSets);
        else
            choices.push_back({{slotTypes.empty() ? kSilenceType : slotTypes.front()}});
    }
    const Tuning tuning = searchTuning(notes.uses, notes.steps, choices, slotTypes);
    choice.voicings = tuning.voicings;
    choice.transpose = tuning.transpose;
    choice.cents = tuning.cents;
    cost = tuning.cost;
    return choice;
}

} // namespace

MapChoice defaultChoice(const ChannelNotes& notes, const ModuleNotes& module, const std::vector<int>& slotTypes,
                        const SlotOffer& offer)
{
    MapChoice choice;
    choice.ostrakWay = writtenTheOstrakWay(module.instruments, slotTypes);
    if (choice.ostrakWay) {
        for (const InstrumentUse& use : notes.uses)
            choice.voicings.push_back({{use.number}, 0});
        choice.mode = NotesMode::PitchCodes;
        return choice;
    }
    double cost = 0;
    choice = searchedChoice(notes, module, slotTypes, cost);
    if (offer.slot >= 0) {
        // The offered slot is taken only when the tune clearly needs it.
        constexpr double kClearlyBetter = 0.75; // a quarter less lost
        std::vector<int> offered = slotTypes;
        offered[std::size_t(offer.slot)] = offer.type;
        double offeredCost = 0;
        MapChoice alternative = searchedChoice(notes, module, offered, offeredCost);
        const bool plays = std::any_of(alternative.voicings.begin(), alternative.voicings.end(),
                                       [&](const Voicing& v) { return has(v.types, offer.type); });
        if (plays && offeredCost < kClearlyBetter * cost) {
            choice = alternative;
            choice.takesOffer = true;
        }
    }
    choice.mode = NotesMode::ByPitch;
    return choice;
}

} // namespace ostrak
