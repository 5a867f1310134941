// Times a Play click to the first samples the sound card receives, through
// the real window and the sound card seam. The stand-in card pulls as
// QAudioSink does: from the event loop, a buffer at a time. Then the real
// QAudioSink is timed through a private PulseAudio server with a null output
// (pulseaudio and pactl installed), and the server tells how long the stream
// and the device hold a sample before it sounds: click to heard is the sum.
#include "BenchApp.h"
#include "support/NullSoundServer.h"
#include "app/AudioOutput.h"
#include "app/FrmMain.h"
#include "OstrakApp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Notes the moment the first samples reach the card it wraps (or, with no
// card to wrap, pulls like one from the event loop).
class TimedOutput : public ostrak::AudioOutput {
public:
    explicit TimedOutput(ostrak::AudioOutput* real) : real_(real) {}
    QElapsedTimer clock;
    qint64 firstPullNs = -1;
    int peak = 0;
    std::uint64_t handed = 0; // samples given to the card since the last start

    int sampleRate() override { return real_ ? real_->sampleRate() : 44100; }
    bool start(Source source) override
    {
        firstPullNs = -1;
        handed = 0;
        Source timed = [this, source](std::int16_t* out, std::size_t count) {
            source(out, count);
            handed += count;
            if (firstPullNs < 0 && count > 0) {
                firstPullNs = clock.nsecsElapsed();
                for (std::size_t i = 0; i < count; ++i)
                    peak = std::max(peak, std::abs(static_cast<int>(out[i])));
            }
        };
        if (real_)
            return real_->start(timed);
        source_ = timed;
        QTimer::singleShot(0, [this] {
            if (!source_)
                return;
            std::vector<std::int16_t> buffer(8192); // a typical first device buffer
            source_(buffer.data(), buffer.size());
        });
        return true;
    }
    void stop() override
    {
        source_ = nullptr;
        if (real_)
            real_->stop();
    }
    std::uint64_t samplesPlayed() const override { return real_ ? real_->samplesPlayed() : 0; }

private:
    ostrak::AudioOutput* real_;
    Source source_;
};

// A 64-row two-channel paste: a bass line on instrument 4, a melody on 6.
std::string paste()
{
    static const char* bass[] = {"C-4", "C-4", "G-4", "A#4"};
    static const char* melody[] = {"E-5", "G-5", "C-6", "D-6", "===", "C-5"};
    std::string text = "ModPlug Tracker  IT";
    for (int r = 0; r < 64; ++r) {
        text += "\r\n|";
        text += r % 4 == 0 ? std::string(bass[(r / 4) % 4]) + "04......" : std::string("...........");
        text += "|";
        text += r % 2 == 0 ? std::string(melody[(r / 2) % 6]) + "06......" : std::string("...........");
    }
    return text + "\r\n";
}

int measure(const char* what, ostrak::AudioOutput* real, int runs, const testing_support::NullSoundServer* server = nullptr)
{
    TimedOutput output(real);
    bench::QuietOstrak quiet(&output);
    ostrak::FrmMain& w = quiet.app.main();
    w.txtIn->setText8(paste());
    w.cmdBang->click();
    QApplication::processEvents();

    std::vector<double> times, bufferMs, sinkMs, behindMs;
    for (int i = 0; i < runs; ++i) {
        output.clock.start();
        w.cmdPlayPattern->click();
        QElapsedTimer wait;
        wait.start();
        while (output.firstPullNs < 0 && wait.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        if (output.firstPullNs < 0 || !quiet.messages.shown.empty()) {
            std::printf("%s: no samples reached the card%s%s\n", what, quiet.messages.shown.empty() ? "" : ": ",
                        quiet.messages.shown.empty() ? "" : quiet.messages.shown.front().c_str());
            return 1;
        }
        times.push_back(output.firstPullNs / 1e6);
        if (server) {
            // Once the stream has settled, what it holds: an idle null sink
            // first plays out a block of up to 2 s before it takes the
            // stream's short latency.
            QElapsedTimer settle;
            settle.start();
            while (settle.elapsed() < 3000)
                QApplication::processEvents(QEventLoop::AllEvents, 5);
            const auto [buffer, sink] = server->latencies();
            if (buffer >= 0 && sink >= 0) {
                bufferMs.push_back(buffer);
                sinkMs.push_back(sink);
                // How far the position lblPlaying shows lags what was handed out.
                behindMs.push_back(double(output.handed - output.samplesPlayed()) * 1000.0 / output.sampleRate());
            }
        }
        w.cmdStopPlay->click();
    }
    if (!bufferMs.empty()) {
        std::sort(bufferMs.begin(), bufferMs.end());
        std::sort(sinkMs.begin(), sinkMs.end());
        const double buffer = bufferMs[bufferMs.size() / 2], sink = sinkMs[sinkMs.size() / 2];
        std::printf("%s: the server holds a sample %.1f ms in the stream (Buffer Latency) and %.1f ms in the "
                    "device (Sink Latency), medians; click to heard about %.1f ms (target < 60 ms)\n",
                    what, buffer, sink, times[times.size() / 2] + buffer + sink);
        std::sort(behindMs.begin(), behindMs.end());
        std::printf("%s: lblPlaying's position is %.1f ms behind the samples handed out (median), against the "
                    "%.1f ms the server holds\n",
                    what, behindMs[behindMs.size() / 2], buffer + sink);
    }
    std::sort(times.begin(), times.end());
    std::printf("%s, Play Pattern click to first samples at the card over %d runs: median %.2f ms, "
                "min %.2f ms, max %.2f ms (target < 100 ms); first buffer peak %d\n",
                what, runs, times[times.size() / 2], times.front(), times.back(), output.peak);
    return output.peak > 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    bench::BenchApp bench(argc, argv);
    if (!bench.ready())
        return 1;
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    int failed = measure("stand-in card pulling from the event loop", nullptr, runs);

    // The server is started before Qt Multimedia first looks for a device.
    QTemporaryDir serverFolder;
    const testing_support::NullSoundServer server(serverFolder.path().toStdString());
    std::unique_ptr<ostrak::AudioOutput> real = ostrak::makeQtAudioOutput();
    if (!server.ok())
        std::printf("pulseaudio or pactl missing: the sink's latency was not measured\n");
    if (real->sampleRate() > 0)
        failed |= measure(server.ok() ? "QAudioSink through a private PulseAudio server" : "this machine's default output (QAudioSink)",
                          real.get(), runs, server.ok() ? &server : nullptr);
    else
        std::printf("no audio output device here: the QAudioSink path was not measured\n");
    return failed;
}
