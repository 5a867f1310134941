#include "OstrakApp.h"

#include "app/FrmMain.h"
#include "app/StartUp.h"
#include "app/AudioOutput.h"
#include "listen/FrmPitch.h"
#include "listen/PlayCommands.h"
#include "convert/ConvertCommands.h"
#include "import/FrmImport.h"
#include "import/ImportCommands.h"
#include "optimise/FrmSetup.h"
#include "song/SongCommands.h"
#include "store/FrmFiles.h"
#include "store/MemoryCommands.h"
#include "store/SongOrderCommands.h"
#include "template/TemplateCommands.h"
#include "common/WindowFit.h"

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
    state_.noteTable.fill();
    state_.soundSlots.fillStartup();
    std::vector<std::string> slotTypes;
    for (int i = 0; i < 8; ++i)
        slotTypes.push_back(state_.soundSlots.row(i).type);
    runStartUp(w, slotTypes);

    WorkingMemory& memory = state_.memory;
    memory_ = std::make_unique<MemoryCommands>(w, memory, seams_);
    convert_ = std::make_unique<ConvertCommands>(w, state_.noteTable, state_.soundSlots, seams_, *memory_);
    song_ = std::make_unique<SongCommands>(w, memory, state_.soundSlots, seams_);
    songOrder_ = std::make_unique<SongOrderCommands>(w, memory, seams_);
    files_ = new FrmFiles(w, memory, seams_);
    setup_ = new FrmSetup(w, seams_);

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
    importCommands_ = std::make_unique<ImportCommands>(*import_, w, memory, seams_, *memory_);
    importCommands_->holdSongViews = [this](bool hold) { song_->holdRomUse(hold); };
    if (!seams_.audio) {
        ownAudio_ = makeQtAudioOutput();
        seams_.audio = ownAudio_.get();
    }
    play_ = std::make_unique<PlayCommands>(w, seams_, *seams_.audio, *song_);
    pitch_ = new FrmPitch(w, state_.noteTable);
    QObject::connect(w.cmdPitchGuide, &QPushButton::clicked, &w, [this] { showSideWindow(pitch_); });
    template_ = std::make_unique<TemplateCommands>(w, seams_, state_.noteTable, *song_);
    // Side windows open on screen, beside the main window where there is room.
    for (QWidget* side : {static_cast<QWidget*>(files_), static_cast<QWidget*>(setup_),
                          static_cast<QWidget*>(import_), static_cast<QWidget*>(pitch_)})
        common::keepOnScreen(side, &w);
}

OstrakApp::~OstrakApp() = default;

} // namespace ostrak
