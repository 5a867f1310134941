#include "Template.h"

#include "ItFile.h"
#include "app/StartUp.h"
#include "common/Numbers.h"
#include "common/TextFile.h"
#include "convert/Tables.h"
#include "sound/PitchGuide.h"
#include "sound/Sound.h"
#include "sound/Tia.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace ostrak {

namespace {

constexpr int kFirstNote = 48;             // C-4, pitch code 31
constexpr int kMiddleC = 60;               // C-5: a sample plays at its C5Speed
constexpr int kSampleAmplitude = 127;      // one step of every form, high to low
// Schism Tracker loads at most 236 samples, and eight slots of 32 pitch codes
// would need 256. The codes whose divider counts 14, 15 or 16 clocks play the
// sample of twice as many clocks one octave up: the same steps, the same
// pitch. So a form needs 29 samples, and eight take 232.
constexpr int kFirstSharedStep = 14, kLastSharedStep = 16;
constexpr const char* kSettingsLead = "ostrak: slots";
constexpr int kAudvOfStep[13] = {15, 14, 13, 11, 10, 9, 8, 6, 5, 4, 3, 1, 0};

bool sharesSample(int code) { return code + 1 >= kFirstSharedStep && code + 1 <= kLastSharedStep; }

std::optional<int> soundType(double number)
{
    if (number >= 1 && number <= 15 && number != 11 && number == std::floor(number))
        return int(number);
    return std::nullopt;
}

// The AUDV the engine gives a slot's volume step; steps it cannot read as
// 0-12 are silent there.
int audvOfStep(double step)
{
    return step >= 0 && step <= 12 && step == std::floor(step) ? kAudvOfStep[int(step)] : 0;
}

std::string instrumentName(int type)
{
    if (type == kTemplateSilence)
        return "16-Silence";
    for (const char* item : kSoundTypeItems)
        if (int(common::leadingNumber(item)) == type)
            return item;
    return std::to_string(type) + "-AUDC " + std::to_string(type);
}

// Each step of the form, held for `clocks` samples, around the form's mean
// so no note starts with a jump in level.
std::vector<std::int8_t> sampleData(const std::vector<std::uint8_t>& form, int clocks)
{
    double mean = 0;
    for (std::uint8_t v : form)
        mean += v;
    mean /= double(form.size());
    std::vector<std::int8_t> data;
    data.reserve(form.size() * std::size_t(clocks));
    for (std::uint8_t v : form)
        data.insert(data.end(), std::size_t(clocks), std::int8_t(std::lround(kSampleAmplitude * (v - mean))));
    return data;
}

std::string settingsLine(const InstrumentConfig& config)
{
    std::string types, volumes;
    for (std::size_t i = 0; i < 8; ++i) {
        types += ' ' + common::formatNumber(config.soundType[i]);
        volumes += ' ' + common::formatNumber(config.volume[i]);
    }
    return kSettingsLead + types + ", volumes" + volumes + ", tempo " + common::formatNumber(config.tempo) + ", "
           + (config.pal ? "PAL" : "NTSC") + ".";
}

std::string messageText(const InstrumentConfig& config, const std::vector<int>& sounding, TemplateTiming timing)
{
    std::string names;
    for (int type : sounding)
        names += (names.empty() ? "" : ", ") + instrumentName(type);
    const std::vector<std::string> lines = {
        "Ostrak.it: compose here and hear the console.",
        "",
        "Instruments 1 to 15 are ostrak's sound types; 16 is silence.",
        "Sounding (a slot in ostrak holds them): " + names + ".",
        "The other types play nothing: give one a slot in ostrak and",
        "press \"Save Ostrak.it\" again.",
        "Notes C-4 to G-6 only (pitch codes 31 to 0); others play nothing.",
        "Each sample's name: note, pitch code, cents off equal temperament.",
        "",
        "Write in channels 1 and 2, one note per row; ostrak reads the note",
        "and the instrument only. Copy the rows of both channels, paste them",
        "into ostrak's input field, press BANG, then Play.",
        "Speed " + std::to_string(timing.speed) + ", tempo " + std::to_string(timing.tempo) + ": a row is ostrak's tempo in "
            + (config.pal ? "PAL" : "NTSC") + " frames.",
        "",
        settingsLine(config),
    };
    std::string text;
    for (const std::string& line : lines)
        text += line + '\r';
    text.pop_back();
    return text;
}

// Pattern 0: the rows of a paste, its first two channels.
ItPattern pasteRows(std::string_view paste)
{
    static constexpr std::string_view kNames = "C-C#D-D#E-F-F#G-G#A-A#B-";
    ItPattern pattern;
    const std::vector<std::string> lines = common::splitLines(paste);
    for (std::size_t l = 1; l < lines.size() && pattern.cells.size() < 200; ++l) {
        std::vector<ItCell> row;
        for (std::size_t at = 0; at + 12 <= lines[l].size() && row.size() < 2; at += 12) {
            const std::string_view cell = std::string_view(lines[l]).substr(at, 12);
            ItCell c;
            const std::size_t name = kNames.find(cell.substr(1, 2));
            if (name != std::string_view::npos && name % 2 == 0 && cell[3] >= '0' && cell[3] <= '9')
                c.note = int(name / 2) + 12 * (cell[3] - '0');
            c.instrument = int(common::leadingNumber(cell.substr(4, 2)));
            row.push_back(c);
        }
        pattern.cells.push_back(row);
    }
    pattern.rows = std::max(1, int(pattern.cells.size()));
    return pattern;
}

} // namespace

