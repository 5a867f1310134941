// Engine model -> TIA channels -> mixing -> output stage -> samples.
#include "SongImage.h"
#include "Tia.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <deque>
#include <mutex>
#include <optional>

namespace ostrak::sound {

// The one clock ostrak plays in is the console's own: its crystal divided by
// 114 colour clocks a half line (NTSC 3,579,545 Hz, PAL 3,546,894 Hz), so the
// pitch guide, Play and song.wav are what a cartridge plays on a real
// console. Stella rounds its clock to whole frames a second, 0.13 % (2
// cents) faster on NTSC and 0.28 % (5 cents) on PAL, which no ear tells; the
// comparisons with Stella's recordings render in stellaClock().
Clock playbackClock(bool pal)
{
    return pal ? Clock{3546894.0 / 114.0, kPalLines} : Clock{3579545.0 / 114.0, kNtscLines};
}
Clock stellaClock(bool pal)
{
    return pal ? Clock{kPalLines * 76.0 * 50.0 / 38.0, kPalLines} : Clock{kNtscLines * 76.0 * 60.0 / 38.0, kNtscLines};
}
bool palSwitch(const SongImage& image) { return image.symbol("PAL").has_value(); }
Clock songClock(const SongImage& image) { return playbackClock(palSwitch(image)); }

namespace {
// The output stage (Tia.h) leaves samples of about -0.5 to 0.5 of mixLevel's
// range after its high-pass.
constexpr double kScale = 30000.0;
constexpr double kPositionSeconds = 30.0;
// Where in each line of 228 colour clocks the audio clock's two phases fall.
// Stella's audio keeps its own count of colour clocks (dividers at 9 and 81,
// counters at 37 and 149), which RSYNC does not restart. The engine's
// start-up clears every TIA address, RSYNC among them; the last RSYNC lands
// when that count is 6 colour clocks past the line's new start, and it stays
// so: the phases fall 6 colour clocks earlier in every line. Stella's
// recordings bear this out note by note. A write that completes on colour
// clock c is seen by a phase at c or later.
constexpr int kDividerPhase[2] = {3, 75}, kCounterPhase[2] = {31, 143};

struct Player {
    // Plays a song through the engine model, or (without an image) the
    // frames put into `given`.
    Player(std::shared_ptr<const SongImage> image, int sampleRate, Clock clock)
        : model(image ? std::optional<EngineModel>(std::in_place, std::move(image)) : std::nullopt),
          rate(std::clamp(sampleRate, 8000, 384000)), stage(rate, std::clamp(clock.audioHz, 1000.0, 1e6)),
          clocksPerFrame(clock.clocksPerFrame())
    {
        // Rates out of any sound card's range are pinned, so no rate can stall
        // the stream (at 0 no sample would ever be finished).
        for (int sum = 0; sum <= 30; ++sum)
            mix[sum] = mixLevel(sum);
    }

