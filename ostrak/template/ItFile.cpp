#include "ItFile.h"

#include <algorithm>

namespace ostrak {

namespace {

constexpr std::size_t kHeaderSize = 0xC0;
constexpr int kTrackerVersion = 0x0214; // written by, and needs, Impulse Tracker 2.14

void put8(std::string& s, int v) { s.push_back(char(v & 0xFF)); }
void put16(std::string& s, int v)
{
    put8(s, v);
    put8(s, v >> 8);
}
void put32(std::string& s, std::uint32_t v)
{
    put16(s, int(v & 0xFFFF));
    put16(s, int(v >> 16));
}
void set32(std::string& s, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[at + std::size_t(i)] = char((v >> (8 * i)) & 0xFF);
}
void putText(std::string& s, std::string_view text, std::size_t size)
{
    std::string t(text.substr(0, std::min(text.size(), size)));
    t.resize(size, '\0');
    s += t;
}
int get16(std::string_view s, std::size_t at) { return std::uint8_t(s[at]) | std::uint8_t(s[at + 1]) << 8; }
std::uint32_t get32(std::string_view s, std::size_t at) { return std::uint32_t(get16(s, at)) | std::uint32_t(get16(s, at + 2)) << 16; }

// Impulse Instrument (the new form, Cmwt 2.00 on), 554 bytes.
void putInstrument(std::string& s, const ItInstrument& in)
{
    s += "IMPI";
    putText(s, "", 12);          // DOS file name
    put8(s, 0);                  // 00h
    put8(s, 0);                  // NNA: a new note cuts the old one, as on the console
    put8(s, 0);                  // DCT: off
    put8(s, 0);                  // DCA
    put16(s, 0);                 // FadeOut
    put8(s, 0);                  // PPS: pitch-pan separation
    put8(s, 60);                 // PPC: pitch-pan centre, C-5
    put8(s, in.globalVolume);    // GbV
    put8(s, 32 | 128);           // DfP: centre, not used
    put8(s, 0);                  // RV: random volume
    put8(s, 0);                  // RP: random panning
    put16(s, kTrackerVersion);   // TrkVers
    int used = 0;
    for (const ItNoteMapEntry& e : in.noteMap)
        used += e.sample != 0;
    put8(s, std::min(used, 255)); // NoS (kept for the tracker's display only)
    put8(s, 0);                  // x
    putText(s, in.name, 26);     // instrument name
    put8(s, 0);                  // IFC: no filter
    put8(s, 0);                  // IFR
    put8(s, 0);                  // MCh: no MIDI channel
    put8(s, 255);                // MPr: no MIDI program
    put16(s, 0xFFFF);            // MIDIBnk: none
    for (const ItNoteMapEntry& e : in.noteMap) { // note-sample/keyboard table
        put8(s, e.note);
        put8(s, e.sample);
    }
    // Volume, panning and pitch envelopes, all off: Flg, Num, LpB, LpE,
    // SLB, SLE, 25 nodes of (value, tick), one spare byte.
    for (int envelope = 0; envelope < 3; ++envelope) {
        put8(s, 0);
        put8(s, 2);
        put8(s, 0);
        put8(s, 0);
        put8(s, 0);
        put8(s, 0);
        for (int node = 0; node < 25; ++node) {
            put8(s, envelope == 0 && node < 2 ? 64 : 0);
            put16(s, node == 1 ? 100 : 0);
        }
        put8(s, 0);
    }
    s.append(4, '\0'); // Impulse Tracker writes 554 bytes
}

// Impulse Sample header, 80 bytes (SamplePointer at 48h); the data goes after the patterns.
void putSampleHeader(std::string& s, const ItSample& sample)
{
    const auto length = std::uint32_t(sample.data.size());
    s += "IMPS";
    putText(s, "", 12);          // DOS file name
    put8(s, 0);                  // 00h
    put8(s, 64);                 // GvL: global volume
    put8(s, length ? 1 | 16 : 0); // Flg: sample present, 8-bit, mono, not compressed, looped
    put8(s, 64);                 // Vol: default volume
    putText(s, sample.name, 26); // sample name
    put8(s, 1);                  // Cvt: signed samples
    put8(s, 32);                 // DfP: centre, not used
    put32(s, length);            // Length
    put32(s, 0);                 // Loop Begin
    put32(s, length);            // Loop End
    put32(s, sample.c5Speed);    // C5Speed
    put32(s, 0);                 // SusLoop Begin
    put32(s, 0);                 // SusLoop End
    put32(s, 0);                 // SamplePointer, set once the data's place is known
    put8(s, 0);                  // ViS, ViD, ViR, ViT: no vibrato
    put8(s, 0);
    put8(s, 0);
    put8(s, 0);
}

// A packed pattern: per cell a channel byte (bit 7: a mask follows), the
// mask (1 note, 2 instrument), the note and the instrument; 0 ends a row.
std::string packedPattern(const ItPattern& p, int channels)
{
    std::string data;
    for (int r = 0; r < p.rows; ++r) {
        if (r < int(p.cells.size())) {
            const std::vector<ItCell>& row = p.cells[std::size_t(r)];
            for (int c = 0; c < std::min(channels, int(row.size())); ++c) {
                const ItCell& cell = row[std::size_t(c)];
                const int mask = (cell.note >= 0 ? 1 : 0) | (cell.instrument > 0 ? 2 : 0);
                if (!mask)
                    continue;
                put8(data, (c + 1) | 0x80);
                put8(data, mask);
                if (mask & 1)
                    put8(data, cell.note);
                if (mask & 2)
                    put8(data, cell.instrument);
            }
        }
        put8(data, 0);
    }
    return data;
}

} // namespace

std::string itFileBytes(const ItModule& m)
{
    std::string s = "IMPM";
    putText(s, m.title, 26);                 // song name
    put8(s, 4);                              // PHiligt: row highlights, minor
    put8(s, 16);                             //          and major
    put16(s, int(m.orders.size()));          // OrdNum
    put16(s, int(m.instruments.size()));     // InsNum
    put16(s, int(m.samples.size()));         // SmpNum
    put16(s, int(m.patterns.size()));        // PatNum
    put16(s, kTrackerVersion);               // Cwt/v
    put16(s, kTrackerVersion);               // Cmwt
    put16(s, 1 | 4 | 8);                     // Flags: stereo, instruments, linear slides
    put16(s, m.message.empty() ? 0 : 1);     // Special: a song message is attached
    put8(s, 128);                            // GV: global volume
    put8(s, 48);                             // MV: mixing volume
    put8(s, m.speed);                        // IS: initial speed
    put8(s, m.tempo);                        // IT: initial tempo
    put8(s, 128);                            // Sep: panning separation
    put8(s, 0);                              // PWD: pitch wheel depth
    const std::string message = m.message.empty() ? std::string() : m.message + '\0';
    put16(s, int(message.size()));           // MsgLgth
    const std::size_t messageOffsetAt = s.size();
    put32(s, 0);                             // Message Offset, set below
    put32(s, 0);                             // Reserved
    for (int c = 0; c < 64; ++c)             // Chnl Pan: centre; 128 added turns a channel off
        put8(s, c < m.channels ? 32 : 32 | 128);
    for (int c = 0; c < 64; ++c)             // Chnl Vol
        put8(s, 64);
    for (int o : m.orders)                   // Orders
        put8(s, o);
    // Offsets of each instrument, sample header and pattern.
    const std::size_t instrumentTable = s.size();
    const std::size_t sampleTable = instrumentTable + 4 * m.instruments.size();
    const std::size_t patternTable = sampleTable + 4 * m.samples.size();
    s.append(4 * (m.instruments.size() + m.samples.size() + m.patterns.size()), '\0');

    set32(s, messageOffsetAt, std::uint32_t(message.empty() ? 0 : s.size()));
    s += message;
    for (std::size_t i = 0; i < m.instruments.size(); ++i) {
        set32(s, instrumentTable + 4 * i, std::uint32_t(s.size()));
        putInstrument(s, m.instruments[i]);
    }
    std::vector<std::size_t> headers;
    for (std::size_t i = 0; i < m.samples.size(); ++i) {
        set32(s, sampleTable + 4 * i, std::uint32_t(s.size()));
        headers.push_back(s.size());
        putSampleHeader(s, m.samples[i]);
    }
    for (std::size_t i = 0; i < m.patterns.size(); ++i) {
        const std::string data = packedPattern(m.patterns[i], m.channels);
        set32(s, patternTable + 4 * i, std::uint32_t(s.size()));
        put16(s, int(data.size())); // Length of the packed data
        put16(s, m.patterns[i].rows); // Rows
        put32(s, 0);                  // x
        s += data;
    }
    for (std::size_t i = 0; i < m.samples.size(); ++i) {
        set32(s, headers[i] + 0x48, std::uint32_t(s.size())); // SamplePointer
        const std::vector<std::int8_t>& data = m.samples[i].data;
        s.append(reinterpret_cast<const char*>(data.data()), data.size());
    }
    return s;
}

std::string itMessage(std::string_view bytes)
{
    if (bytes.size() < kHeaderSize || bytes.substr(0, 4) != "IMPM" || !(get16(bytes, 0x2E) & 1))
        return {};
    const std::size_t length = std::size_t(get16(bytes, 0x36));
    const std::size_t offset = get32(bytes, 0x38);
    if (offset > bytes.size() || length > bytes.size() - offset)
        return {};
    std::string text(bytes.substr(offset, length));
    text.resize(std::min(text.size(), text.find('\0')));
    return text;
}

} // namespace ostrak