TemplateTiming templateTiming(double frames, bool pal)
{
    const int ticksTempo = pal ? 125 : 150;
    TemplateTiming t;
    t.speed = std::clamp(int(std::lround(frames)), 1, 255);
    t.tempo = std::clamp(int(std::lround(ticksTempo * t.speed / frames)), 32, 255);
    return t;
}

std::string templateProblem(const InstrumentTexts& texts)
{
    const std::string after = " Choose another, then press \"Save Ostrak.it\" again.";
    for (std::size_t i = 0; i < 8; ++i) {
        const double type = common::leadingNumber(texts.soundType[i]);
        const std::string slot = "Slot " + std::to_string(i) + " holds \"" + texts.soundType[i] + "\": ";
        if (type == 11)
            return slot + "sound type 11 holds a level, which the console plays as silence, so no tracker "
                          "instrument can stand for it." + after;
        if (type == kTemplateSilence)
            return slot + "16 is silence (instrument 16 in the tracker), not a sound type for a slot." + after;
        if (!soundType(type))
            return slot + "Ostrak.it's instruments are the sound types 1 to 15, and this is none of them." + after;
    }
    const double tempo = common::leadingNumber(texts.tempo);
    if (!(tempo >= 1 && tempo <= 255))
        return "The tempo \"" + texts.tempo + "\" is not 1 to 255 frames a row, so Ostrak.it cannot play at the "
               "console's speed. Set the tempo, then press \"Save Ostrak.it\" again.";
    return {};
}

