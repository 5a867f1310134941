#pragma once
// Seams between the commands and the outside world, so tests can stand in
// for message boxes and outside programs (the clock seam lives in common/).
#include "common/Clock.h"

#include <string>

namespace ostrak {

class AudioOutput;

// A message box with a text, an OK button and no title; or, to ask, Yes and
// No buttons (No the default, so a stray Enter changes nothing).
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void show(const std::string& text) = 0;
    virtual bool ask(const std::string& question) = 0; // true for Yes
};

// Starts an outside script by bare name from the working folder, without
// waiting for it. Throws common::Failure(53) when it cannot be found or started.
class Launcher {
public:
    virtual ~Launcher() = default;
    virtual void start(const std::string& bareName) = 0;
};

struct Seams {
    MessageBoxes& messages;
    common::Clock& clock;
    Launcher& launcher;
    AudioOutput* audio = nullptr; // null: Qt Multimedia's default output
};

// The real ones.
class QtMessageBoxes : public MessageBoxes {
public:
    void show(const std::string& text) override;
    bool ask(const std::string& question) override;
};

class DetachedLauncher : public Launcher {
public:
    void start(const std::string& bareName) override;
};

} // namespace ostrak
