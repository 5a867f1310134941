#pragma once
// The "Import Module" window, shown from the main window without blocking it.
// Controls only; ImportCommands does what its buttons do.
#include "common/Text8Widgets.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <QWidget>

#include <functional>

namespace ostrak {

class FrmImport : public QWidget {
    Q_OBJECT
public:
    explicit FrmImport(QWidget* mainWindow);

    QLineEdit* txtModule;
    QPushButton* cmdBrowseModule;
    QPushButton* cmdOpenModule;
    QTreeWidget* listPatterns;
    QComboBox* cmbChannelA;
    QComboBox* cmbChannelB;
    common::TextBox* txtStartPos;
    // One row per instrument the channels play: number, name, notes played,
    // the sound type it imports as (an editable choice, column 3) and the
    // octaves it moves by (column 4).
    QTableWidget* tblInstruments;
    QComboBox* cmbNotes; // "As pitch codes" or "By pitch"
    common::TextBox* txtTranspose; // semitones
    common::TextBox* txtTuning;    // cents, by pitch
    QPushButton* cmdImportPattern;
    QPushButton* cmdImportSong;
    QPlainTextEdit* txtImportLog;

    enum InstrumentColumn { kInstrumentNumber, kInstrumentName, kInstrumentNotes, kInstrumentType, kInstrumentOctave };
    // Adds a row whose type choice lists `types` and shows `current`.
    void addInstrumentRow(int number, const QString& name, const QString& notes, const QStringList& types,
                          const QString& current, int octave);
    QComboBox* typeBox(int row) const;
    QSpinBox* octaveBox(int row) const;

    // The file dialog; tests put their own in. Returns "" when cancelled.
    std::function<QString(QWidget* parent)> chooseModuleFile;
};

} // namespace ostrak
