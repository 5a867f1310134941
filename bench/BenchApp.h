#pragma once
// What every ostrak benchmark starts with: a QApplication (offscreen unless
// the caller chose a platform), a scratch working folder, and quiet seams.
#include "app/FrmMain.h"
#include "app/OstrakApp.h"
#include "app/Seams.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <string>
#include <vector>

namespace bench {

class QuietMessages : public ostrak::MessageBoxes {
public:
    std::vector<std::string> shown;
    void show(const std::string& text) override { shown.push_back(text); }
};

class StillClock : public common::Clock {
public:
    std::string dateText() const override { return "07/12/2026"; }
    std::string timeText() const override { return "07:00:00"; }
    std::string longTimeText() const override { return "07:00:00"; }
};

class NoLauncher : public ostrak::Launcher {
public:
    void start(const std::string&) override {}
};

inline int& offscreenUnlessChosen(int& argc)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return argc;
}

class BenchApp {
public:
    BenchApp(int& argc, char** argv) : app_(offscreenUnlessChosen(argc), argv)
    {
        ready_ = folder_.isValid() && QDir::setCurrent(folder_.path());
        if (!ready_)
            std::fprintf(stderr, "no scratch folder\n");
    }
    bool ready() const { return ready_; }

private:
    QApplication app_;
    QTemporaryDir folder_;
    bool ready_ = false;
};

// A whole ostrak on quiet seams (and the given sound card), its main window
// shown so that the fields pay their real layout costs.
struct QuietOstrak {
    explicit QuietOstrak(ostrak::AudioOutput* audio = nullptr) : app(ostrak::Seams{messages, clock, launcher, audio})
    {
        app.main().show();
    }
    QuietMessages messages;
    StillClock clock;
    NoLauncher launcher;
    ostrak::OstrakApp app;
};

} // namespace bench
