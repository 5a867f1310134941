#pragma once
// Stand-ins for ostrak's seams, shared by the tests and the benchmarks: message
// boxes, outside programs and a sound card that only record what they are given
// (the clock stand-in is FixedClock in TestSupport.h).
#include "app/AudioOutput.h"
#include "app/Seams.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

class RecordingMessages : public ostrak::MessageBoxes {
public:
    std::vector<std::string> shown;
    std::vector<std::string> asked;
    bool answer = false; // what every question is answered
    void show(const std::string& text) override { shown.push_back(text); }
    bool ask(const std::string& question) override
    {
        asked.push_back(question);
        return answer;
    }
};

class RecordingLauncher : public ostrak::Launcher {
public:
    std::vector<std::string> started;
    std::vector<std::string> missing; // names that fail with code 53
    void start(const std::string& name) override;
};

// A sound card that plays only when a test pulls samples from it.
class RecordingAudio : public ostrak::AudioOutput {
public:
    int rate = 44100; // 0: no output device
    int starts = 0;
    bool playing = false;
    std::uint64_t played = 0;
    int sampleRate() override { return rate; }
    bool start(Source source) override;
    void stop() override;
    std::uint64_t samplesPlayed() const override { return played; }
    // What the device would take next; empty when nothing plays.
    std::vector<std::int16_t> pull(std::size_t count);

private:
    Source source_;
};

} // namespace testing_support
