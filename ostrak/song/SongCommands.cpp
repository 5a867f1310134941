#include "SongCommands.h"

#include "common/Failure.h"
#include "common/TextFile.h"
#include "app/FrmMain.h"
#include "common/Numbers.h"
#include "GameFiles.h"
#include "SongOrderText.h"
#include "SongPack.h"
#include "sound/Listening.h"

#include <QFile>

#include <memory>
#include <optional>

namespace ostrak {

SongCommands::SongCommands(FrmMain& w, WorkingMemory& memory, SoundSlots& soundSlots, Seams& seams)
    : w_(w), memory_(memory), slots_(soundSlots), seams_(seams)
{
    QObject::connect(w_.cmdAutoHH1, &QPushButton::clicked, &w_, [this] { autoHat(AutoHat::Sixteenths); });
    QObject::connect(w_.cmdAutoHH2, &QPushButton::clicked, &w_, [this] { autoHat(AutoHat::Eighths); });
    QObject::connect(w_.cmdAutoHH3, &QPushButton::clicked, &w_, [this] { autoHat(AutoHat::OffBeat); });
    QObject::connect(w_.cmdAutoHH4, &QPushButton::clicked, &w_, [this] { autoHat(AutoHat::Reset); });
    // "From Modplug" (cmdAutoHH5) has no action.
    QObject::connect(w_.cmdNFO, &QPushButton::clicked, &w_, [this] { showHatLines(); });
    QObject::connect(w_.cmdWriteInit, &QPushButton::clicked, &w_, [this] { testTones(); });
    for (ComboBox* wave : w_.WaveMatrix)
        QObject::connect(wave, &ComboBox::focusLost, &w_, [this] { refreshSoundSlots(); });
    QObject::connect(w_.hhKickIn, &common::TextBox::focusLost, &w_, [this] { tidyKickIn(); });
    QObject::connect(w_.cmdCompile, &QPushButton::clicked, &w_, [this] { compilePattern(); });
    QObject::connect(w_.cmdGenAllCode, &QPushButton::clicked, &w_, [this] { generateSongOrder(); });
    QObject::connect(w_.cmdCompileSong, &QPushButton::clicked, &w_, [this] { compileSong(); });
    QObject::connect(w_.cmdSaveGame, &QPushButton::clicked, &w_, [this] { saveForGame(); });
    QObject::connect(w_.chkPack, &QCheckBox::toggled, &w_, [this] { showRomUse(); });
    QObject::connect(w_.txtSong, &common::MemoBox::changed, &w_, [this] { showRomUse(); });
    // The memory's own commands are connected before, so these run after them.
    for (QPushButton* changesSong : {w_.cmdBang, w_.cmdDel, w_.cmdClearSong})
        QObject::connect(changesSong, &QPushButton::clicked, &w_, [this] { showRomUse(); });
}

HatSteps SongCommands::hatSteps() const
{
    HatSteps steps{};
    for (std::size_t i = 0; i < steps.size(); ++i)
        steps[i] = w_.HH[i]->isChecked();
    return steps;
}

InstrumentTexts SongCommands::instrumentTexts() const
{
    InstrumentTexts texts;
    texts.hat = hatSteps();
    texts.tempo = w_.cmbTempo->text8();
    texts.pal = w_.chkPal->isChecked();
    for (std::size_t i = 0; i < 8; ++i) {
        texts.volume[i] = w_.WaveVol[i]->text8();
        texts.soundType[i] = w_.WaveMatrix[i]->text8();
    }
    return texts;
}

void SongCommands::autoHat(AutoHat which)
{
    for (QCheckBox* step : w_.HH)
        step->setChecked(false);
    const HatSteps set = autoHatSteps(which);
    for (std::size_t i = 0; i < set.size(); ++i)
        if (set[i])
            w_.HH[i]->setChecked(true);
}

void SongCommands::showHatLines()
{
    // The display always shows the real steps, never a blanked copy.
    for (const std::string& line : buildHatLines(hatSteps()))
        w_.txtLog->append8(line);
}

// Numbers shown back use the writers' plain decimal form (never an exponent),
// so the log and the kick-in field read as song.h will.
void SongCommands::testTones()
{
    w_.txtLog->setText8(common::formatNumber(common::leadingNumber(w_.WaveVol[0]->text8())));
}

void SongCommands::refreshSoundSlots()
{
    std::array<std::string, 8> texts;
    for (std::size_t i = 0; i < 8; ++i)
        texts[i] = w_.WaveMatrix[i]->text8();
    slots_.refresh(texts);
}

void SongCommands::tidyKickIn()
{
    w_.hhKickIn->setText8(common::formatNumber(common::leadingNumber(w_.hhKickIn->text8())));
}

SongLines SongCommands::previewLines() const
{
    const InstrumentConfig config = readInstrumentConfig(instrumentTexts());
    const PreviewTexts texts{w_.txtOrderA->text8(), w_.txtOrderB->text8(), w_.txtPatternA->text8(),
                             w_.txtPatternB->text8()};
    return previewSong(config, texts);
}

SongLines SongCommands::songAsWritten() const
{
    const InstrumentConfig config = readInstrumentConfig(instrumentTexts());
    return wholeSong(config, w_.hhKickIn->text8(), w_.txtSong->text8(), memory_);
}

SongLines SongCommands::wholeSongLines() const
{
    const SongLines lines = songAsWritten();
    return w_.chkPack->isChecked() ? packRepeats(lines) : lines;
}

void SongCommands::showRomUse()
{
    if (romUseHeld_) {
        romUseStale_ = true;
        return;
    }
    showRomUse(wholeSongLines());
}

void SongCommands::holdRomUse(bool hold)
{
    romUseHeld_ = hold;
    if (!hold && romUseStale_) {
        romUseStale_ = false;
        showRomUse();
    }
}

void SongCommands::showRomUse(const SongLines& lines)
{
    const RomUse use = romUse(lines);
    w_.lblRomUse->setText(QString::fromLatin1(romUseText(use).c_str()));
    w_.lblRomUse->setStyleSheet(use.fits() ? QString() : QStringLiteral("color: red"));
}

std::string SongCommands::tooLargeNote() const
{
    const SongLines lines = songAsWritten();
    const bool ticked = w_.chkPack->isChecked();
    const RomUse packed = romUse(packRepeats(lines));
    return tooLargeText(ticked ? packed : romUse(lines), packed, ticked);
}

void SongCommands::compilePattern()
{
    writeAndBuild(previewLines(), {"compile.bat"}, kPreviewScriptMissing);
}

void SongCommands::generateSongOrder()
{
    w_.cmdCompileSong->setEnabled(true);
    w_.cmdSaveGame->setEnabled(true);
    // Walking the rows by selecting them runs the lists' own selection
    // behaviour, so the window follows each row as a user's click would.
    auto rowPositions = [](ListBox* list) {
        std::vector<double> positions;
        for (int i = 0; i < list->count(); ++i) {
            list->select(i);
            positions.push_back(common::leadingNumber(list->rowText(list->selectedIndex())));
        }
        return positions;
    };
    const std::vector<double> channel1 = rowPositions(w_.listCH1);
    const std::vector<double> channel2 = rowPositions(w_.listCH2);
    w_.txtSong->setText8(songOrderText(channel1, channel2));
    showRomUse();
}

void SongCommands::compileSong()
{
    const SongLines lines = wholeSongLines();
    std::vector<const char*> scripts;
    if (w_.chkCart->isChecked())
        scripts.push_back("copycart.bat");
    scripts.push_back("compile.bat");
    writeAndBuild(lines, scripts, kSongScriptMissing);
    if (const std::string note = tooLargeNote(); !note.empty())
        w_.txtLog->append8(std::string(common::kCrLf) + note);
    showRomUse(lines); // the lines just written, not built again
}

void SongCommands::saveForGame()
{
    const QString chosen = w_.chooseGameFolder(&w_);
    if (chosen.isEmpty())
        return;
    const std::string folder = QFile::encodeName(chosen).toStdString();
    const std::string shown = chosen.toLatin1().toStdString();
    const SongLines lines = wholeSongLines();
    // A number too large to write leaves its line out, as SONG COMPILE does.
    for (const SongLine& line : lines)
        if (line.failure != 0)
            seams_.messages.show(songWriteFailureText(line.failure, kSongScriptMissing));
    // Every file is written beside itself first; only when all three are
    // written do they take their places.
    const std::vector<GameFile> files = gameFiles(lines);
    std::vector<std::unique_ptr<common::AtomicFile>> written;
    std::string failing;
    common::StepRunner step(
        [&](const common::Failure& f) {
            seams_.messages.show(saveGameFailureText(failing, shown, f.code()));
        },
        [] { return false; });
    common::runCommand([&] {
        step([&] {
            for (const GameFile& file : files) {
                failing = file.name;
                written.push_back(std::make_unique<common::AtomicFile>(folder + "/" + file.name));
                written.back()->write(file.bytes);
            }
            for (std::size_t i = 0; i < written.size(); ++i) {
                failing = files[i].name;
                written[i]->commit();
            }
        });
        w_.txtLog->append8(std::string(common::kCrLf) + savedForGameText(shown));
        logSongProblems(lines);
    });
}

void SongCommands::writeAndBuild(const SongLines& lines, const std::vector<const char*>& scripts,
                                 std::string_view scriptMissingText)
{
    common::StepRunner step = common::StepRunner::goingOn(
        [&](const common::Failure& f) { seams_.messages.show(songWriteFailureText(f.code(), scriptMissingText)); });

    std::optional<common::LineWriter> file;
    step([&] { file.emplace("song.h"); });
    for (const SongLine& line : lines) {
        step([&] {
            if (!file)
                throw common::Failure(common::kBadFileName, "song.h is not open");
            if (line.failure != 0)
                throw common::Failure(line.failure, "number too large to write");
            file->writeLine(line.text);
        });
    }
    step([&] {
        if (file)
            file->close(); // closing a file that never opened is no failure
    });
    step([&] { logSongProblems(lines); });
    for (const char* script : scripts)
        step([&] { seams_.launcher.start(script); });
}

void SongCommands::logSongProblems(const SongLines& lines)
{
    // Only trouble is logged, so a good song leaves the log as it was.
    const std::vector<std::string> problems = sound::readSongH(songFileText(lines)).problems;
    if (problems.empty())
        return;
    w_.txtLog->append8(std::string(common::kCrLf) + "song.h: dasm will not accept this file:");
    for (const std::string& problem : sound::firstProblems(problems))
        w_.txtLog->append8(std::string(common::kCrLf) + problem);
}

} // namespace ostrak
