#pragma once
// The pitch guide: how in tune every note of the eight sound slots plays,
// as the WaveMatrix fields are set now. Not modal; it follows the fields.
#include <QTableWidget>
#include <QWidget>

namespace ostrak {

class FrmMain;
class NoteTable;

class FrmPitch : public QWidget {
    Q_OBJECT
public:
    // Columns of tblPitch; one row per slot and note, slot 0 first.
    enum Column { Slot, SoundType, Note, PitchCode, Frequency, Nearest, Cents, ColumnCount };

    FrmPitch(FrmMain& w, const NoteTable& notes);
    void refresh();

    QTableWidget* tblPitch;

protected:
    void showEvent(QShowEvent* e) override;

private:
    FrmMain& w_;
    const NoteTable& notes_;
};

} // namespace ostrak
