// engine/engine.asm's PlayFrame, StartStep and PlayRow, step by step, over
// the bytes of a SongImage. Names follow the engine's so the two read side by
// side; the engine tests hold the model against the ROM played in Stella.
#include "EngineSymbols.h"
#include "SongImage.h"

#include <algorithm>

namespace ostrak::sound {

namespace {
constexpr std::uint8_t kVolumeTable[13] = {15, 14, 13, 11, 10, 9, 8, 6, 5, 4, 3, 1, 0};
constexpr int kSilentEntry = -1;

// CPU cycles of the engine's paths, from its listing, for when the sound
// registers are written: the poly counters' phase at a note depends on it.
// A write's cycle counts the write's own. Where a load's index crosses a page
// it takes a cycle more (crossed()); so do the engine's first branch to
// .channel2 and the one to .sameRow, which its layout puts across pages.
constexpr int kPlayFrameCall = 17;  // the line's first instructions and the jsr
constexpr int kToRows = 28;         // PlayFrame to .rows on a row that begins no step
constexpr int kToStep = 27;         // ... to the first StartStep on one that does
constexpr int kHatCheck = 5;        // lda barCount, cmp #HATFROM; bcc .countBar adds 3, or 7 on from bar HATFROM
constexpr int kBarCount = 5;        // lda barCount, cmp #255; beq .rows adds 3, or 7 with the inc
// StartStep, from its ldx and jsr to its rts.
constexpr int kStepRead = 34;       // to the entry byte read and bne .entry taken
constexpr int kStepWrap = 30;       // more when the order starts again (beq .silent not taken)
constexpr int kStepNext = 9;        // inc songLo,x; bne .pick taken
constexpr int kStepNextPage = 5;    // more when songLo passes a page and songHi counts up
constexpr int kStepHigh = 7 + 2 + 2 + 2 + 44; // ldy, sty ptr+1 and cmp #128, bcs not taken, cmp #HLIMIT, bcs not taken, the sum
constexpr int kStepLow = 7 + 3 + 46;          // ... bcs .lower taken, and #$7F and the sum
constexpr int kStepPastHigh = 7 + 2 + 2 + 3 + 18; // ... bcs .silent taken, then .silent
constexpr int kStepSilentAfterWrap = 1 + 18; // beq .silent taken after the wrap, then .silent
// PlayRow, from its ldx and jsr.
constexpr int kRowChain = 61;       // to the chain address read (two indexed reads)
constexpr int kRowByte = 2 + 14;    // beq not taken, to the row byte read and cmp #255
constexpr int kMuteWrite = 9;       // either beq .mute taken, lda #0, sta AUDV0,x
constexpr int kMuteDone = 10;       // sta shownVol,x, rts
constexpr int kNoteAudf = 2 + 9;    // beq not taken, pha, and, sta AUDF0,x
constexpr int kNoteAudc = 24;       // ... to sta AUDC0,x (a table read)
constexpr int kNoteAudv = 19;       // ... to sta AUDV0,x (a table read; a volume step past 12 adds 1)
constexpr int kNoteDone = 10;       // sta shownVol,x, rts
// From PlayRow's return on channel 1 to channel 2's ldx.
constexpr int kHatOff = 12;         // with the hi-hat off (the first beq .channel2 across a page)
constexpr int kHatMiss = 39;        // ... with it on and no hit on this row (and BitMask,x)
constexpr int kHatHit = 46;         // ... to sta AUDC1 on a hit (AUDF1 5 later, AUDV1 41)
constexpr auto kBitMaskAt = std::uint32_t(engineSymbol("BitMask"));
constexpr int kSameRowHat = 40;     // a frame within a row, to sta AUDV1

// One cycle more when a read at base + index leaves base's page.
int crossed(std::uint32_t base, int index) { return (base & 0xFF) + unsigned(index) > 0xFF ? 1 : 0; }
} // namespace

struct EngineModel::State {
    std::shared_ptr<const SongImage> image;
    // The engine's equates, worked out as dasm works them out.
    int rowFramesValue = 1, fraction = 0, hatFrom = 0, hLimit = 0;
    std::uint8_t hatSound = 0, hatPitch = 0, hatVolume = 0;
    std::uint16_t songStart[2] = {0, 0};
    std::uint16_t arrayH = 0, arrayL = 0, typeArray = 0, turnArray = 0, hatPattern = 0;
    // The engine's RAM.
    std::uint16_t song[2] = {0, 0};
    int entry[2] = {kSilentEntry, kSilentEntry};
    int rowIndex = 0, rowFrames = 0, barCount = 0, fracSum = 0;
    bool hatOn = false, hatActive = false;
    int hatLevel = 0;
    // What the model tells.
    FrameRegs regs;
    int stepsBegun = 0;
    bool wrapped[2] = {false, false};
    bool canWrap[2] = {true, true};

