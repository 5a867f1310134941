// The real sound output, heard through a private sound server.
#include "PlayFixture.h"

#include "support/NullSoundServer.h"
#include "listen/PlayCommands.h"

#include <QMediaDevices>
#include <QAudioDevice>

#include <cstring>

namespace {

using namespace play_testing;
using testing_support::NullSoundServer;

// How many blocks of `heard` that are not silent are found, sample for
// sample, somewhere in `given`; and how many such blocks there are. A block
// cut by the stop or by a late refill of the device is not found.
std::pair<int, int> blocksFoundIn(const std::vector<std::int16_t>& heard, const std::vector<std::int16_t>& given)
{
    constexpr std::size_t kBlock = 1024;
    int found = 0, sounding = 0;
    for (std::size_t at = 0; at + kBlock <= heard.size(); at += kBlock) {
        const auto block = heard.begin() + std::ptrdiff_t(at);
        if (std::all_of(block, block + kBlock, [](std::int16_t s) { return s == 0; }))
            continue;
        ++sounding;
        found += std::search(given.begin(), given.end(), block, block + kBlock) != given.end();
    }
    return {found, sounding};
}

// The real Qt Multimedia output: without a device the window says so; with
// one, the tune plays and the position moves as the device plays it. On the
// private null output, what the output played is recorded and must be what
// the stand-in card was given, sample for sample.
TEST_F(PlayTest, RealSoundCardPlaysOrSaysThereIsNone)
{
    convertExample();
    w().cmdPlayPattern->click();
    const std::vector<std::int16_t> given = audio.pull(10 * 44100);
    w().cmdStopPlay->click();

    NullSoundServer server(folder.path());
    app = std::make_unique<ostrak::OstrakApp>(ostrak::Seams{messages, clock, launcher});
    convertExample();
    if (server.ok()) {
        EXPECT_TRUE(server.startRecording(folder.file("heard.raw")));
    }
    w().cmdPlayPattern->click();
    if (QMediaDevices::defaultAudioOutput().isNull()) {
        EXPECT_FALSE(server.ok()) << "the null output is not seen";
        EXPECT_EQ(messages.shown, std::vector<std::string>{ostrak::kNoAudioDevice});
        EXPECT_EQ(playing(), "");
        return;
    }
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front();
    EXPECT_TRUE(QTest::qWaitFor([&] { return playing() != "Step 0  Row 0"; }, 3000)) << playing();
    if (!server.ok()) {
        w().cmdStopPlay->click();
        EXPECT_EQ(playing(), "");
        return;
    }
    // The private server may hold back the first sound while it plays out
    // silence it rendered ahead; wait for 1.5 s of the tune to be heard.
    const auto heard = [&] {
        const std::string bytes = readBytes(folder.file("heard.raw"));
        std::vector<std::int16_t> samples(bytes.size() / 2);
        if (!samples.empty())
            std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return blocksFoundIn(samples, given);
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return heard().first >= 64; }, 15000)) << heard().first << " blocks heard";
    w().cmdStopPlay->click();
    EXPECT_EQ(playing(), "");
    server.stopRecording();
    const auto [found, sounding] = heard();
    EXPECT_GE(found * 5, sounding * 4) << found << " of " << sounding << " blocks heard were given";
}

} // namespace

// What the sound server says of this program's stream, out of pactl's list.
TEST(PulseLatency, ReadsBothLatenciesOfOurOwnStreamOnly)
{
    const auto input = [](int index, long long pid, const char* buffer, const char* sink) {
        return "Sink Input #" + std::to_string(index) + "\n\tDriver: protocol-native.c\n" + buffer + sink +
               "\tProperties:\n\t\tapplication.process.id = \"" + std::to_string(pid) + "\"\n";
    };
    const std::string both = input(3, 111, "\tBuffer Latency: 1000 usec\n", "\tSink Latency: 2000 usec\n") +
                             input(4, 222, "\tBuffer Latency: 30000 usec\n", "\tSink Latency: 404500 usec\n");
    EXPECT_EQ(ostrak::pulseLatencyUs(both, 222), 434500);
    EXPECT_EQ(ostrak::pulseLatencyUs(both, 111), 3000);
    EXPECT_EQ(ostrak::pulseLatencyUs(both, 22), -1) << "a pid that only begins like ours";
    EXPECT_EQ(ostrak::pulseLatencyUs(input(1, 222, "", "\tSink Latency: 5 usec\n"), 222), -1) << "half the figures";
    EXPECT_EQ(ostrak::pulseLatencyUs("", 222), -1);
}
