#pragma once
// Stand-in seams for the benchmarks that drive the real ostrak windows:
// messages are counted, the clock stands still, no script is started.
#include "app/Seams.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <string>

namespace bench {

class QuietMessages : public ostrak::MessageBoxes {
public:
    int shown = 0;
    void show(const std::string&) override { ++shown; }
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

// Runs offscreen unless a platform is asked for; call before QApplication.
inline void preferOffscreen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Makes the scratch folder the working folder, where swap.txt goes.
inline bool enterScratchFolder(const QTemporaryDir& folder)
{
    if (folder.isValid() && QDir::setCurrent(folder.path()))
        return true;
    std::fprintf(stderr, "no scratch folder\n");
    return false;
}

} // namespace bench
