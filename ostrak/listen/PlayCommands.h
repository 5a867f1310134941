#pragma once
// Listening inside ostrak: Play Pattern, Play Song, Stop, Save song.wav and
// the playing position. Nothing here writes a field, the log or the memory.
#include "app/AudioOutput.h"
#include "app/Seams.h"
#include "song/SongFile.h"

#include <QTimer>

#include <memory>

namespace ostrak {

class FrmMain;
class SongCommands;

namespace sound {
class SongRenderer;
}

inline constexpr const char* kNoAudioDevice = "No audio output device found.";
inline constexpr int kWavSampleRate = 44100;
inline constexpr double kWavMaxSeconds = 600;

class PlayCommands {
public:
    PlayCommands(FrmMain& w, Seams& seams, AudioOutput& audio, const SongCommands& song);
    ~PlayCommands();

    // Replaces whatever plays; `note` is added to the message of a song that cannot play.
    void play(const SongLines& lines, const std::string& note = {});
    void stop();
    void saveWav();
    void showPosition(); // lblPlaying from what the device has played

private:
    FrmMain& w_;
    Seams& seams_;
    AudioOutput& audio_;
    const SongCommands& song_;
    std::shared_ptr<sound::SongRenderer> renderer_;
    QTimer timer_;
};

} // namespace ostrak
