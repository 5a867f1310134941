#pragma once
// A whole ostrak built with stand-in seams in a scratch working folder.
#include "StandIns.h"
#include "TestSupport.h"
#include "app/FrmMain.h"
#include "OstrakApp.h"
#include "store/MemoryCommands.h"

#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

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
