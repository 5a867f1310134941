#include "ModuleClipboard.h"

#include "convert/PasteConverter.h"

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <sstream>

namespace ostrak {

namespace {

// libopenmpt's order list markers: "+++" (skip) and "---" (end of song).
constexpr int kOrderSkip = 0xFFFE;
constexpr int kOrderEnd = 0xFFFF;

constexpr int kLastNote = kModuleLastNote;
constexpr int kNoteFade = kModuleNoteFade, kNoteCut = kModuleNoteCut, kNoteOff = kModuleNoteOff;

std::string twoDigits(int v)
{
    return {char('0' + v / 10 % 10), char('0' + v % 10)};
}

std::string twoHexDigits(int v)
{
    static const char hex[] = "0123456789ABCDEF";
    return {hex[(v >> 4) & 0xF], hex[v & 0xF]};
}

// The note column: from the raw note (get_pattern_row_channel_command,
// command_note), 1 = C-0. Built here rather than taken from
// format_pattern_row_channel_command so it never depends on a module's tuning.
std::string noteText(int note)
{
    static const char* names[12] = {"C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"};
    if (note >= 1 && note <= kLastNote)
        return names[(note - 1) % 12] + std::to_string((note - 1) / 12);
    switch (note) {
    case kNoteOff: return "===";
    case kNoteCut: return "^^^";
    case kNoteFade: return "~~~";
    default: return "..."; // empty, or a plugin control note, which IT cannot write
    }
}

// IT's effect letters by libopenmpt's raw effect number (get_pattern_row_channel_command,
// command_effect), the same for every module format; '?' where IT has no such
// effect. format_pattern_row_channel_command would give the module's own letters
// (MOD and XM write "0" to "F" and more).
char itEffectLetter(int effect)
{
    static constexpr std::string_view letters = " JFEGHLKRXODB?CQATI?SMNVW?UY?P?Z\\:#";
    return effect >= 0 && effect < int(letters.size()) ? letters[std::size_t(effect)] : '?';
}

} // namespace

TrackerModule::TrackerModule(std::string_view bytes)
{
    if (bytes.empty())
        throw ModuleError("The file is empty.");
    std::ostringstream log; // libopenmpt's messages; warnings() reads them from the module
    try {
        // Samples are never played here, so they are not even decoded.
        module_ = std::make_unique<openmpt::module>(bytes.data(), bytes.size(), log,
                                                    std::map<std::string, std::string>{{"load.skip_samples", "1"},
                                                                                       {"load.skip_plugins", "1"}});
    } catch (const std::exception&) {
        throw ModuleError("This file is not a module that can be opened (or it is cut short).");
    }
}

TrackerModule::~TrackerModule() = default;
TrackerModule::TrackerModule(TrackerModule&&) noexcept = default;
TrackerModule& TrackerModule::operator=(TrackerModule&&) noexcept = default;

int TrackerModule::channels() const { return module_->get_num_channels(); }
int TrackerModule::patterns() const { return module_->get_num_patterns(); }
int TrackerModule::rows(int pattern) const { return module_->get_pattern_num_rows(pattern); }

std::string TrackerModule::patternName(int pattern) const
{
    const std::vector<std::string> names = module_->get_pattern_names();
    return pattern >= 0 && pattern < int(names.size()) ? names[std::size_t(pattern)] : std::string();
}

std::string TrackerModule::formatName() const { return module_->get_metadata("type_long"); }
std::string TrackerModule::warnings() const { return module_->get_metadata("warnings"); }

SongOrderList TrackerModule::firstSongOrder() const
{
    // libopenmpt's order list is the first song's sequence.
    SongOrderList list;
    const int count = module_->get_num_orders();
    for (int o = 0; o < count; ++o) {
        const int pattern = module_->get_order_pattern(o);
        if (pattern == kOrderEnd)
            break;
        if (pattern == kOrderSkip)
            continue;
        if (pattern < 0 || pattern >= patterns() || rows(pattern) <= 0)
            ++list.namesNoPattern;
        else
            list.entries.push_back({o, pattern});
    }
    return list;
}

std::vector<OrderPattern> TrackerModule::orderPatterns() const
{
    std::vector<OrderPattern> result;
    for (const OrderEntry& e : firstSongOrder().entries) {
        auto it = std::find_if(result.begin(), result.end(), [&](const OrderPattern& p) { return p.pattern == e.pattern; });
        if (it == result.end()) {
            result.push_back({e.pattern, patternName(e.pattern), rows(e.pattern), {}});
            it = result.end() - 1;
        }
        it->orders.push_back(e.order);
    }
    return result;
}

// One cell: "|" + note (3) + instrument (2) + volume column (3) + effect (3).
std::string TrackerModule::cellText(int pattern, int row, int channel) const
{
    std::string cell = "|";
    if (channel < 0)
        return cell + "...........";
    const openmpt::module& m = *module_;
    auto raw = [&](int command) { return int(m.get_pattern_row_channel_command(pattern, row, channel, command)); };

    cell += noteText(raw(openmpt::module::command_note));

    // Instrument: the raw number (command_instrument) in decimal, as the
    // tracker writes it; format_pattern_row_channel_command gives hex. Two
    // places hold no more than 99.
    const int instrument = raw(openmpt::module::command_instrument);
    cell += instrument >= 1 && instrument <= 99 ? twoDigits(instrument) : "..";

    // Volume column: the letter from format_pattern_row_channel_command
    // (command_volumeffect: "v", "p", ... or a space when empty, the same
    // letters for every format) and the raw value (command_volume) in decimal.
    const std::string volumeLetter = m.format_pattern_row_channel_command(pattern, row, channel,
                                                                         openmpt::module::command_volumeffect);
    if (raw(openmpt::module::command_volumeffect) == 0 || volumeLetter.size() != 1 || volumeLetter == " ")
        cell += "...";
    else
        cell += volumeLetter + twoDigits(raw(openmpt::module::command_volume));

    // Effect: IT's letter for the raw effect (command_effect) and the raw
    // parameter (command_parameter) in hex.
    const int effect = raw(openmpt::module::command_effect);
    if (effect == 0)
        cell += "...";
    else
        cell += itEffectLetter(effect) + twoHexDigits(raw(openmpt::module::command_parameter));
    return cell;
}

TrackerModule::RawCell TrackerModule::rawCell(int pattern, int row, int channel) const
{
    if (channel < 0)
        return {};
    auto raw = [&](int command) {
        return int(module_->get_pattern_row_channel_command(pattern, row, channel, command));
    };
    return {raw(openmpt::module::command_note), raw(openmpt::module::command_instrument)};
}

std::string TrackerModule::instrumentName(int number) const
{
    const std::vector<std::string> names = module_->get_num_instruments() > 0 ? module_->get_instrument_names()
                                                                              : module_->get_sample_names();
    return number >= 1 && number <= int(names.size()) ? names[std::size_t(number - 1)] : std::string();
}

double TrackerModule::durationSeconds() const
{
    module_->select_subsong(0);
    return module_->get_duration_seconds();
}

// libopenmpt plays the song (sound is never mixed: the samples were not
// loaded) and is asked every two milliseconds where it is; each row then
// starts within two milliseconds of its time. The whole is scaled to
// get_duration_seconds, libopenmpt's exact length of the song, which the
// sample rate's whole samples a tick miss by up to half a per cent.
PlayedSong TrackerModule::playedSong() const
{
    constexpr int kRate = 8000, kStep = kRate / 500;
    openmpt::module& m = *module_;
    m.select_subsong(0);
    m.set_repeat_count(0);
    m.ctl_set_text("play.at_end", "stop");
    m.set_position_order_row(0, 0);
    PlayedSong song;
    std::int16_t quiet[kStep];
    std::int64_t frames = 0;
    const std::int64_t longest = std::int64_t(kLongestPlayedSong * kRate);
    int order = -1, row = -1;
    while (std::size_t n = m.read(kRate, kStep, quiet)) {
        if (m.get_current_order() != order || m.get_current_row() != row) {
            order = m.get_current_order();
            row = m.get_current_row();
            song.rows.push_back({order, m.get_current_pattern(), row, double(frames) / kRate,
                                 m.get_current_speed(), m.get_current_tempo()});
        }
        frames += std::int64_t(n);
        if (frames >= longest) {
            song.cut = true;
            break;
        }
    }
    // At the end libopenmpt may step onto the row it would go on with.
    const double end = double(frames) / kRate;
    while (!song.rows.empty() && end - song.rows.back().start < 2.0 * kStep / kRate)
        song.rows.pop_back();
    // A row lasts whole ticks of 2.5 / BPM seconds, which libopenmpt plays
    // as whole samples (the part cut off is up to half a per cent). A row
    // seen to last whole ticks of those, give or take the step, lasts those
    // ticks exactly; one whose tempo slides keeps what was seen.
    double at = 0;
    for (std::size_t i = 0; i < song.rows.size(); ++i) {
        PlayedRow& r = song.rows[i];
        const double seen = ((i + 1 < song.rows.size() ? song.rows[i + 1].start : end) - r.start) * kRate;
        double length = seen / kRate;
        if (r.tempo > 0) {
            const double tick = kRate * 2.5 / r.tempo;
            for (const double played : {std::floor(tick), tick}) {
                const double ticks = std::round(seen / played);
                if (ticks >= 1 && std::abs(seen - ticks * played) <= kStep + 1) {
                    length = ticks * tick / kRate;
                    break;
                }
            }
        }
        r.start = at;
        at += length;
    }
    song.seconds = at;
    const double exact = m.get_duration_seconds();
    if (!song.cut && song.seconds > 0 && std::isfinite(exact) && std::abs(exact / song.seconds - 1) < 0.02) {
        for (PlayedRow& r : song.rows)
            r.start *= exact / song.seconds;
        song.seconds = exact;
    }
    m.set_position_order_row(0, 0);
    return song;
}

std::string TrackerModule::clipboardText(int pattern, int firstRow, int lastRow, int channelA, int channelB) const
{
    if (pattern < 0 || pattern >= patterns())
        throw ModuleError("The module has no pattern " + std::to_string(pattern) + ".");
    if (firstRow < 0 || lastRow >= rows(pattern) || firstRow > lastRow)
        throw ModuleError("Pattern " + std::to_string(pattern) + " has no rows " + std::to_string(firstRow) + " to "
                          + std::to_string(lastRow) + ".");
    for (int c : {channelA, channelB})
        if (c < -1 || c >= channels())
            throw ModuleError("The module has no channel " + std::to_string(c + 1) + ".");

    std::string text(kPasteHeader);
    text += "\r\n";
    text.reserve(text.size() + std::size_t(lastRow - firstRow + 1) * 26);
    for (int r = firstRow; r <= lastRow; ++r)
        text += cellText(pattern, r, channelA) + cellText(pattern, r, channelB) + "\r\n";
    return text;
}

int rowsPastConverter(int rows)
{
    return std::max(0, rows - kLastPasteLine);
}

} // namespace ostrak
