#include "FrmMain.h"

#include "common/NamedControls.h"
#include "common/WindowFit.h"
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace ostrak {

namespace {

QString indexed(const char* name, int i)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i);
}

QCheckBox* checkBox(const char* name, const char* caption, bool checked, QWidget* parent)
{
    auto* c = new QCheckBox(QString::fromLatin1(caption), parent);
    c->setObjectName(QLatin1String(name));
    c->setChecked(checked);
    return c;
}

common::TextBox* textBox(const char* name, const char* text, QWidget* parent)
{
    auto* t = new common::TextBox(QLatin1String(name), parent);
    t->setText8(text);
    return t;
}

common::MemoBox* memoBox(const char* name, const char* text, QWidget* parent)
{
    auto* m = new common::MemoBox(QLatin1String(name), parent);
    m->setText8(text);
    return m;
}

QLabel* label(const char* caption, QWidget* parent)
{
    return new QLabel(QString::fromLatin1(caption), parent);
}

QGroupBox* frame(const char* name, const char* caption, QWidget* parent)
{
    auto* g = new QGroupBox(QString::fromLatin1(caption), parent);
    g->setObjectName(QLatin1String(name));
    return g;
}

} // namespace

FrmMain::FrmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Ostrak - Nemmet^QV - Alpha Version 0.5 (now with 2 Channels)"));

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    auto* columns = new QHBoxLayout;
    columns->addWidget(buildInputColumn(), 1);
    columns->addWidget(buildMiddleColumn(), 0);
    columns->addWidget(buildOutputColumn(), 4);
    outer->addLayout(columns, 1);
    QWidget* bottom = buildBottomRow();
    outer->addWidget(bottom);
    // The controls keep their design layout on any screen: a smaller window
    // scrolls over them instead of squeezing them. The design is as wide as
    // the bottom row's controls want, so none of them is cut short.
    const QMargins m = outer->contentsMargins();
    const QSize design(std::max(1500, bottom->sizeHint().width() + m.left() + m.right()), 985);
    common::scrollBody(this, central, design);

    txtNameA->setBackColor(kColourUnstored);
    txtNameB->setBackColor(kColourUnstored);
    resize(design);
    common::keepOnScreen(this);

    chooseGameFolder = [](QWidget* parent) {
        return QFileDialog::getExistingDirectory(parent, QStringLiteral("Save for a game"));
    };
}

QWidget* FrmMain::buildInputColumn()
{
    auto* column = new QWidget(this);
    auto* v = new QVBoxLayout(column);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(label("MODPlug Data (input)", column));
    txtIn = memoBox("txtIn",
                    "Paste MODPlug code from \r\nOstrak.it here.\r\n\r\nThen give the routine a title "
                    "(top middle) select how many bars to select (default is 64)\r\n\r\n"
                    "Click Bang and you are done.\r\n",
                    column);
    txtIn->setMinimumWidth(200);
    v->addWidget(txtIn, 1);
    return column;
}

QWidget* FrmMain::buildMiddleColumn()
{
    auto* column = new QWidget(this);
    auto* v = new QVBoxLayout(column);
    v->setContentsMargins(0, 0, 0, 0);

    auto* top = new QHBoxLayout;
    auto* warning = label("WARNING: Work in Progress!", column);
    warning->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    top->addWidget(warning);
    top->addStretch(1);
    txtBars = textBox("txtBars", "64", column);
    txtBars->setMaximumWidth(50);
    top->addWidget(txtBars);
    v->addLayout(top);

    auto* names = new QGridLayout;
    txtNameA = textBox("txtNameA", "CA", column);
    txtNameB = textBox("txtNameB", "CB", column);
    chkAutoName = checkBox("chkAutoName", "Auto Name", true, column);
    cmbSplit = new ComboBox(QStringLiteral("cmbSplit"), column);
    cmdBang = common::namedButton("cmdBang", ">> &BANG! >>", column);
    cmdBang->setMinimumHeight(40);
    cmdCompile = common::namedButton("cmdCompile", "Compile& and Listen Pattern", column);
    names->addWidget(label("CH1 Title ", column), 0, 0);
    names->addWidget(txtNameA, 0, 1);
    names->addWidget(chkAutoName, 0, 2);
    names->addWidget(label("CH2 Title ", column), 1, 0);
    names->addWidget(txtNameB, 1, 1);
    names->addWidget(cmdCompile, 1, 2);
    names->addWidget(label("Bars to Convert ", column), 2, 0);
    names->addWidget(cmbSplit, 2, 1, 1, 2);
    names->addWidget(cmdBang, 3, 0, 1, 3);
    v->addLayout(names);
    v->addWidget(buildPlayFrame());

    v->addWidget(buildSongFrame());
    v->addWidget(buildToneFrame());
    v->addWidget(buildHatFrame());
    v->addStretch(1);
    return column;
}

