#pragma once
// Writes small tracker modules (IT, XM, S3M, MOD) from one plain description,
// just complete enough for libopenmpt to load: pattern data, the order list,
// pattern names (IT only) and empty sample or instrument slots. No sound data.
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

struct ModCell {
    int note = 0;    // 0 empty, 1-120 C-0..B-9, kNoteOff, kNoteCut, kNoteFade
    int instr = 0;   // 0 empty
    int vol = -1;    // -1 empty, 0-64 volume
    int pan = -1;    // -1 empty, 0-64 panning (volume column); vol wins when both
    int effect = 0;  // 0 empty, 1-26 the letters A-Z of IT/S3M (MOD/XM: the MOD number + 1)
    int param = 0;
};

struct ModPattern {
    int rows = 64;
    std::string name;
    std::vector<std::vector<ModCell>> cells; // [row][channel]; short rows are empty
    const ModCell* cell(int r, int c) const
    {
        if (r >= int(cells.size()) || c >= int(cells[std::size_t(r)].size()))
            return nullptr;
        return &cells[std::size_t(r)][std::size_t(c)];
    }
};

struct ModSong {
    int channels = 4;
    int instruments = 16;
    int speed = 6, tempo = 125; // at the start (MOD: always 6 and 125)
    std::vector<int> order; // pattern numbers; kSkipOrder is "+++", kEndOrder "---"
    std::vector<ModPattern> patterns;
};

inline constexpr int kNoteOff = 255, kNoteCut = 254, kNoteFade = 253;
inline constexpr int kSkipOrder = 254, kEndOrder = 255;

namespace module_writer_detail {
inline void put8(std::string& s, int v) { s.push_back(char(v & 0xFF)); }
inline void put16(std::string& s, int v) { put8(s, v); put8(s, v >> 8); }
inline void put16be(std::string& s, int v) { put8(s, v >> 8); put8(s, v); }
inline void put32(std::string& s, std::uint32_t v) { put16(s, int(v & 0xFFFF)); put16(s, int(v >> 16)); }
inline void set16(std::string& s, std::size_t at, int v) { s[at] = char(v & 0xFF); s[at + 1] = char((v >> 8) & 0xFF); }
inline void set32(std::string& s, std::size_t at, std::uint32_t v) { set16(s, at, int(v & 0xFFFF)); set16(s, at + 2, int(v >> 16)); }
inline void putText(std::string& s, const std::string& text, std::size_t size)
{
    std::string t = text.substr(0, size);
    t.resize(size, '\0');
    s += t;
}
} // namespace module_writer_detail

inline std::string writeIt(const ModSong& song)
{
    using namespace module_writer_detail;
    std::string s = "IMPM";
    putText(s, "test song", 26);
    put16(s, 0x1004);                     // row highlights
    put16(s, int(song.order.size()));
    put16(s, 0);                          // instruments: sample mode
    put16(s, song.instruments);           // samples
    put16(s, int(song.patterns.size()));
    put16(s, 0x0214);                     // made with
    put16(s, 0x0214);                     // compatible with
    put16(s, 0x0001);                     // stereo, sample mode
    put16(s, 0);                          // special
    put8(s, 128); put8(s, 48); put8(s, song.speed); put8(s, song.tempo); put8(s, 128); put8(s, 0);
    put16(s, 0); put32(s, 0); put32(s, 0);
    for (int c = 0; c < 64; ++c) put8(s, c < song.channels ? 32 : 32 | 128);
    for (int c = 0; c < 64; ++c) put8(s, 64);
    for (int o : song.order) put8(s, o);
    const std::size_t sampleTable = s.size();
    s.append(std::size_t(song.instruments) * 4, '\0');
    const std::size_t patternTable = s.size();
    s.append(song.patterns.size() * 4, '\0');
    bool named = false;
    for (const ModPattern& p : song.patterns) named = named || !p.name.empty();
    if (named) {
        s += "PNAM";
        put32(s, std::uint32_t(song.patterns.size() * 32));
        for (const ModPattern& p : song.patterns) putText(s, p.name, 32);
    }
    for (int i = 0; i < song.instruments; ++i) {
        set32(s, sampleTable + std::size_t(i) * 4, std::uint32_t(s.size()));
        s += "IMPS";
        putText(s, "", 12);
        put8(s, 0); put8(s, 64); put8(s, 0); put8(s, 64);
        putText(s, "sample " + std::to_string(i + 1), 26);
        put8(s, 1); put8(s, 32);
        put32(s, 0); put32(s, 0); put32(s, 0); put32(s, 8363); put32(s, 0); put32(s, 0); put32(s, 0);
        put8(s, 0); put8(s, 0); put8(s, 0); put8(s, 0);
    }
    for (std::size_t i = 0; i < song.patterns.size(); ++i) {
        const ModPattern& p = song.patterns[i];
        std::string data;
        for (int r = 0; r < p.rows; ++r) {
            for (int c = 0; c < song.channels; ++c) {
                const ModCell* cell = p.cell(r, c);
                if (!cell) continue;
                int mask = (cell->note ? 1 : 0) | (cell->instr ? 2 : 0) | (cell->vol >= 0 || cell->pan >= 0 ? 4 : 0)
                           | (cell->effect ? 8 : 0);
                if (!mask) continue;
                put8(data, (c + 1) | 0x80);
                put8(data, mask);
                if (mask & 1) put8(data, cell->note <= 120 ? cell->note - 1 : cell->note == kNoteFade ? 246 : cell->note);
                if (mask & 2) put8(data, cell->instr);
                if (mask & 4) put8(data, cell->vol >= 0 ? cell->vol : 128 + cell->pan);
                if (mask & 8) { put8(data, cell->effect); put8(data, cell->param); }
            }
            put8(data, 0);
        }
        set32(s, patternTable + i * 4, std::uint32_t(s.size()));
        put16(s, int(data.size()));
        put16(s, p.rows);
        put32(s, 0);
        s += data;
    }
    return s;
}

