// engine/player.asm's MusicPlay, step by step, over the bytes of a
// SongImage, as engine.asm (the demo) calls it once a frame. Names follow
// the player's so the two read side by side; the engine tests hold the model
// against the ROM run cycle by cycle and played in Stella.
#include "EngineSymbols.h"
#include "SongImage.h"

#include <algorithm>

namespace ostrak::sound {

namespace {
constexpr std::uint8_t kVolumeTable[13] = {15, 14, 13, 11, 10, 9, 8, 6, 5, 4, 3, 1, 0};
constexpr std::uint8_t kBits[8] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};

// Where the player's own tables lie in the demo's ROM: a read indexed past
// their page takes a cycle more.
constexpr auto kBitsAt = std::uint32_t(engineSymbol("MusicBits"));
constexpr auto kVolumeAt = std::uint32_t(engineSymbol("MusicVolume"));

// CPU cycles of the player's paths in the demo, from its listing, for when
// the sound registers are written: the poly counters' phase at a note
// depends on it. A write's cycle counts the write's own; reads indexed
// across a page add crossed(); in the demo's layout no branch crosses a page.
constexpr int kCall = 17;          // the frame's first instructions and the jsr
constexpr int kSameRow = 11;       // dec, bne, jmp MusicHatFrame
constexpr int kRowStart = 37;      // dec to tay on a new row: the guard, the fraction
constexpr int kHatWaits = 11;      // lda #0, ldx, bne .set, sta MusicHat
constexpr int kHatMiss = 32;       // ... the hi-hat on and its bit clear (two reads indexed)
constexpr int kHatHit = 33;        // ... set
constexpr int kRowsByte1 = 7;      // ldx #0, bit, bmi
constexpr int kRowsByte2 = 10;     // MusicTwo: tay to ora
constexpr int kRowRead = 8;        // lda (MusicChain),y and ldy: the row byte and whether the chain is silent
// MusicDecode, from its entry, and MusicMute.
constexpr int kByteMute = 5;       // cmp, beq MusicMute
constexpr int kMuteAudv = 6;       // lda #0, sta AUDV
constexpr int kByteAudf = 12;      // cmp, beq, tay, and, sta AUDF
constexpr int kByteAudc = 22;      // ... to sta AUDC (a table read)
constexpr int kByteQuiet = 15;     // ... a volume step past 12: to sta AUDV 0 (a table read)
constexpr int kByteAudv = 22;      // ... to sta AUDV (two table reads)
constexpr int kByteShown = 6;      // sta MUSICSHOWVOL, txa
constexpr int kSeam = 9;           // bne not taken, ldx #2, lda, and: between the channels
// MusicFetch, from its entry.
constexpr int kFetchRead = 20;     // the entry number read, its page worked out, compared with HLIMIT
constexpr int kFetchHigh = 17;     // bcc .high taken to the table's page and place
constexpr int kFetchLow = 27;      // iny to jmp .table, from 128 on
constexpr int kFetchSilent = 15;   // ... to .silent and its sta: no chains
constexpr int kFetchTable = 6;     // sta, bcc taken (4 more when the page carries)
constexpr int kFetchWord = 34;     // tya to sta: the chain's word read (two reads indexed)
constexpr int kFetchEnd1 = 5;      // txa, beq MusicHatFrame (channel 1)
constexpr int kFetchEnd2 = 9;      // ... lda #0, beq MusicTwo (channel 2)
// MusicNextRow.
constexpr int kNext = 12;          // the next row worked out
constexpr int kStepEnd = 8;        // ... at the step's end, MusicWait 0
constexpr int kStepEndWait = 4;    // ... more when it counts down
constexpr int kChainEnd = 9;       // and, bne, tax, beq MusicFetch
constexpr int kMovesEarly = 10;    // and, bne .moves, cpy, bcc MusicHatFrame: rows before 27
constexpr int kMoves = 20;         // ... rows 27 to 31, but for 27 and 29
constexpr int kMovesTo = 19;       // ... to MusicNext (row 27 next: channel 1, 29: channel 2)
// MusicNext, from its entry to MusicHatFrame.
constexpr int kNextStays = 11;     // an order of nothing but its marker
constexpr int kNextOn = 30;        // the next byte of the order (5 more past a page)
constexpr int kNextWrap = 45;      // the marker: from the top (5 more past a page)
// MusicHatFrame, from its entry.
constexpr int kHatAudv = 15, kHatAudc = 23, kHatAudf = 28; // while a hi-hat sounds

// One cycle more when a read at base + index leaves base's page.
int crossed(std::uint32_t base, int index) { return (base & 0xFF) + unsigned(index) > 0xFF ? 1 : 0; }
} // namespace

