#pragma once
// The main window: every control the commands read and write, laid out in
// three columns. It holds no behaviour; the command classes connect to it.
#include "Controls.h"
#include "common/Text8Widgets.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>

#include <array>

namespace ostrak {

inline constexpr std::uint32_t kColourUnstored = 0x6060FF; // light red (0x00BBGGRR)
inline constexpr std::uint32_t kColourStored = 0xFFFFC0;   // light cyan

class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmMain(QWidget* parent = nullptr);

    // Input and pattern fields
    common::MemoBox* txtIn;
    QCheckBox* chkAutoDel;
    common::TextBox* txtNameA;
    common::TextBox* txtNameB;
    QCheckBox* chkAutoName;
    ComboBox* cmbSplit;
    common::TextBox* txtBars; // the "64" box; no command reads it
    QPushButton* cmdBang;
    common::MemoBox* txtPatternA;
    common::MemoBox* txtPatternB;
    common::MemoBox* txtOrderA;
    common::MemoBox* txtOrderB;
    common::MemoBox* txtLog;

    // Song order and pattern store
    QGroupBox* frmSong;
    common::TextBox* txtPos;
    QPushButton* cmdSongPrev;
    QPushButton* cmdSongNext;
    QPushButton* cmdSave;
    QPushButton* cmdReplace;
    ListBox* listCH1;
    ListBox* listCH2;
    common::TextBox* txtSongPos;
    QPushButton* cmdAdd;
    QPushButton* cmdDelCh1;
    QPushButton* cmdInsCh1;
    QPushButton* cmdUPCh1;
    QPushButton* cmdDNCh1;
    QPushButton* cmdGenSelect;
    QPushButton* cmdGenAllCode;
    common::MemoBox* txtSong;

    // Instruments and hi-hat
    QGroupBox* frmToneMatrix;
    std::array<ComboBox*, 10> WaveMatrix;
    std::array<ComboBox*, 8> WaveVol;
    std::array<QLabel*, 10> lblMatrix;
    ComboBox* cmbTempo;
    QPushButton* cmdWriteInit;
    QGroupBox* Frame1;
    std::array<QCheckBox*, 32> HH;
    QPushButton* cmdAutoHH1;
    QPushButton* cmdAutoHH2;
    QPushButton* cmdAutoHH3;
    QPushButton* cmdAutoHH4;
    QPushButton* cmdAutoHH5;
    common::TextBox* hhKickIn;
    ComboBox* hhVol;
    ComboBox* hhPitch;
    QPushButton* cmdNFO;

    // Build and bottom row
    QPushButton* cmdCompile;
    QPushButton* cmdCompileSong;
    QCheckBox* chkCart;
    QCheckBox* chkPack;  // "Pack repeats": the whole song with repeated chains named once
    QLabel* lblRomUse;   // the whole song's ROM use, red when it does not fit
    QGroupBox* frmDecode;
    common::TextBox* txtDecoder;
    common::TextBox* txtDecoderOut;
    QPushButton* cmdLoadSong;
    QPushButton* cmdClearSong;
    QPushButton* cmdDel;
    QPushButton* cmdOPT;
    QPushButton* cmdImport; // "Import Module...": the module import window

    // Listening
    QGroupBox* frmPlay;
    QPushButton* cmdPlayPattern;
    QPushButton* cmdPlaySong;
    QPushButton* cmdStopPlay;
    QPushButton* cmdSaveWav;
    QPushButton* cmdPitchGuide;
    QPushButton* cmdSaveTemplate; // "Save Ostrak.it": the tracker template for these slots
    QCheckBox* chkPal; // "PAL": song.h, Play, song.wav and the pitch guide for a PAL console
    QLabel* lblPlaying;

private:
    QWidget* buildInputColumn();
    QWidget* buildMiddleColumn();
    QWidget* buildOutputColumn();
    QWidget* buildBottomRow();
    QGroupBox* buildSongFrame();
    QGroupBox* buildToneFrame();
    QGroupBox* buildHatFrame();
    QGroupBox* buildPlayFrame();
};

} // namespace ostrak
