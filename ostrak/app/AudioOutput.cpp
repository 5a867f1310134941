#include "AudioOutput.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>

#include <limits>

namespace ostrak {

namespace {

// Pull mode: the sink reads whenever its buffer runs low, and every read is
// rendered there and then. Rendering runs hundreds of times faster than real
// time, so this never holds up the window.
class PullDevice : public QIODevice {
public:
    explicit PullDevice(AudioOutput::Source source) : source_(std::move(source)) {}
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override
    {
        return std::numeric_limits<int>::max() / 2 + QIODevice::bytesAvailable();
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const auto count = static_cast<std::size_t>(maxSize / 2);
        source_(reinterpret_cast<std::int16_t*>(data), count);
        return static_cast<qint64>(count * 2);
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    AudioOutput::Source source_;
};

class QtAudioOutput : public AudioOutput {
public:
    static constexpr qint64 kBufferUs = 30000;

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
        // A short buffer, so a click is heard at once: left to itself the sound
        // server holds some 110 ms before the first sample sounds. The server
        // grants what the device allows; Qt feeds it every 20 ms.
        sink_->setBufferSize(format_.bytesForDuration(kBufferUs));
        pull_ = std::make_unique<PullDevice>(std::move(source));
        pull_->open(QIODevice::ReadOnly);
        sink_->start(pull_.get());
        if (sink_->error() == QAudio::NoError)
            return true;
        stop();
        return false;
    }

    void stop() override
    {
        if (sink_)
            sink_->stop();
        sink_.reset();
        pull_.reset();
    }

    // Qt counts what the server has taken from the stream less the device's
    // own latency as the server reports it: the sample being heard.
    std::uint64_t samplesPlayed() const override
    {
        if (!sink_)
            return 0;
        return static_cast<std::uint64_t>(sink_->processedUSecs()) *
               static_cast<std::uint64_t>(format_.sampleRate()) / 1000000u;
    }

    ~QtAudioOutput() override { stop(); }

private:
    QAudioFormat format_;
    std::unique_ptr<QAudioSink> sink_;
    std::unique_ptr<PullDevice> pull_;
};

} // namespace

std::unique_ptr<AudioOutput> makeQtAudioOutput()
{
    return std::make_unique<QtAudioOutput>();
}

} // namespace ostrak