inline std::string writeXm(const ModSong& song)
{
    using namespace module_writer_detail;
    std::string s = "Extended Module: ";
    putText(s, "test song", 20);
    put8(s, 0x1A);
    putText(s, "test writer", 20);
    put16(s, 0x0104);
    put32(s, 276);
    put16(s, int(song.order.size()));
    put16(s, 0);
    put16(s, song.channels);
    put16(s, int(song.patterns.size()));
    put16(s, song.instruments);
    put16(s, 1);
    put16(s, song.speed);
    put16(s, song.tempo);
    for (int i = 0; i < 256; ++i) put8(s, i < int(song.order.size()) ? song.order[std::size_t(i)] : 0);
    for (const ModPattern& p : song.patterns) {
        std::string data;
        for (int r = 0; r < p.rows; ++r)
            for (int c = 0; c < song.channels; ++c) {
                const ModCell empty;
                const ModCell& cell = p.cell(r, c) ? *p.cell(r, c) : empty;
                put8(data, cell.note == kNoteOff ? 97 : cell.note > 0 && cell.note <= 96 ? cell.note : 0);
                put8(data, cell.instr);
                put8(data, cell.vol >= 0 ? 0x10 + cell.vol : cell.pan >= 0 ? 0xC0 + cell.pan / 4 : 0);
                put8(data, cell.effect ? cell.effect - 1 : 0);
                put8(data, cell.effect ? cell.param : 0);
            }
        put32(s, 9);
        put8(s, 0);
        put16(s, p.rows);
        put16(s, int(data.size()));
        s += data;
    }
    for (int i = 0; i < song.instruments; ++i) {
        put32(s, 29);
        putText(s, "instrument " + std::to_string(i + 1), 22);
        put8(s, 0);
        put16(s, 0);
    }
    return s;
}

