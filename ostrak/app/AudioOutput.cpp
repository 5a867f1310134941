#include "AudioOutput.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>

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

    QtAudioOutput() { QObject::connect(&feed_, &QTimer::timeout, [this] { fill(); }); }

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
        fill();
        feed_.start(kFeedMs);
        return true;
    }

    void stop() override
    {
        feed_.stop();
        if (sink_)
            sink_->stop();
        sink_.reset();
        device_ = nullptr;
        source_ = nullptr;
    }

    // Qt counts what the server has read from the stream, less the device's
    // own latency once it has played that long without an underrun.
    std::uint64_t samplesPlayed() const override
    {
        if (!sink_)
            return 0;
        return static_cast<std::uint64_t>(sink_->processedUSecs()) *
               static_cast<std::uint64_t>(format_.sampleRate()) / 1000000u;
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
        device_->write(reinterpret_cast<const char*>(buffer_.data()), static_cast<qint64>(count * 2));
    }

    QAudioFormat format_;
    std::unique_ptr<QAudioSink> sink_;
    QIODevice* device_ = nullptr; // the sink's, while it plays
    Source source_;
    std::vector<std::int16_t> buffer_;
    QTimer feed_;
};

} // namespace

std::unique_ptr<AudioOutput> makeQtAudioOutput()
{
    return std::make_unique<QtAudioOutput>();
}

} // namespace ostrak
