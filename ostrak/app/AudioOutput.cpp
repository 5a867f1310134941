#include "AudioOutput.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>

#include <algorithm>
#include <optional>
#include <vector>

namespace ostrak {

namespace {

// Push mode: every few milliseconds the sink's free room is rendered and
// written, so the sound server can be asked for a short buffer (Qt's own pull
// mode hands it 20 ms a tick, which a short buffer cannot ride out). The
// first samples are written at once, within the click. Rendering runs
// hundreds of times faster than real time, so this never holds up the window.
class QtAudioOutput : public AudioOutput {
public:
    // Left to itself the sound server holds some 110 ms before a sample
    // sounds; this asks for 40 ms and gets what the device allows.
    static constexpr qint64 kBufferUs = 40000;
    static constexpr int kFeedMs = 5;

    // How often the sound server is asked how long its samples wait.
    static constexpr int kLatencyAskMs = 500;

    QtAudioOutput()
    {
        QObject::connect(&feed_, &QTimer::timeout, [this] { fill(); });
        QObject::connect(&ask_, &QTimer::timeout, [this] { askLatency(); });
        QObject::connect(&pactl_, &QProcess::finished, [this](int code) {
            if (code != 0)
                ask_.stop(); // no sound server that pactl reaches
            const long long us = pulseLatencyUs(pactl_.readAllStandardOutput().toStdString(), QCoreApplication::applicationPid());
            if (us >= 0)
                latencySamples_ = std::uint64_t(us) * std::uint64_t(format_.sampleRate()) / 1000000u;
        });
        // No pactl here: Qt's count it is, without asking again.
        QObject::connect(&pactl_, &QProcess::errorOccurred, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                ask_.stop();
        });
    }

    int sampleRate() override
    {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull())
            return 0;
        format_ = QAudioFormat();
        format_.setChannelCount(1);
        format_.setSampleFormat(QAudioFormat::Int16);
        format_.setSampleRate(44100);
        // The song is rendered at whatever rate the device likes best.
        if (!device.isFormatSupported(format_))
            format_.setSampleRate(device.preferredFormat().sampleRate());
        return format_.sampleRate();
    }

    bool start(Source source) override
    {
        stop();
        sink_ = std::make_unique<QAudioSink>(QMediaDevices::defaultAudioOutput(), format_);
        sink_->setBufferSize(format_.bytesForDuration(kBufferUs));
        source_ = std::move(source);
        device_ = sink_->start();
        if (!device_ || sink_->error() != QAudio::NoError) {
            stop();
            return false;
        }
        written_ = heard_ = 0;
        latencySamples_.reset();
        fill();
        feed_.start(kFeedMs);
        QTimer::singleShot(200, &ask_, [this] { askLatency(); });
        ask_.start(kLatencyAskMs);
        return true;
    }

    void stop() override
    {
        feed_.stop();
        ask_.stop();
        if (pactl_.state() != QProcess::NotRunning) {
            pactl_.kill();
            pactl_.waitForFinished(1000);
        }
        if (sink_)
            sink_->stop();
        sink_.reset();
        device_ = nullptr;
        source_ = nullptr;
    }

    // What was written, less what the sound server says still waits in the
    // stream and in the device. Qt's own count is what the server has read,
    // less the device's part only after long runs without an underrun, which
    // a short buffer seldom has (a device that holds 360 ms ran that far
    // ahead); it serves until the server has answered, or where none does.
    std::uint64_t samplesPlayed() const override
    {
        if (!sink_)
            return 0;
        std::uint64_t now = 0;
        if (latencySamples_)
            now = written_ > *latencySamples_ ? written_ - *latencySamples_ : 0;
        else
            now = static_cast<std::uint64_t>(sink_->processedUSecs()) * static_cast<std::uint64_t>(format_.sampleRate()) /
                  1000000u;
        heard_ = std::max(heard_, now); // never back
        return heard_;
    }

    ~QtAudioOutput() override { stop(); }

private:
    void fill()
    {
        if (!device_ || !source_)
            return;
        const auto count = static_cast<std::size_t>(sink_->bytesFree() / 2);
        if (count == 0)
            return;
        buffer_.resize(count);
        source_(buffer_.data(), count);
        const qint64 bytes = device_->write(reinterpret_cast<const char*>(buffer_.data()), static_cast<qint64>(count * 2));
        written_ += bytes > 0 ? std::uint64_t(bytes) / 2 : 0;
    }

    // pactl is the sound server's own client; where there is none, or no
    // PulseAudio server, it fails and Qt's count stays.
    void askLatency()
    {
        if (!sink_ || pactl_.state() != QProcess::NotRunning)
            return;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        pactl_.setProcessEnvironment(env);
        pactl_.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("sink-inputs")});
    }

    QAudioFormat format_;
    std::unique_ptr<QAudioSink> sink_;
    QIODevice* device_ = nullptr; // the sink's, while it plays
    Source source_;
    std::vector<std::int16_t> buffer_;
    QTimer feed_, ask_;
    QProcess pactl_;
    std::uint64_t written_ = 0;                   // samples written since start
    std::optional<std::uint64_t> latencySamples_; // the server's last word
    mutable std::uint64_t heard_ = 0;
};

} // namespace

std::unique_ptr<AudioOutput> makeQtAudioOutput()
{
    return std::make_unique<QtAudioOutput>();
}

long long pulseLatencyUs(const std::string& pactlText, long long pid)
{
    // "<name>: <digits> usec" in `block`, or -1.
    const auto usec = [](const std::string& block, const std::string& name) -> long long {
        const std::size_t at = block.find(name + ": ");
        if (at == std::string::npos)
            return -1;
        const std::size_t from = at + name.size() + 2;
        std::size_t to = from;
        while (to < block.size() && to - from < 15 && block[to] >= '0' && block[to] <= '9')
            ++to;
        return to > from && block.compare(to, 5, " usec") == 0 ? std::stoll(block.substr(from, to - from)) : -1;
    };
    // One "Sink Input #n" block a stream; ours names our process.
    const std::string mark = "application.process.id = \"" + std::to_string(pid) + "\"";
    long long found = -1;
    for (std::size_t at = pactlText.find("Sink Input #"); at != std::string::npos;) {
        const std::size_t next = pactlText.find("Sink Input #", at + 1);
        const std::string block = pactlText.substr(at, next == std::string::npos ? std::string::npos : next - at);
        const long long buffer = usec(block, "Buffer Latency"), sink = usec(block, "Sink Latency");
        if (block.find(mark) != std::string::npos && buffer >= 0 && sink >= 0)
            found = buffer + sink;
        at = next;
    }
    return found;
}

} // namespace ostrak
