#include "PlayCommands.h"

#include "common/Failure.h"
#include "common/TextFile.h"
#include "app/FrmMain.h"
#include "song/SongCommands.h"
#include "sound/Listening.h"
#include "sound/Sound.h"

namespace ostrak {

namespace {

constexpr int kPositionRefreshMs = 40;

// The song image of these lines, or none after telling the user why not.
// A song.h that dasm would reject never becomes a ROM, so it does not play
// here either: what plays is what the console would play.
std::shared_ptr<const sound::SongImage> playableImage(const SongLines& lines, MessageBoxes& messages,
                                                      const std::string& note = {})
{
    sound::ReadResult read = sound::readSongH(songFileText(lines));
    if (read.image && read.problems.empty())
        return read.image;
    std::string text = "This song cannot be played:";
    for (const std::string& problem : sound::firstProblems(read.problems))
        text += std::string(common::kCrLf) + problem;
    if (!note.empty())
        text += std::string(common::kCrLf) + note;
    messages.show(text);
    return nullptr;
}

} // namespace

PlayCommands::PlayCommands(FrmMain& w, Seams& seams, AudioOutput& audio, const SongCommands& song)
    : w_(w), seams_(seams), audio_(audio), song_(song)
{
    timer_.setInterval(kPositionRefreshMs);
    QObject::connect(&timer_, &QTimer::timeout, &w_, [this] { showPosition(); });
    QObject::connect(w_.cmdPlayPattern, &QPushButton::clicked, &w_, [this] { play(song_.previewLines()); });
    QObject::connect(w_.cmdPlaySong, &QPushButton::clicked, &w_,
                     [this] { play(song_.wholeSongLines(), song_.tooLargeNote()); });
    QObject::connect(w_.cmdStopPlay, &QPushButton::clicked, &w_, [this] { stop(); });
    QObject::connect(w_.cmdSaveWav, &QPushButton::clicked, &w_, [this] { saveWav(); });
}

PlayCommands::~PlayCommands()
{
    audio_.stop();
}

void PlayCommands::play(const SongLines& lines, const std::string& note)
{
    stop();
    common::runStepsContinuing(
        {[&] {
            const std::shared_ptr<const sound::SongImage> image = playableImage(lines, seams_.messages, note);
            if (!image)
                return;
            const int rate = audio_.sampleRate();
            auto renderer = rate > 0 ? std::make_shared<sound::SongRenderer>(image, rate, sound::songClock(*image)) : nullptr;
            if (!renderer || !audio_.start([renderer](std::int16_t* out, std::size_t count) {
                    renderer->render(out, count);
                })) {
                seams_.messages.show(kNoAudioDevice);
                return;
            }
            renderer_ = renderer;
            timer_.start();
            showPosition();
        }},
        [&](const common::Failure& f) {
            stop();
            seams_.messages.show(common::genericFailureText(f.code()));
        });
}

void PlayCommands::stop()
{
    audio_.stop();
    timer_.stop();
    renderer_.reset();
    w_.lblPlaying->clear();
}

void PlayCommands::showPosition()
{
    if (renderer_)
        w_.lblPlaying->setText(QString::fromLatin1(sound::positionText(renderer_->positionAt(audio_.samplesPlayed())).c_str()));
}

void PlayCommands::saveWav()
{
    common::runStepsContinuing(
        {[&] {
            const std::shared_ptr<const sound::SongImage> image =
                playableImage(song_.wholeSongLines(), seams_.messages, song_.tooLargeNote());
            if (!image)
                return;
            // Ten minutes of song take about a second to render and write.
            w_.setCursor(Qt::WaitCursor);
            try {
                const std::vector<std::int16_t> samples = sound::renderOnePass(image, kWavSampleRate, kWavMaxSeconds, sound::songClock(*image));
                // Written beside the old file and put in its place whole.
                common::writeWholeFile("song.wav", sound::wavFileBytes(samples, kWavSampleRate));
            } catch (...) {
                w_.unsetCursor();
                throw;
            }
            w_.unsetCursor();
        }},
        [&](const common::Failure& f) { seams_.messages.show(common::genericFailureText(f.code())); });
}

} // namespace ostrak