    std::uint8_t read(std::uint32_t address) const { return image->read(std::uint16_t(address)); }
    std::int64_t symbol(const char* name) const { return image->symbol(name).value_or(0); }

    int cycles = 0; // where the engine is in this frame, for writeCycle

    // AUDC, AUDF and AUDV of channel x written at these cycles; 0 for one
    // only AUDV changes: all three at the first.
    void written(int x, int audc, int audf, int audv)
    {
        regs.writeCycle[x][0] = audc;
        regs.writeCycle[x][1] = audf ? audf : audc;
        regs.writeCycle[x][2] = audv ? audv : audc;
    }

    void startStep(int x)
    {
        cycles += kStepRead;
        std::uint16_t ptr = song[x];
        int n = read(ptr);
        if (n == 255) {
            cycles += kStepWrap;
            wrapped[x] = true;
            ptr = song[x] = songStart[x];
            n = read(ptr);
            if (n == 255) {
                cycles += kStepSilentAfterWrap;
                entry[x] = kSilentEntry;
                return;
            }
        }
        cycles += kStepNext + ((song[x] & 0xFF) == 0xFF ? kStepNextPage : 0);
        song[x] = std::uint16_t(song[x] + 1);
        if (n >= 128) {
            cycles += kStepLow;
            entry[x] = std::uint16_t(arrayL + 8 * (n & 0x7F));
        } else if (n >= hLimit) {
            cycles += kStepPastHigh;
            entry[x] = kSilentEntry;
        } else {
            cycles += kStepHigh;
            entry[x] = std::uint16_t(arrayH + 8 * n);
        }
    }

    void mute(int x)
    {
        cycles += kMuteWrite;
        written(x, cycles, 0, 0);
        cycles += kMuteDone;
    }