struct EngineModel::State {
    std::shared_ptr<const SongImage> image;
    // The player's equates, worked out as dasm works them out.
    int rowFrames = 1, fraction = 0, hatFrom = 0, hLimit = 0;
    std::uint8_t hatSound = 0, hatPitch = 0, hatVolume = 0;
    std::uint16_t songStart[2] = {0, 0};
    std::uint16_t arrayH = 0, arrayL = 0, typeArray = 0, turnArray = 0, hatPattern = 0;
    // The player's RAM; a chain in page 0 is silent.
    std::uint16_t order[2] = {0, 0}, chain[2] = {0, 0};
    int row = 0, frames = 1, frac = 0, wait = 0;
    int hat = 0; // MusicHat: 0x80 + volume while a hi-hat sounds
    // What the model tells.
    FrameRegs regs;
    int stepsBegun = 0;
    bool wrapped[2] = {false, false}, wrapNext[2] = {false, false};
    bool canWrap[2] = {true, true};
    int cycles = 0; // where the player is in this frame, for writeCycle

    std::uint8_t read(std::uint32_t address) const { return image->read(std::uint16_t(address)); }
    std::int64_t symbol(const char* name) const { return image->symbol(name).value_or(0); }

    // AUDC, AUDF and AUDV of channel x written at these cycles; 0 for one
    // only AUDV changes: all three at the first.
    void written(int x, int audc, int audf, int audv)
    {
        regs.writeCycle[x][0] = audc;
        regs.writeCycle[x][1] = audf ? audf : audc;
        regs.writeCycle[x][2] = audv ? audv : audc;
    }

    // MusicFetch: channel x's chain for row `row`, a multiple of 8.
    void fetch(int x)
    {
        cycles += kFetchRead;
        const int n = read(order[x]);
        std::uint32_t table = arrayH;
        if (n < hLimit) {
            cycles += kFetchHigh;
        } else if (n < 128 || n == 255) { // no chains: past patternArrayH, or an order of nothing but its marker
            cycles += kFetchSilent;
            chain[x] &= 0x00FF;
            return;
        } else {
            cycles += kFetchLow;
            table = std::uint32_t(arrayL - 1024) & 0xFFFF;
        }
        // Page n / 32 of the table and the chain's word, then 8(n % 32) into it.
        const std::uint32_t pointer = ((table & 0xFF00) + (std::uint32_t(n & 0xE0) << 3) + (table & 0xFF) + (row >> 2)) & 0xFFFF;
        const int y = (n << 3) & 0xFF;
        cycles += kFetchTable + ((table & 0xFF) + (row >> 2) > 0xFF ? 4 : 0);
        cycles += kFetchWord + crossed(pointer, y) + crossed(pointer, y + 1);
        const std::uint32_t word = pointer + std::uint32_t(y);
        chain[x] = std::uint16_t(read(word) | read(word + 1) << 8);
    }

    void mute(int x)
    {
        cycles += kMuteAudv;
        written(x, cycles, 0, 0);
        regs.audv[x] = 0;
    }