// S3M patterns always have 64 rows; notes are written as octave and semitone.
inline std::string writeS3m(const ModSong& song)
{
    using namespace module_writer_detail;
    std::string s;
    putText(s, "test song", 28);
    put8(s, 0x1A); put8(s, 16); put16(s, 0);
    put16(s, int(song.order.size()));
    put16(s, song.instruments);
    put16(s, int(song.patterns.size()));
    put16(s, 0);
    put16(s, 0x1320);
    put16(s, 2);
    s += "SCRM";
    put8(s, 64); put8(s, song.speed); put8(s, song.tempo); put8(s, 0x80 | 48); put8(s, 0); put8(s, 0);
    s.append(8, '\0');
    put16(s, 0);
    for (int c = 0; c < 32; ++c) put8(s, c < song.channels ? (c % 2 ? 8 + c / 2 : c / 2) : 255);
    for (int o : song.order) put8(s, o);
    const std::size_t instrTable = s.size();
    s.append(std::size_t(song.instruments) * 2, '\0');
    const std::size_t patternTable = s.size();
    s.append(song.patterns.size() * 2, '\0');
    auto align = [&s] { while (s.size() % 16) s.push_back('\0'); };
    for (int i = 0; i < song.instruments; ++i) {
        align();
        set16(s, instrTable + std::size_t(i) * 2, int(s.size() / 16));
        put8(s, 1);
        putText(s, "", 12);
        put8(s, 0); put16(s, 0);
        put32(s, 0); put32(s, 0); put32(s, 0);
        put8(s, 64); put8(s, 0); put8(s, 0); put8(s, 0);
        put32(s, 8363);
        s.append(12, '\0');
        putText(s, "sample " + std::to_string(i + 1), 28);
        s += "SCRS";
    }
    for (std::size_t i = 0; i < song.patterns.size(); ++i) {
        const ModPattern& p = song.patterns[i];
        std::string data;
        for (int r = 0; r < 64; ++r) {
            for (int c = 0; c < song.channels; ++c) {
                const ModCell* cell = p.cell(r, c);
                if (!cell) continue;
                const bool noteOrInstr = cell->note || cell->instr;
                const int flags = c | (noteOrInstr ? 32 : 0) | (cell->vol >= 0 ? 64 : 0) | (cell->effect ? 128 : 0);
                if (flags == c) continue;
                put8(data, flags);
                if (noteOrInstr) {
                    const int n = cell->note;
                    put8(data, n == 0 ? 255 : n == kNoteCut ? 254 : ((n - 1) / 12) << 4 | (n - 1) % 12);
                    put8(data, cell->instr);
                }
                if (cell->vol >= 0) put8(data, cell->vol);
                if (cell->effect) { put8(data, cell->effect); put8(data, cell->param); }
            }
            put8(data, 0);
        }
        align();
        set16(s, patternTable + i * 2, int(s.size() / 16));
        put16(s, int(data.size()) + 2);
        s += data;
    }
    return s;
}

// ProTracker periods of C-1 to B-3; notes outside them are written empty.
inline int modPeriod(int note)
{
    static const int periods[36] = {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
                                    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
                                    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};
    return note >= 1 && note <= 36 ? periods[note - 1] : 0;
}

// 64 rows a pattern, up to 31 samples; cell notes are 1-36 (ProTracker C-1 to B-3).
inline std::string writeMod(const ModSong& song)
{
    using namespace module_writer_detail;
    std::string s;
    putText(s, "test song", 20);
    for (int i = 0; i < 31; ++i) {
        putText(s, i < song.instruments ? "sample " + std::to_string(i + 1) : "", 22);
        put16be(s, 0); put8(s, 0); put8(s, 64); put16be(s, 0); put16be(s, 1);
    }
    put8(s, int(song.order.size()));
    put8(s, 127);
    for (int i = 0; i < 128; ++i) put8(s, i < int(song.order.size()) ? song.order[std::size_t(i)] : 0);
    s += song.channels == 4 ? std::string("M.K.") : std::to_string(song.channels) + "CHN";
    for (const ModPattern& p : song.patterns)
        for (int r = 0; r < 64; ++r)
            for (int c = 0; c < song.channels; ++c) {
                const ModCell empty;
                const ModCell& cell = p.cell(r, c) ? *p.cell(r, c) : empty;
                const int period = modPeriod(cell.note);
                const int effect = cell.effect ? cell.effect - 1 : 0;
                put8(s, (cell.instr & 0xF0) | (period >> 8));
                put8(s, period & 0xFF);
                put8(s, (cell.instr & 0x0F) << 4 | effect);
                put8(s, cell.effect ? cell.param : 0);
            }
    return s;
}

// A song of `count` different patterns (up to 256) played once each, in
// order: every row holds a note (C-4 to G-6, the engine's range) and an
// instrument 1-16.
inline ModSong distinctPatternSong(int count, int rows = 64, int channels = 4)
{
    ModSong song;
    song.channels = channels;
    for (int p = 0; p < count; ++p) {
        ModPattern pattern;
        pattern.rows = rows;
        pattern.name = "P" + std::to_string(p);
        for (int r = 0; r < rows; ++r) {
            std::vector<ModCell> row(static_cast<std::size_t>(channels));
            for (int c = 0; c < channels; ++c)
                row[std::size_t(c)] = {49 + (p * 7 + p / 32 + r * 3 + c * 5) % 32, 1 + (p + r + c) % 16, r % 4 ? -1 : 48};
            pattern.cells.push_back(row);
        }
        song.patterns.push_back(pattern);
        song.order.push_back(p);
    }
    return song;
}

} // namespace testing_support
