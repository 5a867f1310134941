#include "OstrakApp.h"

#include "FrmMain.h"
#include "StartUp.h"
#include "AudioOutput.h"
#include "sound/FrmPitch.h"
#include "sound/PlayCommands.h"
#include "convert/ConvertCommands.h"
#include "import/FrmImport.h"
#include "import/ImportCommands.h"
#include "optimise/FrmSetup.h"
#include "song/SongCommands.h"
#include "store/FrmFiles.h"
#include "store/MemoryCommands.h"
#include "store/SongOrderCommands.h"
#include "WindowFit.h"

namespace ostrak {

namespace {
void showSideWindow(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}
} // namespace

OstrakApp::OstrakApp(Seams seams) : seams_(seams), main_(std::make_unique<FrmMain>())
{
    FrmMain& w = *main_;
    runStartUp(w, state_);

    memory_ = std::make_unique<MemoryCommands>(w, state_, seams_);
    convert_ = std::make_unique<ConvertCommands>(w, state_, seams_, *memory_);
    song_ = std::make_unique<SongCommands>(w, state_, seams_);
    songOrder_ = std::make_unique<SongOrderCommands>(w, state_, seams_);
    files_ = new FrmFiles(w, state_, seams_, *memory_);
    setup_ = new FrmSetup(w, state_, seams_);

    // The input field: a click empties it when asked to and marks the
    // channel 1 name as not stored; a double-click always empties it.
    QObject::connect(w.txtIn, &common::MemoBox::clicked, &w, [&w] {
        if (w.chkAutoDel->isChecked())
            w.txtIn->setText8("");
        w.txtNameA->setBackColor(kColourUnstored);
    });
    QObject::connect(w.txtIn, &common::MemoBox::doubleClicked, &w, [&w] { w.txtIn->setText8(""); });
    QObject::connect(w.cmdLoadSong, &QPushButton::clicked, &w, [this] { showSideWindow(files_); });
    QObject::connect(w.cmdOPT, &QPushButton::clicked, &w, [this] { showSideWindow(setup_); });

    import_ = new FrmImport(&w);
    importCommands_ = std::make_unique<ImportCommands>(*import_, w, state_, seams_, *memory_);
    if (!seams_.audio) {
        ownAudio_ = makeQtAudioOutput();
        seams_.audio = ownAudio_.get();
    }
    play_ = std::make_unique<PlayCommands>(w, seams_, *seams_.audio, *song_);
    pitch_ = new FrmPitch(w, state_.noteTable);
    QObject::connect(w.cmdPitchGuide, &QPushButton::clicked, &w, [this] { showSideWindow(pitch_); });
    // Side windows open on screen, beside the main window where there is room.
    for (QWidget* side : {static_cast<QWidget*>(files_), static_cast<QWidget*>(setup_),
                          static_cast<QWidget*>(import_), static_cast<QWidget*>(pitch_)})
        common::keepOnScreen(side, &w);
}

OstrakApp::~OstrakApp() = default;

} // namespace ostrak
