#pragma once
// A whole ostrak built with stand-in seams in a scratch working folder.
#include "TestSupport.h"
#include "app/AudioOutput.h"
#include "app/FrmMain.h"
#include "app/OstrakApp.h"
#include "store/MemoryCommands.h"

#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

class RecordingMessages : public ostrak::MessageBoxes {
public:
    std::vector<std::string> shown;
    void show(const std::string& text) override { shown.push_back(text); }
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

class OstrakTest : public ::testing::Test {
protected:
    OstrakTest();

    ostrak::FrmMain& w() { return app->main(); }
    ostrak::WorkingMemory& memory() { return app->state().memory; }
    // Types into a single-line field as a user would, replacing its text.
    static void type(common::TextBox* box, const std::string& text);
    static void click(QWidget* widget);

    ScratchFolder folder;
    RecordingMessages messages;
    FixedClock clock;
    RecordingLauncher launcher;
    RecordingAudio audio;
    std::unique_ptr<ostrak::OstrakApp> app;
};

} // namespace testing_support