QGroupBox* FrmMain::buildSongFrame()
{
    frmSong = frame("frmSong", "Song Order and Pattern Store (NOT FULLY IMPLIMENTED YET!)", this);
    auto* g = new QGridLayout(frmSong);

    listCH1 = new ListBox(QStringLiteral("listCH1"), frmSong);
    listCH2 = new ListBox(QStringLiteral("listCH2"), frmSong);
    listCH1->setMinimumHeight(110);
    listCH2->setMinimumHeight(110);
    g->addWidget(listCH1, 0, 0, 5, 1);
    g->addWidget(listCH2, 0, 1, 5, 1);

    auto* edit = new QVBoxLayout;
    cmdAdd = common::namedButton("cmdAdd", "ADD SEQ", frmSong);
    cmdDelCh1 = common::namedButton("cmdDelCh1", "X", frmSong);
    cmdInsCh1 = common::namedButton("cmdInsCh1", "INS", frmSong);
    cmdUPCh1 = common::namedButton("cmdUPCh1", "UP", frmSong);
    cmdDNCh1 = common::namedButton("cmdDNCh1", "DN", frmSong);
    cmdInsCh1->setEnabled(false);
    cmdUPCh1->setEnabled(false);
    cmdDNCh1->setEnabled(false);
    cmdGenSelect = common::namedButton("cmdGenSelect", "GEN select", frmSong);
    cmdGenAllCode = common::namedButton("cmdGenAllCode", "GEN All Code", frmSong);
    for (QWidget* w : {static_cast<QWidget*>(cmdAdd), static_cast<QWidget*>(cmdDelCh1),
                       static_cast<QWidget*>(cmdInsCh1), static_cast<QWidget*>(cmdUPCh1),
                       static_cast<QWidget*>(cmdDNCh1)})
        edit->addWidget(w);
    g->addLayout(edit, 0, 2, 5, 1);

    auto* positions = new QGridLayout;
    txtSongPos = textBox("txtSongPos", "0", frmSong);
    txtPos = textBox("txtPos", "0", frmSong);
    txtSongPos->setMaximumWidth(60);
    txtPos->setMaximumWidth(60);
    cmdSongPrev = common::namedButton("cmdSongPrev", "&,<", frmSong);
    cmdSongNext = common::namedButton("cmdSongNext", ">&.", frmSong);
    cmdSave = common::namedButton("cmdSave", "&Save", frmSong);
    cmdReplace = common::namedButton("cmdReplace", "REPL ACE", frmSong);
    cmdReplace->setEnabled(false);
    positions->addWidget(label("POS", frmSong), 0, 0);
    positions->addWidget(txtSongPos, 1, 0);
    positions->addWidget(label("Max 53", frmSong), 2, 0);
    positions->addWidget(label("Pattern", frmSong), 0, 1, 1, 3);
    positions->addWidget(cmdSongPrev, 1, 1);
    positions->addWidget(txtPos, 1, 2);
    positions->addWidget(cmdSongNext, 1, 3);
    positions->addWidget(label("Max 11", frmSong), 2, 2);
    positions->addWidget(cmdSave, 3, 1, 1, 2);
    positions->addWidget(cmdReplace, 3, 3);
    positions->addWidget(cmdGenSelect, 3, 0);
    g->addLayout(positions, 5, 0, 1, 2);
    g->addWidget(cmdGenAllCode, 5, 2);
    return frmSong;
}

