#pragma once
// The sound card, as the play commands see it: something that pulls mono
// 16-bit samples from a source while it plays. Tests stand in for it.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace ostrak {

class AudioOutput {
public:
    // Fills `count` samples; called whenever the device wants more.
    using Source = std::function<void(std::int16_t* out, std::size_t count)>;

    virtual ~AudioOutput() = default;
    // The rate the device plays at; 0 when there is no output device.
    virtual int sampleRate() = 0;
    // Plays from `source` at the rate sampleRate() last gave, until stop(),
    // replacing whatever played before. False when the device refuses.
    virtual bool start(Source source) = 0;
    virtual void stop() = 0;
    // Samples the device has played since the last start: what is heard now.
    virtual std::uint64_t samplesPlayed() const = 0;
};

// The real one: Qt Multimedia's default output, fed from the GUI thread
// with a short buffer.
std::unique_ptr<AudioOutput> makeQtAudioOutput();

// From `pactl list sink-inputs` (C locale): how long, in microseconds, a
// sample written now waits before it sounds ("Buffer Latency" plus "Sink
// Latency") for the stream of process `pid`; -1 when the text does not tell.
long long pulseLatencyUs(const std::string& pactlText, long long pid);

} // namespace ostrak