    // Channel x's row byte y read, then MusicDecode; `toMute` and
    // `toDecode` are the branches after the read to a silent chain's
    // MusicMute or to MusicDecode.
    void playRow(int x, int y, int toMute, int toDecode)
    {
        cycles += kRowRead + crossed(chain[x], y);
        if ((chain[x] >> 8) == 0) {
            cycles += toMute;
            mute(x);
            cycles += kByteShown;
            return;
        }
        cycles += toDecode;
        const int b = read(std::uint32_t(chain[x]) + std::uint32_t(y));
        if (b == 255) {
            cycles += kByteMute;
            mute(x);
        } else {
            const int slot = b >> 5;
            const int audf = cycles + kByteAudf;
            const int audc = audf + kByteAudc + crossed(typeArray, slot);
            const int turn = read(std::uint32_t(turnArray) + slot);
            const int audv = audc + (turn >= 13 ? kByteQuiet : kByteAudv + crossed(kVolumeAt, turn)) +
                             crossed(turnArray, slot);
            written(x, audc, audf, audv);
            cycles = audv;
            regs.audf[x] = std::uint8_t(b & 0x1F);
            regs.audc[x] = std::uint8_t(read(std::uint32_t(typeArray) + slot) & 0x0F);
            regs.audv[x] = turn >= 13 ? 0 : kVolumeTable[turn];
        }
        cycles += kByteShown;
    }

    // MusicNext: channel x's order moves to its next entry.
    void next(int x)
    {
        if (read(order[x]) == 255) {
            cycles += kNextStays;
            return;
        }
        const bool page = (order[x] & 0xFF) == 0xFF;
        order[x] = std::uint16_t(order[x] + 1);
        if (read(order[x]) != 255) {
            cycles += kNextOn + (page ? 5 : 0);
            return;
        }
        cycles += kNextWrap + (page ? 5 : 0);
        order[x] = songStart[x];
        wrapNext[x] = true;
    }

    void hatFrame()
    {
        if (!(hat & 0x80))
            return;
        const int at = cycles;
        written(1, at + kHatAudc, at + kHatAudf, at + kHatAudv);
        regs.audc[1] = hatSound;
        regs.audf[1] = hatPitch;
        regs.audv[1] = std::uint8_t(hat & 15);
        if (hat & 15)
            --hat;
    }

    // A new row: channel 1, channel 2's chain at its rows, channel 2 or the
    // hi-hat, then the next row's work.
    void newRow()
    {
        const int y = row & 7;
        if (row == 0) {
            regs.step = stepsBegun++;
            for (int x = 0; x < 2; ++x)
                wrapped[x] = wrapped[x] || wrapNext[x];
        }
        regs.row = row;
        if (wait != 0) {
            cycles += kHatWaits;
            hat = 0;
        } else {
            const std::uint32_t at = std::uint32_t(hatPattern) + std::uint32_t(row >> 3);
            cycles += crossed(hatPattern, row >> 3) + crossed(kBitsAt, y);
            hat = (read(at) & kBits[y]) ? 0x80 | hatVolume : 0;
            cycles += hat ? kHatHit : kHatMiss;
        }
        cycles += kRowsByte1;
        playRow(0, y, 3, 2);        // beq MusicMute taken, or not
        cycles += kSeam;
        if (y == 0) {
            cycles += 3;            // beq MusicFetch
            fetch(1);
            cycles += kFetchEnd2;
        } else {
            cycles += 2;
        }
        cycles += kRowsByte2;
        if (hat) {
            cycles += 3;            // bmi MusicNextRow
        } else {
            cycles += 2 + 2;        // bmi, ldx #1
            playRow(1, y, 2 + 3, 3); // bne, beq MusicMute; bne MusicDecode
            cycles += 3;            // bne MusicNextRow
        }
        cycles += kNext;
        row = (row + 1) & 31;
        if (row == 0) {
            cycles += kStepEnd + (wait != 0 ? kStepEndWait : 0);
            if (wait != 0)
                --wait;
        } else {
            cycles += 3;            // bne .chain
        }
        if ((row & 7) == 0) {
            cycles += kChainEnd;
            fetch(0);
            cycles += kFetchEnd1;
            return;
        }
        if (row < 27) {
            cycles += kMovesEarly;
        } else if (row == 27 || row == 29) {
            cycles += kMovesTo;
            next(row == 27 ? 0 : 1);
        } else {
            cycles += kMoves;
        }
    }
};