QGroupBox* FrmMain::buildToneFrame()
{
    frmToneMatrix = frame("frmToneMatrix", "Wave Types Used / Wave Volume / Tempo", this);
    auto* g = new QGridLayout(frmToneMatrix);
    for (int i = 0; i < 10; ++i) {
        WaveMatrix[static_cast<std::size_t>(i)] = new ComboBox(indexed("WaveMatrix", i), frmToneMatrix);
        lblMatrix[static_cast<std::size_t>(i)] = new QLabel(frmToneMatrix);
        lblMatrix[static_cast<std::size_t>(i)]->setObjectName(indexed("lblMatrix", i));
    }
    for (int i = 0; i < 8; ++i) {
        auto slot = static_cast<std::size_t>(i);
        WaveVol[slot] = new ComboBox(indexed("WaveVol", i), frmToneMatrix);
        lblMatrix[slot]->setText(QString::number(i));
        WaveMatrix[slot]->setMinimumWidth(150);
        WaveVol[slot]->setMinimumWidth(80);
        const int row = i % 4;
        const int col = (i / 4) * 3; // slots 0-3 on the left, 4-7 on the right
        g->addWidget(lblMatrix[slot], row, col);
        g->addWidget(WaveMatrix[slot], row, col + 1);
        g->addWidget(WaveVol[slot], row, col + 2);
    }
    cmbTempo = new ComboBox(QStringLiteral("cmbTempo"), frmToneMatrix);
    cmbTempo->setText8("3 - Tempo");
    cmdWriteInit = common::namedButton("cmdWriteInit", "Test Tones", frmToneMatrix);
    lblMatrix[8]->setText(QStringLiteral("Tempo"));
    lblMatrix[9]->setText(QStringLiteral("Silence"));
    WaveMatrix[9]->setText8("16");
    g->addWidget(lblMatrix[8], 4, 0);
    g->addWidget(cmbTempo, 4, 1);
    g->addWidget(cmdWriteInit, 4, 2);
    g->addWidget(lblMatrix[9], 4, 3);
    g->addWidget(WaveMatrix[9], 4, 4, 1, 2);
    auto* note = label("* lowest note on 7 will be silence", frmToneMatrix);
    g->addWidget(note, 5, 3, 1, 3);
    return frmToneMatrix;
}

QGroupBox* FrmMain::buildHatFrame()
{
    Frame1 = frame("Frame1", "Master Auto HiHat (ch2 - does currupt audio a bit though) ", this);
    auto* v = new QVBoxLayout(Frame1);
    auto* steps = new QGridLayout;
    steps->setHorizontalSpacing(2);
    for (int i = 0; i < 32; ++i) {
        auto* box = new QCheckBox(Frame1);
        box->setObjectName(indexed("HH", i));
        box->setToolTip(QStringLiteral("Step %1").arg(i));
        HH[static_cast<std::size_t>(i)] = box;
        steps->addWidget(box, i / 16, i % 16);
    }
    v->addLayout(steps);

    auto* buttons = new QHBoxLayout;
    cmdAutoHH1 = common::namedButton("cmdAutoHH1", "16ths", Frame1);
    cmdAutoHH2 = common::namedButton("cmdAutoHH2", "8ths", Frame1);
    cmdAutoHH3 = common::namedButton("cmdAutoHH3", "Off Beat", Frame1);
    cmdAutoHH4 = common::namedButton("cmdAutoHH4", "Reset", Frame1);
    cmdAutoHH5 = common::namedButton("cmdAutoHH5", "From Modplug", Frame1);
    cmdNFO = common::namedButton("cmdNFO", "nfo", Frame1);
    for (QPushButton* b : {cmdAutoHH1, cmdAutoHH2, cmdAutoHH3, cmdAutoHH4, cmdAutoHH5, cmdNFO})
        buttons->addWidget(b);
    v->addLayout(buttons);

    auto* settings = new QGridLayout;
    hhKickIn = textBox("hhKickIn", "0", Frame1);
    hhKickIn->setMaximumWidth(60);
    hhVol = new ComboBox(QStringLiteral("hhVol"), Frame1);
    hhVol->setText8("1");
    hhPitch = new ComboBox(QStringLiteral("hhPitch"), Frame1);
    hhPitch->setText8("1");
    settings->addWidget(label("Kick in after x bars", Frame1), 0, 0);
    settings->addWidget(hhKickIn, 0, 1);
    settings->addWidget(label("Waveform", Frame1), 0, 2);
    settings->addWidget(WaveMatrix[8], 0, 3);
    settings->addWidget(label("Vol", Frame1), 1, 0);
    settings->addWidget(hhVol, 1, 1);
    settings->addWidget(label("Pitch", Frame1), 1, 2);
    settings->addWidget(hhPitch, 1, 3);
    v->addLayout(settings);
    v->addWidget(label("Note: HH overrides CH2 sound", Frame1));
    return Frame1;
}

