#pragma once
// Stand-ins for the outside world and a scratch working folder, so window
// tests run offscreen without blocking on a message box or starting programs.
#include "common/Clock.h"

#include <QSize>
#include <QTemporaryDir>

#include <map>
#include <string>
#include <vector>

namespace testing_support {

// A QApplication for the whole test program, on the offscreen platform with
// one screen of a desktop's size (1920x1200) unless useScreen asked for another.
void ensureApplication();
// The screen size ensureApplication will give; only before it is first called.
void useScreen(QSize size);

class FixedClock : public common::Clock {
public:
    std::string date = "07/12/2026";
    std::string time = "06:42:31";
    std::string longTime = "06:42:31";
    std::string dateText() const override { return date; }
    std::string timeText() const override { return time; }
    std::string longTimeText() const override { return longTime; }
};

// Makes a fresh temporary folder the current one, and goes back on destruction.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    std::string path() const;
    std::string file(const std::string& name) const;

private:
    QTemporaryDir dir_;
    QString previous_;
};

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
std::string dataFile(const std::string& name); // bytes of tests/data/<name>

// The names among `tools` that are not on PATH, joined by ", ".
std::string missingTools(const std::vector<std::string>& tools);

// While it lives, numbers in the C library follow a decimal-comma locale, as
// they do when the toolkit takes LANG=de_DE.UTF-8 at start. ok() is false
// when no such locale is installed (tools/setup.sh installs them).
class CommaLocale {
public:
    CommaLocale();
    ~CommaLocale();
    bool ok() const { return ok_; }

private:
    std::string previous_;
    bool ok_ = false;
};

// Runs an outside program in `folder` and waits for it.
struct ProgramRun {
    int code = -1; // exit code; -1 when it did not start or did not end in time
    std::string output; // stdout and stderr together
};
ProgramRun runProgram(const std::vector<std::string>& argv, const std::string& folder,
                      const std::map<std::string, std::string>& env = {}, int timeoutMs = 10000);

} // namespace testing_support