EngineModel::EngineModel(std::shared_ptr<const SongImage> image) : s_(std::make_unique<State>())
{
    State& s = *s_;
    s.image = image ? std::move(image) : std::make_shared<SongImage>();
    s.rowFrames = int(std::clamp<std::int64_t>(s.symbol("TEMPODELAY"), 1, 255));
    s.fraction = int(std::clamp<std::int64_t>(s.symbol("TEMPOFRAC"), 0, 255)); // 0 when song.h has none
    s.hatFrom = int(std::clamp<std::int64_t>(s.symbol("HATSTART"), 0, 255));
    const std::int64_t entries = (s.symbol("patternArrayL") - s.symbol("patternArrayH")) / 8;
    s.hLimit = int(std::clamp<std::int64_t>(entries, 0, 255));
    s.hatSound = std::uint8_t(s.symbol("HATSOUND") & 0x0F);
    s.hatPitch = std::uint8_t(s.symbol("HATPITCH") & 0x1F);
    s.hatVolume = std::uint8_t(s.symbol("HATVOLUME") & 15); // "lda #$80 | [HATVOLUME & 15]"
    s.songStart[0] = s.order[0] = std::uint16_t(s.symbol("song1"));
    s.songStart[1] = s.order[1] = std::uint16_t(s.symbol("song2"));
    s.arrayH = std::uint16_t(s.symbol("patternArrayH"));
    s.arrayL = std::uint16_t(s.symbol("patternArrayL"));
    s.typeArray = std::uint16_t(s.symbol("soundTypeArray"));
    s.turnArray = std::uint16_t(s.symbol("soundTurnArray"));
    s.hatPattern = std::uint16_t(s.symbol("hatPattern"));
    s.wait = s.hatFrom;
    // An order of nothing but its marker is silent from the start and never
    // moves; one with no marker ahead of it never wraps: it runs on through
    // the bytes after it (and the zeros after song.h) as long as one listens.
    for (int x = 0; x < 2; ++x) {
        const std::uint32_t start = s.songStart[x];
        const auto& bytes = s.image->bytes;
        const std::size_t from = start >= s.image->base ? start - s.image->base : 0;
        s.canWrap[x] = start >= s.image->base && from < bytes.size() &&
                       std::find(bytes.begin() + std::ptrdiff_t(from), bytes.end(), 255) != bytes.end();
        s.wrapped[x] = s.read(start) == 255;
    }
    s.fetch(0); // MusicInit: channel 1's first chain
}

EngineModel::~EngineModel() = default;

FrameRegs EngineModel::nextFrame()
{
    State& s = *s_;
    s.cycles = kCall;
    s.frames = (s.frames - 1) & 0xFF;
    if (s.frames != 0) {
        s.cycles += kSameRow;
    } else {
        // A row lasts one frame more whenever the fractions carry (a byte:
        // 255 frames and a carry make 0, so 256).
        const int sum = s.frac + s.fraction;
        s.frac = sum & 0xFF;
        s.frames = (s.rowFrames + (sum >> 8)) & 0xFF;
        s.cycles += kRowStart;
        s.newRow();
    }
    s.hatFrame();
    return s.regs;
}

bool EngineModel::passDone() const
{
    return (s_->wrapped[0] || !s_->canWrap[0]) && (s_->wrapped[1] || !s_->canWrap[1]);
}

} // namespace ostrak::sound
