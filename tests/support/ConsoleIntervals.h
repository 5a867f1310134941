#pragma once
// How well an imported song keeps the module's melody, measured on what the
// console plays: for each imported channel, successive notes of the module
// (drums left out) against the tones the stored pattern bytes play on their
// slots' sound types (toneFrequency), not against what the import meant to
// write. A note the console plays silent or as noise breaks its intervals.
#include "app/FrmMain.h"
#include "common/Numbers.h"
#include "import/ChannelNotes.h"
#include "import/FrmImport.h"
#include "import/ModuleClipboard.h"
#include "import/SongLayout.h"
#include "sound/PitchGuide.h"
#include "sound/Sound.h"
#include "store/WorkingMemory.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace testing_support {

struct IntervalFigures {
    int pairs = 0;
    double median = 0, within50 = 0, off600 = 0; // cents; shares 0..1
    bool melodic() const { return pairs >= 15; }
    bool meetsTargets() const { return median <= 30 && within50 >= 0.5 && off600 <= 0.05; }
};

// The byte of each row of a stored pattern text, by the row index of its comment.
inline std::map<int, int> bytesByRow(const std::string& pattern)
{
    std::map<int, int> bytes;
    for (std::size_t at = pattern.find("\tbyte %"); at != std::string::npos; at = pattern.find("\tbyte %", at + 1)) {
        const std::size_t comment = pattern.find(';', at);
        if (comment + 1 >= pattern.size() || !std::isdigit(static_cast<unsigned char>(pattern[comment + 1])))
            continue; // a chain's closing byte
        const std::size_t bar = pattern.find('|', comment);
        bytes[std::stoi(pattern.substr(comment + 1, bar - comment - 1))] = std::stoi(pattern.substr(at + 7, 8), nullptr, 2);
    }
    return bytes;
}

// positions: the song order list, one position for each 64 engine rows of
// the song (rows: the engine rows the import laid the played rows out in);
// slotTypes: the eight slots' types as the song plays them.
inline IntervalFigures consoleIntervals(const ostrak::TrackerModule& module, const ostrak::PlayedSong& song,
                                        const std::vector<ostrak::EngineRow>& rows, const std::set<int>& drums,
                                        const std::array<int, 2>& channels, const ostrak::WorkingMemory& memory,
                                        const std::vector<int>& positions, const std::array<int, 8>& slotTypes)
{
    std::vector<double> errors;
    for (int side = 0; side < 2; ++side) {
        if (channels[std::size_t(side)] < 0)
            continue;
        int instrument = 0, lastNote = 0, lastInstrument = 0;
        double lastHz = -1; // -1: no note yet; 0: the last one had no tone
        for (std::size_t i = 0; i < positions.size(); ++i) {
            const std::size_t position = std::size_t(positions[i]);
            const std::map<int, int> bytes =
                bytesByRow(side ? memory.StorePatternB[position] : memory.StorePatternA[position]);
            for (int row = 0; row < ostrak::kPositionRows; ++row) {
                const std::size_t r = i * ostrak::kPositionRows + std::size_t(row);
                if (r >= rows.size() || rows[r].played < 0 || !rows[r].first)
                    continue; // silence after the end, or a module row held on
                const ostrak::PlayedRow& played = song.rows[std::size_t(rows[r].played)];
                const ostrak::TrackerModule::RawCell cell =
                    module.rawCell(played.pattern, played.row, channels[std::size_t(side)]);
                if (cell.instrument > 0)
                    instrument = cell.instrument;
                if (cell.note < 1 || cell.note > ostrak::kModuleLastNote || instrument <= 0 || drums.count(instrument))
                    continue;
                const auto byte = bytes.find(row);
                if (byte == bytes.end()) {
                    lastHz = -1; // a row the import left out: its note never reaches the console
                    continue;
                }
                double hz = 0;
                if (byte->second != 255) {
                    const auto audc = ostrak::sound::audcOfSoundType(slotTypes[std::size_t(byte->second >> 5)]);
                    if (audc && ostrak::sound::isTonal(*audc))
                        hz = ostrak::sound::toneFrequency(*audc, byte->second & 31, ostrak::sound::playbackClock());
                }
                if (lastHz >= 0 && (cell.note != lastNote || instrument != lastInstrument))
                    errors.push_back(hz > 0 && lastHz > 0 ? std::abs(ostrak::sound::centsBetween(hz, lastHz)
                                                                     - 100.0 * (cell.note - lastNote))
                                                          : 1200.0);
                lastNote = cell.note;
                lastInstrument = instrument;
                lastHz = hz;
            }
        }
    }
    IntervalFigures f;
    f.pairs = int(errors.size());
    if (errors.empty())
        return f;
    std::sort(errors.begin(), errors.end());
    f.median = errors.size() % 2 ? errors[errors.size() / 2]
                                 : (errors[errors.size() / 2 - 1] + errors[errors.size() / 2]) / 2;
    f.within50 = double(std::count_if(errors.begin(), errors.end(), [](double c) { return c <= 50; })) / f.pairs;
    f.off600 = double(std::count_if(errors.begin(), errors.end(), [](double c) { return c >= 600; })) / f.pairs;
    return f;
}

// The same for what the import window just imported of this module: its
// channels, the song order lists, the slots as they stand, and the engine
// rows as the import lays the played song out (60 or 50 frames a second).
inline IntervalFigures intervalsOfImport(const std::string& moduleBytes, const ostrak::FrmMain& w,
                                         const ostrak::FrmImport& imp, const ostrak::WorkingMemory& memory)
{
    const ostrak::TrackerModule module(moduleBytes);
    const ostrak::PlayedSong song = module.playedSong();
    std::vector<double> starts;
    for (const ostrak::PlayedRow& r : song.rows)
        starts.push_back(r.start);
    std::vector<int> patterns; // as the import window finds the drums
    for (const ostrak::OrderPattern& p : module.orderPatterns())
        patterns.push_back(p.pattern);
    const ostrak::RowTiming timing = ostrak::chooseRowTiming(starts, song.seconds, w.chkPal->isChecked() ? 50 : 60);
    std::vector<int> positions;
    for (int row = 0; row < w.listCH1->count(); ++row)
        positions.push_back(int(common::leadingNumber(w.listCH1->rowText(row))));
    std::array<int, 8> types{};
    for (std::size_t i = 0; i < 8; ++i)
        types[i] = int(common::leadingNumber(w.WaveMatrix[i]->text8()));
    const auto channel = [](const QComboBox* box) { return box->currentData().isValid() ? box->currentData().toInt() : -1; };
    return consoleIntervals(module, song, ostrak::engineRows(timing.repeats),
                            ostrak::summariseChannels(module, patterns).drums,
                            {channel(imp.cmbChannelA), channel(imp.cmbChannelB)}, memory, positions, types);
}

} // namespace testing_support
