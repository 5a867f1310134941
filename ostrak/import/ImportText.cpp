#include "ImportText.h"

#include "convert/PasteConverter.h"

#include <algorithm>

namespace ostrak {

namespace {

bool playable(int note) { return note >= 1 && note <= kModuleLastNote; }
bool stops(int note) { return note == kModuleNoteOff || note == kModuleNoteCut || note == kModuleNoteFade; }

std::string twoDigits(int v) { return {char('0' + v / 10 % 10), char('0' + v % 10)}; }

// What a channel sounds: a note with its instrument, or silence (note 0).
struct Sounding {
    int note = 0;
    int instrument = 0;
};

// Rewrites one channel's cells, row by row.
class ChannelWriter {
public:
    ChannelWriter(const ImportSettings& s, int side, PitchReport& report) : s_(s), side_(side), report_(report) {}

    // cell: the module's twelve characters; raw: its note and instrument.
    bool counting = true; // rows the converter reads

    std::string cell(const std::string& text, const TrackerModule::RawCell& raw, bool firstRow)
    {
        const std::string rest = text.substr(6); // volume column and effect, as they stand
        if (raw.instrument > 0)
            instrument_ = raw.instrument;
        if (stops(raw.note)) {
            sounding_ = {0, instrument_};
            return text.substr(0, 4) + twoDigits(kSilenceType) + rest;
        }
        if (playable(raw.note)) {
            sounding_ = {raw.note, instrument_};
            return note(raw.note, instrument_, true) + rest;
        }
        if (!firstRow)
            return "|....." + rest; // an instrument alone changes nothing the console plays
        // An empty first cell sounds what the tracker still sounds there.
        if (playable(sounding_.note) && sounding_.instrument > 0)
            return note(sounding_.note, sounding_.instrument, false) + rest;
        return "|..." + twoDigits(kSilenceType) + rest;
    }

private:
    std::string note(int raw, int instrument, bool counted)
    {
        const auto voicing = s_.voicingOf.find(instrument);
        if (instrument <= 0 || voicing == s_.voicingOf.end() || voicing->second.types.empty()
            || voicing->second.types.front() == kSilenceType)
            return "|..." + twoDigits(kSilenceType); // no sound to play it with
        auto mapper = mappers_.find(instrument);
        if (mapper == mappers_.end())
            mapper = mappers_.emplace(instrument, NoteMapper(voicing->second, s_.mode, s_.slotTypes, s_.transpose,
                                                             s_.cents)).first;
        const MappedNote m = mapper->second.map(raw);
        if (counted && counting)
            report_.add(side_, instrument, raw, m);
        return "|" + codeNoteName(m.code) + twoDigits(m.type);
    }

    const ImportSettings& s_;
    int side_;
    Sounding sounding_;  // what the tracker sounds after the cells so far
    int instrument_ = 0; // the channel's last instrument, which a note without one plays
    PitchReport& report_;
    std::map<int, NoteMapper> mappers_;
};

// The module's own cells, as a hand paste gives them. A text's first row
// fills what is empty or out of reach with the note and instrument the
// converter would still hold there, and is silent where it would hold no
// note yet (it would write half a byte, which dasm refuses).
class PastedWriter {
public:
    explicit PastedWriter(const std::vector<int>& slotTypes) : slotTypes_(slotTypes) {}

    std::string cell(const std::string& text, const TrackerModule::RawCell& raw, bool firstRow)
    {
        std::string cell = text;
        if (firstRow) {
            const int note = named(raw.note) ? raw.note : note_;
            const int instrument = slotted(raw.instrument) ? raw.instrument : instrument_;
            if (!named(note) || instrument == 0)
                cell.replace(4, 2, twoDigits(kSilenceType));
            else {
                cell.replace(1, 3, codeNoteName(kLastCodeNote - note));
                cell.replace(4, 2, twoDigits(instrument));
            }
        }
        if (named(raw.note))
            note_ = raw.note;
        if (slotted(raw.instrument))
            instrument_ = raw.instrument;
        return cell;
    }

private:
    static bool named(int note) { return note >= kFirstCodeNote && note <= kLastCodeNote; }
    // An instrument the converter finds a slot for (or silence); it keeps the slot before for any other.
    bool slotted(int instrument) const
    {
        return instrument == kSilenceType
               || (instrument > 0
                   && (slotTypes_.empty()
                       || std::find(slotTypes_.begin(), slotTypes_.end(), instrument) != slotTypes_.end()));
    }
    const std::vector<int>& slotTypes_;
    int note_ = 0, instrument_ = 0;
};

} // namespace

std::vector<std::string> importTexts(const TrackerModule& module, const std::vector<PlayedRow>& played,
                                     const std::vector<EngineRow>& rows, const std::vector<std::size_t>& cuts,
                                     const ImportSettings& settings, PitchReport& report)
{
    for (int c : {settings.channelA, settings.channelB})
        if (c < -1 || c >= module.channels())
            throw ModuleError("The module has no channel " + std::to_string(c + 1) + ".");
    const std::string held = "|...........";
    const std::string silence = "|..." + twoDigits(kSilenceType) + "......";
    ChannelWriter writers[2] = {{settings, 0, report}, {settings, 1, report}};
    PastedWriter pasted[2] = {PastedWriter(settings.slotTypes), PastedWriter(settings.slotTypes)};
    const int channels[2] = {settings.channelA, settings.channelB};
    std::vector<std::string> texts;
    std::size_t text = 0; // cuts[text] is where the text being written starts
    for (std::size_t r = 0; !cuts.empty() && r < cuts.back() && r < rows.size(); ++r) {
        while (text < cuts.size() && cuts[text] <= r) {
            texts.push_back(std::string(kPasteHeader) + "\r\n");
            ++text;
        }
        const bool shown = !texts.empty();
        const bool firstRow = shown && r == cuts[text - 1];
        std::string line;
        const EngineRow e = rows[r];
        for (int side = 0; side < 2; ++side) {
            if (e.played < 0) {
                line += silence;
                continue;
            }
            const PlayedRow& p = played[std::size_t(e.played)];
            const std::string cellText = e.first ? module.cellText(p.pattern, p.row, channels[side]) : held;
            const TrackerModule::RawCell raw = e.first ? module.rawCell(p.pattern, p.row, channels[side])
                                                       : TrackerModule::RawCell{};
            ChannelWriter& w = writers[side];
            w.counting = shown && int(r - cuts[text - 1]) < kLastPasteLine;
            line += settings.asPasted ? pasted[side].cell(cellText, raw, firstRow) : w.cell(cellText, raw, firstRow);
        }
        if (shown)
            texts.back() += line + "\r\n";
    }
    report.endPattern();
    return texts;
}

} // namespace ostrak