    // Plays one frame into `ready`; false (and nothing played) when
    // `stopAtPassEnd` and this frame would begin the song again.
    bool frame(bool stopAtPassEnd)
    {
        // Given frames are over once the last has been played.
        const bool givenOver = !model && nextGiven >= given.size();
        const FrameRegs regs = model ? model->nextFrame() : givenOver ? FrameRegs{} : given[nextGiven++];
        passOver = model ? model->passDone() : givenOver;
        if (stopAtPassEnd && passOver)
            return false;
        const double start = double(clock) * stage.ratio();
        {
            const std::lock_guard lock(positionsMutex);
            positions.push_back({std::uint64_t(std::ceil(start)), regs});
        }
        // Each register takes its new value where the engine writes it: AUDF
        // from the first audio clock whose divider phase comes at or after the
        // write, AUDV from the first whose counters' phase does, AUDC for each
        // phase on its own (so a clock can see the old and the new).
        int from[2][4]; // AUDC at phase 0, AUDC at phase 1, AUDF, AUDV
        for (int x = 0; x < 2; ++x) {
            for (int r = 0; r < 3; ++r) {
                const int cc = 3 * std::clamp(regs.writeCycle[x][r], 0, 76 * (kNtscLines - 3)); // colour clocks
                const int line = cc / 228, at = cc % 228;
                const int phase0 = 2 * line + (at <= kDividerPhase[0] ? 0 : at <= kDividerPhase[1] ? 1 : 2);
                const int phase1 = 2 * line + (at <= kCounterPhase[0] ? 0 : at <= kCounterPhase[1] ? 1 : 2);
                if (r == 0) {
                    from[x][0] = phase0;
                    from[x][1] = phase1;
                } else {
                    from[x][r + 1] = r == 1 ? phase0 : phase1;
                }
            }
        }
        for (int i = 0; i < clocksPerFrame;) {
            int audcBefore[2], audcAfter[2], audf[2], audv[2];
            int next = clocksPerFrame; // the next clock where a register changes
            for (int x = 0; x < 2; ++x) {
                audcBefore[x] = i >= from[x][0] ? regs.audc[x] : applied.audc[x];
                audcAfter[x] = i >= from[x][1] ? regs.audc[x] : applied.audc[x];
                audf[x] = i >= from[x][2] ? regs.audf[x] : applied.audf[x];
                audv[x] = i >= from[x][3] ? regs.audv[x] : applied.audv[x];
                for (const int at : from[x])
                    if (at > i)
                        next = std::min(next, at);
            }
            while (i < next) {
                // Clocks where both channels only count their dividers change
                // nothing but a new AUDV, which sounds at once.
                const int idle = std::min({channel[0].idleClocks(audf[0]), channel[1].idleClocks(audf[1]), next - i});
                int sum = 0;
                if (idle > 0) {
                    sum = heldSum(audv[0], audv[1]);
                    channel[0].skip(idle);
                    channel[1].skip(idle);
                } else {
                    sum = channel[0].clock(audcBefore[0], audf[0], audcAfter[0], audv[0]) +
                          channel[1].clock(audcBefore[1], audf[1], audcAfter[1], audv[1]);
                }
                const int clocks = std::max(idle, 1);
                stage.hold(mix[sum], std::uint64_t(clocks), levels);
                i += clocks;
                clock += std::uint64_t(clocks);
            }
        }
        applied = regs;
        finish();
        return true;
    }

    // Both channels' output while their counters hold still.
    int heldSum(int audv0, int audv1) const { return channel[0].output(audv0) + channel[1].output(audv1); }

    // The samples the output stage has settled, to 16 bits.
    void finish()
    {
        const std::size_t at = ready.size();
        ready.resize(at + levels.size());
        for (std::size_t i = 0; i < levels.size(); ++i)
            ready[at + i] = std::int16_t(std::clamp(std::lrint(levels[i] * kScale), -32767L, 32767L));
        levels.clear();
    }

    void forgetOldPositions()
    {
        const std::lock_guard lock(positionsMutex);
        const auto keepFrom = std::uint64_t(kPositionSeconds * rate);
        while (positions.size() > 1 && positions[1].first + keepFrom <= handedOut)
            positions.pop_front();
    }