std::string templateBytes(const InstrumentConfig& config, const NoteTable& notes, std::string_view paste)
{
    const sound::Clock clock = sound::playbackClock(config.pal);
    const TemplateTiming timing = templateTiming(config.tempo, config.pal);
    // Each type a slot holds, with the volume of the slot the converter
    // gives its rows (the last slot of that type).
    std::map<int, int> audvOfType;
    for (std::size_t i = 0; i < 8; ++i)
        if (const std::optional<int> type = soundType(config.soundType[i]))
            audvOfType[*type] = audvOfStep(config.volume[i]);

    ItModule m;
    m.title = "Ostrak";
    m.speed = timing.speed;
    m.tempo = timing.tempo;
    m.orders = {0, 255};
    m.patterns = {pasteRows(paste)};

    // Samples: 29 per form (types 4 and 5 share one), then the silent one
    // that notes the console cannot play are sent to.
    std::map<std::vector<std::uint8_t>, std::array<std::uint8_t, 32>> samplesOfForm; // per pitch code, 1-based
    std::vector<int> sounding;
    for (const auto& [type, audv] : audvOfType) {
        sounding.push_back(type);
        const std::vector<std::uint8_t> form = sound::waveForm(type);
        if (samplesOfForm.count(form))
            continue;
        std::array<std::uint8_t, 32>& numbers = samplesOfForm[form];
        const std::vector<sound::PitchRow> rows = sound::pitchRows(notes, type, clock);
        for (int code = 31; code >= 0; --code) {
            if (sharesSample(code))
                continue;
            ItSample sample;
            sample.name = sound::tuningText(rows[std::size_t(31 - code)]);
            const int half = (code + 1) / 2 - 1; // the code this sample also plays, an octave up
            if ((code + 1) % 2 == 0 && sharesSample(half))
                sample.name += " / " + sound::tuningText(rows[std::size_t(31 - half)]);
            sample.c5Speed = std::uint32_t(std::lround(clock.audioHz));
            sample.data = sampleData(form, code + 1);
            m.samples.push_back(std::move(sample));
            numbers[std::size_t(code)] = std::uint8_t(m.samples.size());
        }
    }
    ItSample silent;
    silent.name = "not on the console";
    silent.data.assign(64, 0);
    m.samples.push_back(silent);
    const auto silentSample = std::uint8_t(m.samples.size());

    for (int type = 1; type <= kTemplateSilence; ++type) {
        ItInstrument in;
        in.name = instrumentName(type);
        for (ItNoteMapEntry& e : in.noteMap)
            e = {std::uint8_t(kMiddleC), silentSample};
        const auto audv = audvOfType.find(type);
        in.globalVolume = 0;
        if (audv != audvOfType.end()) {
            // One channel's level on the console against its loudest.
            in.globalVolume = std::uint8_t(std::lround(128 * sound::mixLevel(audv->second) / sound::mixLevel(15)));
            const std::array<std::uint8_t, 32>& numbers = samplesOfForm.at(sound::waveForm(type));
            for (int code = 0; code < 32; ++code) {
                const bool shared = sharesSample(code);
                in.noteMap[std::size_t(kFirstNote + 31 - code)] = {
                    std::uint8_t(shared ? kMiddleC + 12 : kMiddleC),
                    numbers[std::size_t(shared ? 2 * code + 1 : code)]};
            }
        }
        m.instruments.push_back(in);
    }
    m.message = messageText(config, sounding, timing);
    return itFileBytes(m);
}

bool isOwnTemplate(std::string_view bytes, const NoteTable& notes)
{
    const std::string message = itMessage(bytes);
    const std::size_t at = message.rfind(kSettingsLead);
    if (at == std::string::npos)
        return false;
    // "ostrak: slots 4 6 ..., volumes 8 3 ..., tempo 3, NTSC."
    std::string line = message.substr(at + std::string_view(kSettingsLead).size());
    std::replace(line.begin(), line.end(), ',', ' ');
    std::vector<std::string> words;
    for (std::size_t from = 0; from < line.size();) {
        const std::size_t to = std::min(line.find(' ', from), line.size());
        if (to > from)
            words.push_back(line.substr(from, to - from));
        from = to + 1;
    }
    if (words.size() != 20 || words[8] != "volumes" || words[17] != "tempo"
        || (words[19] != "NTSC." && words[19] != "PAL."))
        return false;
    InstrumentTexts texts;
    for (std::size_t i = 0; i < 8; ++i) {
        texts.soundType[i] = words[i];
        texts.volume[i] = words[9 + i];
    }
    texts.tempo = words[18];
    texts.pal = words[19] == "PAL.";
    return templateProblem(texts).empty() && templateBytes(readInstrumentConfig(texts), notes) == bytes;
}

} // namespace ostrak
