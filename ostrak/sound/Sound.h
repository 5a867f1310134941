#pragma once
// Hearing the console inside ostrak: the song.h reader, the engine model and
// the TIA sound, as plain rules over std::string (no Qt). The windows call
// only what this header declares.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ostrak::sound {

// ---- Clock -----------------------------------------------------------------
// The TIA makes two audio clocks per scan line; the engine's frame is 262
// lines on an NTSC console and 312 on a PAL one, in any clock.
inline constexpr int kNtscLines = 262;
inline constexpr int kPalLines = 312;
struct Clock {
    double audioHz;          // audio clocks a second
    int lines = kNtscLines;  // scan lines a frame
    int clocksPerFrame() const { return 2 * lines; }
    double frameHz() const { return audioHz / clocksPerFrame(); }
    bool pal() const { return lines == kPalLines; }
};
// The clock ostrak plays in (the reason is written where it is defined).
Clock playbackClock(bool pal = false);
// Stella's clocks: NTSC 262 lines x 76 cycles x 60 / 38 = 31,440 Hz at
// 60.00 frames a second, PAL 312 x 76 x 50 / 38 = 31,200 Hz at 50.00, for
// comparing with recordings of Stella.
Clock stellaClock(bool pal = false);

// ---- song.h reader -----------------------------------------------------------
// The data of a song.h laid out as dasm would lay it out, every label resolved.
struct SongImage;

struct ReadResult {
    std::shared_ptr<const SongImage> image; // null when the text cannot be played
    // Plain-words problems, one a line, each naming the line number and its
    // text ("line 12: \"\tbyte %1x0\": ..."). Empty when dasm would accept it.
    std::vector<std::string> problems;
    // The bytes song.h lays down and the room engine.asm leaves them in the
    // 4 KB ROM (from the end of its own code and tables to the vectors).
    std::size_t romBytes = 0;
    std::size_t romRoom = 0;
};
ReadResult readSongH(const std::string& text);
// True when song.h holds the engine's PAL switch ("PAL equ 1"): the engine
// then builds 312-line frames, and ostrak plays it in the PAL clock.
bool palSwitch(const SongImage& image);
// playbackClock() of the console this song.h is built for.
Clock songClock(const SongImage& image);

// ---- Engine model ----------------------------------------------------------
// The TIA audio registers the engine sets in one frame, and where it is.
struct FrameRegs {
    std::uint8_t audc[2] = {0, 0};
    std::uint8_t audf[2] = {0, 0};
    std::uint8_t audv[2] = {0, 0};
    int step = 0; // song step being played (counted from 0)
    int row = 0;  // row of that step (0-31)
    // When each channel's AUDC, AUDF and AUDV take these values: CPU cycles
    // from the start of the frame's fourth line, where the engine calls
    // MusicPlay, counted along the path the player takes.
    int writeCycle[2][3] = {{0, 0, 0}, {0, 0, 0}};
};

// Plays a SongImage frame by frame as engine/engine.asm (player.asm) does.
class EngineModel {
public:
    explicit EngineModel(std::shared_ptr<const SongImage> image);
    ~EngineModel();
    FrameRegs nextFrame();
    // True once both song orders have wrapped at least once (or can never
    // wrap, such as an order of only 255), so one pass is over.
    bool passDone() const;

private:
    struct State;
    std::unique_ptr<State> s_;
};

// ---- TIA sound -------------------------------------------------------------
// The frequency in Hz of the tone AUDC/AUDF plays at this clock; 0 for the
// types that play noise (no single pitch) or silence.
double toneFrequency(int audc, int audf, Clock clock);
bool isTonal(int audc);
// One whole period of AUDC's waveform, one value (0 or 1) per divider pulse,
// from the state the engine's start-up leaves (so a long form starts where
// its first note starts in Stella). At AUDF f the chip holds each value
// f + 1 audio clocks. Empty for the types that hold a level (0, 11).
std::vector<std::uint8_t> waveForm(int audc);

// Streams a song as mono 16-bit samples: engine model, TIA at its audio clock,
// mixed as the console mixes, through Stella's output stage to sampleRate.
class SongRenderer {
public:
    SongRenderer(std::shared_ptr<const SongImage> image, int sampleRate,
                 Clock clock = playbackClock());
    ~SongRenderer();
    // Writes the next count samples; the song loops for ever.
    void render(std::int16_t* out, std::size_t count);
    std::uint64_t samplesRendered() const;
    // The song step and row heard at output sample index `sample`, for any
    // sample rendered within the last 30 seconds (else the nearest known).
    FrameRegs positionAt(std::uint64_t sample) const;
    bool passDone() const; // as EngineModel::passDone, for what was rendered

private:
    struct State;
    std::unique_ptr<State> s_;
};

// One pass of the song, until the longer song order wraps, at most
// maxSeconds long.
std::vector<std::int16_t> renderOnePass(std::shared_ptr<const SongImage> image,
                                        int sampleRate, double maxSeconds,
                                        Clock clock = playbackClock());

// Registers given frame by frame (what a ROM wrote, as a 6502 run tells it)
// through the same TIA, mixing and output stage, every frame played once.
std::vector<std::int16_t> renderFrames(const std::vector<FrameRegs>& frames, int sampleRate,
                                       Clock clock = playbackClock());

// The bytes of a RIFF WAVE file: 16-bit PCM, mono.
std::string wavFileBytes(const std::vector<std::int16_t>& samples, int sampleRate);

} // namespace ostrak::sound