QWidget* FrmMain::buildOutputColumn()
{
    auto* column = new QWidget(this);
    auto* g = new QGridLayout(column);
    g->setContentsMargins(0, 0, 0, 0);
    g->addWidget(label(" ASM (output)", column), 0, 0, 1, 2);
    txtPatternA = memoBox("txtPatternA", ";Pattern notation for CH1\r\n", column);
    txtPatternB = memoBox("txtPatternB", ";Pattern notation for CH2\r\n", column);
    txtOrderA = memoBox("txtOrderA", ";Sequences (multiple chains of notes) Output CH1\r\n", column);
    txtOrderB = memoBox("txtOrderB", ";Sequences (multiple chains of notes) Output CH2\r\n", column);
    txtSong = memoBox("txtSong", "; Song order\r\n; This is generated by pressing 'gen all code'\r\n", column);
    txtLog = memoBox("txtLog", "", column);
    txtLog->setStyleSheet(QStringLiteral("QPlainTextEdit { color: #00ff00; background: black; }"));
    for (common::MemoBox* m : {txtPatternA, txtPatternB, txtOrderA, txtOrderB, txtSong, txtLog})
        m->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Assembly in a fixed-pitch font with tab stops four characters apart, so
    // at the default window size a pattern line shows its whole comment (row,
    // note, instrument); the long "word" lines of the sequences get the full
    // width.
    for (common::MemoBox* m : {txtPatternA, txtPatternB, txtOrderA, txtOrderB, txtSong})
        m->showAsAssembly();
    g->addWidget(txtPatternA, 1, 0);
    g->addWidget(txtPatternB, 1, 1);
    g->addWidget(txtOrderA, 2, 0, 1, 2);
    g->addWidget(txtOrderB, 3, 0, 1, 2);
    g->addWidget(txtSong, 4, 0);
    g->addWidget(txtLog, 4, 1);
    g->setRowStretch(1, 4);
    g->setRowStretch(2, 1);
    g->setRowStretch(3, 1);
    g->setRowStretch(4, 2);
    return column;
}

