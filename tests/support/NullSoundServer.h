#pragma once
// A private PulseAudio server that plays into nothing, records what it played
// and tells the stream's latencies.
#include "TestSupport.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTest>

#include <csignal>
#include <filesystem>
#include <sys/prctl.h>

#include <string>
#include <utility>

namespace testing_support {

// A private sound server whose only output plays into nothing, so the real
// output path can be heard without a loudspeaker: its monitor records what
// the output played. While it lives, this process's Qt Multimedia uses it.
class NullSoundServer {
public:
    explicit NullSoundServer(const std::string& folder) : socket_(folder + "/native")
    {
        if (!testing_support::missingTools({"pulseaudio", "parec"}).empty())
            return;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), QString::fromStdString(folder));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(folder));
        server_.setProcessEnvironment(env);
        server_.setChildProcessModifier(endWithTheTest);
        server_.start(QStringLiteral("pulseaudio"),
                      {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--disable-shm=yes", "--log-level=error",
                       "-L", "module-null-sink sink_name=heard rate=44100 channels=1",
                       "-L", QString::fromStdString("module-native-protocol-unix auth-anonymous=1 socket=" + socket_)});
        if (!server_.waitForStarted(5000)
            || !QTest::qWaitFor([&] { return std::filesystem::exists(socket_); }, 5000))
            return;
        qputenv("PULSE_SERVER", QByteArray::fromStdString("unix:" + socket_));
        ok_ = true;
    }
    ~NullSoundServer()
    {
        recorder_.kill();
        recorder_.waitForFinished(2000);
        server_.kill();
        server_.waitForFinished(2000);
        qunsetenv("PULSE_SERVER");
    }
    bool ok() const { return ok_; }

    // "Buffer Latency" and "Sink Latency" of the playing stream, in ms; -1
    // where pactl does not tell.
    std::pair<double, double> latencies() const
    {
        QProcess pactl;
        pactl.start(QStringLiteral("pactl"), {QString::fromStdString("--server=unix:" + socket_), "list", "sink-inputs"});
        pactl.waitForFinished(5000);
        const QString text = QString::fromUtf8(pactl.readAllStandardOutput());
        auto usec = [&](const char* name) {
            const auto match = QRegularExpression(QString::fromLatin1(name) + QStringLiteral(": (\\d+) usec")).match(text);
            return match.hasMatch() ? match.captured(1).toDouble() / 1000 : -1.0;
        };
        return {usec("Buffer Latency"), usec("Sink Latency")};
    }

    // False when the recorder does not start.
    bool startRecording(const std::string& path)
    {
        recorder_.setStandardOutputFile(QString::fromStdString(path));
        recorder_.setChildProcessModifier(endWithTheTest);
        recorder_.start(QStringLiteral("parec"),
                        {QString::fromStdString("--server=unix:" + socket_), "-d", "heard.monitor", "--raw",
                         "--format=s16le", "--rate=44100", "--channels=1", "--latency-msec=20"});
        return recorder_.waitForStarted(5000);
    }
    void stopRecording()
    {
        recorder_.terminate(); // parec writes out what it holds and ends
        recorder_.waitForFinished(5000);
    }

private:
    // A test ended by a sanitizer runs no destructor; its helpers end with it.
    static void endWithTheTest() { prctl(PR_SET_PDEATHSIG, SIGKILL); }

    std::string socket_;
    QProcess server_;
    QProcess recorder_;
    bool ok_ = false;
};

} // namespace testing_support