    void playRow(int x)
    {
        regs.audv[x] = 0;
        cycles += kRowChain;
        // The silent entry's chains are rows of 255 (the engine's own tables, within one page).
        if (entry[x] == kSilentEntry) {
            cycles += kRowByte;
            mute(x);
            return;
        }
        const int chainIndex = (rowIndex >> 2) & 6;
        const std::uint32_t chainAt = std::uint32_t(entry[x]) + std::uint32_t(chainIndex);
        cycles += crossed(std::uint32_t(entry[x]), chainIndex) + crossed(std::uint32_t(entry[x]), chainIndex + 1);
        const std::uint16_t chain = std::uint16_t(read(chainAt) | read(std::uint16_t(chainAt) + 1) << 8);
        if (chain == 0) {
            mute(x); // a "word" line with a missing chain
            return;
        }
        cycles += kRowByte + crossed(chain, rowIndex & 7);
        const int rowByte = read(std::uint32_t(chain) + (rowIndex & 7));
        if (rowByte == 255) {
            mute(x);
            return;
        }
        const int slot = rowByte >> 5;
        const int turn = read(std::uint32_t(turnArray) + slot);
        const int audf = cycles + kNoteAudf;
        const int audc = audf + kNoteAudc + crossed(typeArray, slot);
        const int audv = audc + kNoteAudv + crossed(turnArray, slot) + (turn >= 13 ? 1 : 0);
        written(x, audc, audf, audv);
        cycles = audv + kNoteDone;
        regs.audf[x] = std::uint8_t(rowByte & 0x1F);
        regs.audc[x] = std::uint8_t(read(std::uint32_t(typeArray) + slot) & 0x0F);
        regs.audv[x] = kVolumeTable[std::min(turn, 12)];
    }
};

EngineModel::EngineModel(std::shared_ptr<const SongImage> image) : s_(std::make_unique<State>())
{
    State& s = *s_;
    s.image = image ? std::move(image) : std::make_shared<SongImage>();
    const std::int64_t tempo = s.symbol("TEMPODELAY");
    s.rowFramesValue = int(std::clamp<std::int64_t>(tempo, 1, 255));
    s.fraction = int(std::clamp<std::int64_t>(s.symbol("TEMPOFRAC"), 0, 255)); // 0 when song.h has none
    const std::int64_t hatStart = s.symbol("HATSTART");
    s.hatFrom = int(std::clamp<std::int64_t>(hatStart, 0, 255));
    const std::int64_t entries = (s.symbol("patternArrayL") - s.symbol("patternArrayH")) / 8;
    s.hLimit = int(std::min<std::int64_t>(entries, 128) & 0xFF); // "cmp #HLIMIT" sees the low byte
    s.hatSound = std::uint8_t(s.symbol("HATSOUND") & 0x0F);
    s.hatPitch = std::uint8_t(s.symbol("HATPITCH") & 0x1F);
    s.hatVolume = std::uint8_t(s.symbol("HATVOLUME") & 15); // "lda #HATVOLUME & 15"
    s.songStart[0] = s.song[0] = std::uint16_t(s.symbol("song1"));
    s.songStart[1] = s.song[1] = std::uint16_t(s.symbol("song2"));
    s.arrayH = std::uint16_t(s.symbol("patternArrayH"));
    s.arrayL = std::uint16_t(s.symbol("patternArrayL"));
    s.typeArray = std::uint16_t(s.symbol("soundTypeArray"));
    s.turnArray = std::uint16_t(s.symbol("soundTurnArray"));
    s.hatPattern = std::uint16_t(s.symbol("hatPattern"));
    // An order with no end marker ahead of it never wraps: it runs on through
    // the bytes after it (and the zeros after song.h) as long as one listens.
    for (int x = 0; x < 2; ++x) {
        const std::uint32_t start = s.songStart[x];
        const auto& bytes = s.image->bytes;
        const std::size_t from = start >= s.image->base ? start - s.image->base : 0;
        s.canWrap[x] = start >= s.image->base && from < bytes.size() &&
                       std::find(bytes.begin() + std::ptrdiff_t(from), bytes.end(), 255) != bytes.end();
    }
}

EngineModel::~EngineModel() = default;

FrameRegs EngineModel::nextFrame()
{
    State& s = *s_;
    s.cycles = kPlayFrameCall;
    if (s.rowFrames == 0) {
        // A row lasts one frame more whenever the fractions carry (a byte:
        // 255 frames and a carry make 0, so 256).
        const int sum = s.fracSum + s.fraction;
        s.fracSum = sum & 0xFF;
        s.rowFrames = (s.rowFramesValue + (sum >> 8)) & 0xFF;
        if (s.rowIndex == 0) {
            s.cycles += kToStep;
            s.startStep(0);
            s.startStep(1);
            const bool hatFromHere = s.barCount >= s.hatFrom;
            s.cycles += kHatCheck + (hatFromHere ? 7 : 3) + kBarCount + (s.barCount == 255 ? 3 : 7);
            s.hatOn = s.hatOn || hatFromHere;
            if (s.barCount != 255)
                ++s.barCount;
            s.regs.step = s.stepsBegun++;
        } else {
            s.cycles += kToRows;
        }
        s.regs.row = s.rowIndex;
        s.playRow(0);
        s.hatActive = false;
        static constexpr std::uint8_t kBitMask[8] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
        if (s.hatOn)
            s.cycles += crossed(s.hatPattern, s.rowIndex >> 3) + crossed(kBitMaskAt, s.rowIndex & 7);
        const bool hit = s.hatOn && (s.read(std::uint32_t(s.hatPattern) + (s.rowIndex >> 3)) & kBitMask[s.rowIndex & 7]);
        if (hit) {
            s.written(1, s.cycles + kHatHit, s.cycles + kHatHit + 5, s.cycles + kHatHit + 41);
            s.hatActive = true;
            s.regs.audc[1] = s.hatSound;
            s.regs.audf[1] = s.hatPitch;
            s.hatLevel = s.hatVolume;
        } else {
            s.cycles += s.hatOn ? kHatMiss : kHatOff;
            s.playRow(1);
        }
        s.rowIndex = (s.rowIndex + 1) & 31;
    }
    s.rowFrames = (s.rowFrames - 1) & 0xFF;
    if (s.hatActive && s.cycles == kPlayFrameCall)
        s.written(1, kSameRowHat, 0, 0); // only the hi-hat's volume moves
    if (s.hatActive) {
        s.regs.audv[1] = std::uint8_t(s.hatLevel);
        if (s.hatLevel != 0)
            --s.hatLevel;
    }
    return s.regs;
}

bool EngineModel::passDone() const
{
    return (s_->wrapped[0] || !s_->canWrap[0]) && (s_->wrapped[1] || !s_->canWrap[1]);
}

} // namespace ostrak::sound