QWidget* FrmMain::buildBottomRow()
{
    auto* row = new QWidget(this);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(4); // fourteen controls in a row: slim gaps keep it within the design width
    cmdLoadSong = common::namedButton("cmdLoadSong", "File Operations (Load / Save)", row);
    cmdClearSong = common::namedButton("cmdClearSong", "Clear Memory", row);
    cmdDel = common::namedButton("cmdDel", "Clear pattern", row);
    cmdOPT = common::namedButton("cmdOPT", "Optimiser", row);
    cmdImport = common::namedButton("cmdImport", "Import Module...", row);
    chkAutoDel = checkBox("chkAutoDel", "Auto delete text on selection", true, row);
    cmdCompileSong = common::namedButton("cmdCompileSong", "SONG COMPILE", row);
    cmdCompileSong->setEnabled(false);
    cmdSaveGame = common::namedButton("cmdSaveGame", "Save for a game", row);
    cmdSaveGame->setEnabled(false);
    chkCart = checkBox("chkCart", "CopyCart", false, row);
    chkPack = checkBox("chkPack", "Pack repeats", false, row);
    lblRomUse = new QLabel(row);
    lblRomUse->setObjectName(QStringLiteral("lblRomUse"));
    // Room for a song far over the ROM, so the row does not move when it shows.
    lblRomUse->setMinimumWidth(lblRomUse->fontMetrics().horizontalAdvance(QStringLiteral("ROM: 99,999 of 9,999 bytes")));

    frmDecode = frame("frmDecode", "Quick Decoder ", row);
    auto* d = new QHBoxLayout(frmDecode);
    txtDecoder = textBox("txtDecoder", "", frmDecode);
    txtDecoderOut = textBox("txtDecoderOut", "Null", frmDecode);
    txtDecoder->setMaximumWidth(110);
    txtDecoderOut->setMinimumWidth(220);
    d->addWidget(txtDecoder);
    d->addWidget(txtDecoderOut);

    for (QWidget* w : {static_cast<QWidget*>(cmdLoadSong), static_cast<QWidget*>(cmdClearSong),
                       static_cast<QWidget*>(cmdDel), static_cast<QWidget*>(cmdOPT),
                       static_cast<QWidget*>(chkAutoDel), static_cast<QWidget*>(cmdCompileSong),
                       static_cast<QWidget*>(cmdSaveGame), static_cast<QWidget*>(chkPack), static_cast<QWidget*>(chkCart),
                       static_cast<QWidget*>(lblRomUse)})
        h->addWidget(w);
    h->addWidget(cmdImport);
    h->addStretch(1);
    h->addWidget(frmDecode);
    return row;
}

QGroupBox* FrmMain::buildPlayFrame()
{
    frmPlay = frame("frmPlay", "Listen", this);
    // Two slim rows: playing and where it is above, what is written and shown
    // below. One row of them would narrow the output fields beside it.
    auto* g = new QGridLayout(frmPlay);
    g->setContentsMargins(6, 2, 6, 2);
    g->setVerticalSpacing(2);
    cmdPlayPattern = common::namedButton("cmdPlayPattern", "Play Pattern", frmPlay);
    cmdPlaySong = common::namedButton("cmdPlaySong", "Play Song", frmPlay);
    cmdStopPlay = common::namedButton("cmdStopPlay", "Stop", frmPlay);
    cmdSaveWav = common::namedButton("cmdSaveWav", "Save song.wav", frmPlay);
    cmdPitchGuide = common::namedButton("cmdPitchGuide", "Pitch Guide", frmPlay);
    cmdSaveTemplate = common::namedButton("cmdSaveTemplate", "Save Ostrak.it", frmPlay);
    chkPal = new QCheckBox(QStringLiteral("PAL"), frmPlay);
    chkPal->setObjectName(QStringLiteral("chkPal"));
    lblPlaying = new QLabel(frmPlay);
    lblPlaying->setObjectName(QStringLiteral("lblPlaying"));
    // Wide enough for the longest position, so the row does not jump.
    lblPlaying->setMinimumWidth(lblPlaying->fontMetrics().horizontalAdvance(QStringLiteral("Step 255  Row 31")));
    g->addWidget(cmdPlayPattern, 0, 0);
    g->addWidget(cmdPlaySong, 0, 1);
    g->addWidget(cmdStopPlay, 0, 2);
    g->addWidget(lblPlaying, 0, 3);
    g->addWidget(cmdSaveWav, 1, 0);
    g->addWidget(cmdPitchGuide, 1, 1);
    g->addWidget(cmdSaveTemplate, 1, 2);
    g->addWidget(chkPal, 1, 3);
    g->setColumnStretch(4, 1);
    return frmPlay;
}

} // namespace ostrak