    std::optional<EngineModel> model;
    std::vector<FrameRegs> given;
    std::size_t nextGiven = 0;
    int rate;
    TiaChannel channel[2]; // as the engine's start-up leaves them (Tia.h)
    OutputStage stage;
    double mix[31] = {};
    int clocksPerFrame;
    std::uint64_t clock = 0;
    FrameRegs applied; // the registers as the last frame left them
    std::vector<double> levels;
    std::vector<std::int16_t> ready; // rendered, from readyFrom on not yet handed out
    std::size_t readyFrom = 0;
    std::atomic<std::uint64_t> handedOut = 0;
    std::atomic<bool> passOver = false; // what the model says, for other threads
    std::deque<std::pair<std::uint64_t, FrameRegs>> positions; // first sample of each frame
    // The window asks where the song is while an audio thread renders.
    mutable std::mutex positionsMutex;
};

} // namespace

struct SongRenderer::State : Player {
    using Player::Player;
};

SongRenderer::SongRenderer(std::shared_ptr<const SongImage> image, int sampleRate, Clock clock)
    : s_(std::make_unique<State>(image ? std::move(image) : std::make_shared<SongImage>(), sampleRate, clock))
{
}

SongRenderer::~SongRenderer() = default;

void SongRenderer::render(std::int16_t* out, std::size_t count)
{
    Player& p = *s_;
    while (p.ready.size() - p.readyFrom < count)
        p.frame(false);
    std::copy_n(p.ready.begin() + std::ptrdiff_t(p.readyFrom), count, out);
    p.readyFrom += count;
    // Moved down once it is mostly handed out, not on every call.
    if (p.readyFrom * 2 > p.ready.size()) {
        p.ready.erase(p.ready.begin(), p.ready.begin() + std::ptrdiff_t(p.readyFrom));
        p.readyFrom = 0;
    }
    s_->handedOut += count;
    s_->forgetOldPositions();
}

std::uint64_t SongRenderer::samplesRendered() const { return s_->handedOut; }

FrameRegs SongRenderer::positionAt(std::uint64_t sample) const
{
    const std::lock_guard lock(s_->positionsMutex);
    const auto& positions = s_->positions;
    if (positions.empty())
        return {};
    auto after = std::upper_bound(positions.begin(), positions.end(), sample,
                                  [](std::uint64_t at, const auto& position) { return at < position.first; });
    return after == positions.begin() ? positions.front().second : std::prev(after)->second;
}

bool SongRenderer::passDone() const { return s_->passOver; }

namespace {
// Plays until the pass is over or maxSeconds are heard, and cuts the samples there.
std::vector<std::int16_t> playToEnd(Player& state, double maxSeconds, Clock clock)
{
    const auto maxClocks = std::uint64_t(std::clamp(maxSeconds, 0.0, 86400.0) * clock.audioHz);
    while (state.clock < maxClocks && state.frame(true)) {
    }
    // The last samples need the clocks just after the pass; then cut at its end.
    state.stage.hold(state.mix[state.heldSum(state.applied.audv[0], state.applied.audv[1])], OutputStage::kLobes + 1,
                     state.levels);
    state.finish();
    const auto length = std::size_t(std::llround(double(std::min(state.clock, maxClocks)) * state.stage.ratio()));
    std::vector<std::int16_t> samples(state.ready.begin(), state.ready.end());
    samples.resize(std::min(samples.size(), length));
    return samples;
}
} // namespace

std::vector<std::int16_t> renderOnePass(std::shared_ptr<const SongImage> image, int sampleRate, double maxSeconds,
                                        Clock clock)
{
    Player state(image ? std::move(image) : std::make_shared<SongImage>(), sampleRate, clock);
    return playToEnd(state, maxSeconds, clock);
}

std::vector<std::int16_t> renderFrames(const std::vector<FrameRegs>& frames, int sampleRate, Clock clock)
{
    Player state(nullptr, sampleRate, clock);
    state.given = frames;
    return playToEnd(state, 86400.0, clock);
}

std::string wavFileBytes(const std::vector<std::int16_t>& samples, int sampleRate)
{
    std::string bytes;
    auto put = [&](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.push_back(char((value >> (8 * i)) & 0xFF));
    };
    const auto dataSize = std::uint32_t(samples.size() * 2);
    bytes += "RIFF";
    put(36 + dataSize, 4);
    bytes += "WAVEfmt ";
    put(16, 4);
    put(1, 2); // PCM
    put(1, 2); // mono
    put(std::uint32_t(sampleRate), 4);
    put(std::uint32_t(sampleRate) * 2, 4); // bytes a second
    put(2, 2);                             // bytes a frame
    put(16, 2);                            // bits a sample
    bytes += "data";
    put(dataSize, 4);
    for (const std::int16_t sample : samples)
        put(std::uint16_t(sample), 2);
    return bytes;
}

} // namespace ostrak::sound
