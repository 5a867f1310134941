#include "ImportText.h"

#include "convert/PasteConverter.h"

#include <algorithm>

namespace ostrak {

namespace {

bool playable(int note) { return note >= 1 && note <= kModuleLastNote; }
bool stops(int note) { return note == kModuleNoteOff || note == kModuleNoteCut || note == kModuleNoteFade; }

std::string twoDigits(int v) { return {char('0' + v / 10 % 10), char('0' + v % 10)}; }

// A cell a paste turns into a whole byte on its own: silence, or a note the
// converter reads with an instrument that is a slot's type.
bool wholeCell(const TrackerModule::RawCell& cell, const std::vector<int>& slotTypes)
{
    const bool slot = std::find(slotTypes.begin(), slotTypes.end(), cell.instrument) != slotTypes.end();
    return cell.instrument == kSilenceType || (slot && cell.note >= kFirstCodeNote && cell.note <= kLastCodeNote);
}

// A pattern's first row has no row before it to take a missing pitch code
// or slot from, so such a cell takes what still sounds there, or silence.
void completeFirstRow(std::string& text, const TrackerModule& module, int pattern, const ImportSettings& s,
                      const ChannelsSounding& start)
{
    const std::size_t firstRow = kPasteHeader.size() + 2;
    for (int side = 0; side < 2; ++side) {
        if (wholeCell(module.rawCell(pattern, 0, side ? s.channelB : s.channelA), s.slotTypes))
            continue;
        const Sounding& still = start[std::size_t(side)];
        const TrackerModule::RawCell sounding{still.note, still.instrument};
        const std::string cell = wholeCell(sounding, s.slotTypes) && still.instrument != kSilenceType
                                     ? "|" + codeNoteName(kLastCodeNote - still.note) + twoDigits(still.instrument)
                                     : "|..." + twoDigits(kSilenceType);
        text.replace(firstRow + 12 * std::size_t(side), cell.size(), cell);
    }
}

// Rewrites one channel's cells, row by row.
class ChannelWriter {
public:
    ChannelWriter(const ImportSettings& s, int side, const Sounding& start, PitchReport& report)
        : s_(s), side_(side), start_(start), instrument_(start.instrument), report_(report)
    {
    }

    // cell: the module's twelve characters; raw: its note and instrument.
    bool counting = true; // rows the converter reads

    std::string cell(const std::string& text, const TrackerModule::RawCell& raw, bool firstRow)
    {
        const std::string rest = text.substr(6); // volume column and effect, as they stand
        if (raw.instrument > 0)
            instrument_ = raw.instrument;
        if (stops(raw.note))
            return text.substr(0, 4) + twoDigits(kSilenceType) + rest;
        if (playable(raw.note))
            return note(raw.note, instrument_, true) + rest;
        if (!firstRow)
            return "|....." + rest; // an instrument alone changes nothing the console plays
        // An empty first cell sounds what the tracker still sounds there.
        if (playable(start_.note) && start_.instrument > 0)
            return note(start_.note, start_.instrument, false) + rest;
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
    Sounding start_;
    int instrument_;
    PitchReport& report_;
    std::map<int, NoteMapper> mappers_;
};

} // namespace

std::map<int, ChannelsSounding> soundingAtPatternStarts(const TrackerModule& module, const SongOrderList& order,
                                                        int channelA, int channelB)
{
    std::map<int, ChannelsSounding> starts;
    ChannelsSounding now;
    int current[2] = {0, 0};
    const int channels[2] = {channelA, channelB};
    for (const OrderEntry& e : order.entries) {
        starts.emplace(e.pattern, now);
        for (int row = 0; row < module.rows(e.pattern); ++row)
            for (int side = 0; side < 2; ++side) {
                const TrackerModule::RawCell cell = module.rawCell(e.pattern, row, channels[side]);
                if (cell.instrument > 0)
                    current[side] = cell.instrument;
                if (playable(cell.note))
                    now[std::size_t(side)] = {cell.note, current[side]};
                else if (stops(cell.note))
                    now[std::size_t(side)] = {0, current[side]}; // a later note without one plays it
            }
    }
    return starts;
}

std::string importText(const TrackerModule& module, int pattern, const ImportSettings& settings,
                       const ChannelsSounding& start, PitchReport& report)
{
    const int rows = module.rows(pattern);
    if (settings.asPasted) {
        std::string text = module.clipboardText(pattern, 0, rows - 1, settings.channelA, settings.channelB);
        completeFirstRow(text, module, pattern, settings, start);
        return text;
    }
    // Checks the pattern and channels as the plain text does.
    (void)module.clipboardText(pattern, 0, 0, settings.channelA, settings.channelB);
    ChannelWriter a(settings, 0, start[0], report), b(settings, 1, start[1], report);
    std::string text(kPasteHeader);
    text += "\r\n";
    for (int r = 0; r < rows; ++r) {
        a.counting = b.counting = r < kLastPasteLine;
        text += a.cell(module.cellText(pattern, r, settings.channelA), module.rawCell(pattern, r, settings.channelA),
                       r == 0);
        text += b.cell(module.cellText(pattern, r, settings.channelB), module.rawCell(pattern, r, settings.channelB),
                       r == 0);
        text += "\r\n";
    }
    report.endPattern();
    return text;
}

} // namespace ostrak
