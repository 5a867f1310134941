// engine/engine.asm's PlayFrame, StartStep and PlayRow, step by step, over
// the bytes of a SongImage. Names follow the engine's so the two read side by
// side; the engine tests hold the model against the ROM played in Stella.
#include "SongImage.h"

#include <algorithm>

namespace ostrak::sound {

namespace {
constexpr std::uint8_t kVolumeTable[13] = {15, 14, 13, 11, 10, 9, 8, 6, 5, 4, 3, 1, 0};
constexpr int kSilentEntry = -1;

// CPU cycles of the engine's paths, from its listing, for when the sound
// registers are written: the poly counters' phase at a note depends on it.
constexpr int kPlayFrameCall = 17;     // the line's first instructions and the jsr
constexpr int kToRows = 16;            // PlayFrame to .rows on a row that begins no step
constexpr int kToRowsOnStep = 15 + 24; // ... on a row that begins one, besides StartStep
constexpr int kStartStep = 100;        // ldx, jsr, StartStep to an entry, rts
constexpr int kStartStepWrap = 30;     // more when the order starts again
constexpr int kRowNoteWrite = 88;      // ldx, jsr, PlayRow to its sta AUDF0,x (AUDC 24 later, AUDV 43)
constexpr int kRowNoteDone = 141;      // ... to its rts
constexpr int kRowMuteWrite = 86;      // a row of 255 to its sta AUDV0,x
constexpr int kRowMuteDone = 96;
constexpr int kChainMuteWrite = 70;    // a chain address of 0
constexpr int kChainMuteDone = 80;
constexpr int kHatOff = 11;            // PlayRow's return to .channel2 with the hi-hat off
constexpr int kHatMiss = 39;           // ... with it on and no hit on this row
constexpr int kHatHit = 46;            // ... to sta AUDC1 on a hit (AUDF1 5 later, AUDV1 42)
constexpr int kSameRowHat = 40;        // a frame within a row, to sta AUDV1
} // namespace

struct EngineModel::State {
    std::shared_ptr<const SongImage> image;
    // The engine's equates, worked out as dasm works them out.
    int rowFramesValue = 1, hatFrom = 0, hLimit = 0;
    std::uint8_t hatSound = 0, hatPitch = 0, hatVolume = 0;
    std::uint16_t songStart[2] = {0, 0};
    std::uint16_t arrayH = 0, arrayL = 0, typeArray = 0, turnArray = 0, hatPattern = 0;
    // The engine's RAM.
    std::uint16_t song[2] = {0, 0};
    int entry[2] = {kSilentEntry, kSilentEntry};
    int rowIndex = 0, rowFrames = 0, barCount = 0;
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
        cycles += kStartStep;
        std::uint16_t ptr = song[x];
        int n = read(ptr);
        if (n == 255) {
            cycles += kStartStepWrap;
            wrapped[x] = true;
            ptr = song[x] = songStart[x];
            n = read(ptr);
            if (n == 255) {
                entry[x] = kSilentEntry;
                return;
            }
        }
        song[x] = std::uint16_t(song[x] + 1);
        if (n >= 128)
            entry[x] = std::uint16_t(arrayL + 8 * (n & 0x7F));
        else if (n >= hLimit)
            entry[x] = kSilentEntry;
        else
            entry[x] = std::uint16_t(arrayH + 8 * n);
    }

    void playRow(int x)
    {
        regs.audv[x] = 0;
        // The silent entry's chains are rows of 255.
        if (entry[x] == kSilentEntry) {
            written(x, cycles + kRowMuteWrite, 0, 0);
            cycles += kRowMuteDone;
            return;
        }
        const std::uint32_t chainAt = std::uint32_t(entry[x]) + ((rowIndex >> 2) & 6);
        const std::uint16_t chain = std::uint16_t(read(chainAt) | read(std::uint16_t(chainAt) + 1) << 8);
        if (chain == 0) {
            written(x, cycles + kChainMuteWrite, 0, 0);
            cycles += kChainMuteDone;
            return; // a "word" line with a missing chain
        }
        const int rowByte = read(std::uint32_t(chain) + (rowIndex & 7));
        if (rowByte == 255) {
            written(x, cycles + kRowMuteWrite, 0, 0);
            cycles += kRowMuteDone;
            return;
        }
        written(x, cycles + kRowNoteWrite + 24, cycles + kRowNoteWrite, cycles + kRowNoteWrite + 43);
        cycles += kRowNoteDone;
        const int slot = rowByte >> 5;
        regs.audf[x] = std::uint8_t(rowByte & 0x1F);
        regs.audc[x] = std::uint8_t(read(std::uint32_t(typeArray) + slot) & 0x0F);
        const int turn = std::min<int>(read(std::uint32_t(turnArray) + slot), 12);
        regs.audv[x] = kVolumeTable[turn];
    }
};

EngineModel::EngineModel(std::shared_ptr<const SongImage> image) : s_(std::make_unique<State>())
{
    State& s = *s_;
    s.image = image ? std::move(image) : std::make_shared<SongImage>();
    const std::int64_t tempo = s.symbol("TEMPODELAY");
    s.rowFramesValue = int(std::clamp<std::int64_t>(tempo, 1, 255));
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
        s.rowFrames = s.rowFramesValue;
        s.cycles += s.rowIndex == 0 ? kToRowsOnStep : kToRows;
        if (s.rowIndex == 0) {
            s.startStep(0);
            s.startStep(1);
            if (s.barCount >= s.hatFrom)
                s.hatOn = true;
            if (s.barCount != 255)
                ++s.barCount;
            s.regs.step = s.stepsBegun++;
        }
        s.regs.row = s.rowIndex;
        s.playRow(0);
        s.hatActive = false;
        static constexpr std::uint8_t kBitMask[8] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
        const bool hit = s.hatOn && (s.read(std::uint32_t(s.hatPattern) + (s.rowIndex >> 3)) & kBitMask[s.rowIndex & 7]);
        if (hit) {
            s.written(1, s.cycles + kHatHit, s.cycles + kHatHit + 5, s.cycles + kHatHit + 42);
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
    --s.rowFrames;
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
