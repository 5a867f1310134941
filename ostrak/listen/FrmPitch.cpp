#include "FrmPitch.h"

#include "app/FrmMain.h"
#include "common/Numbers.h"
#include "convert/Tables.h"
#include "sound/PitchGuide.h"
#include "common/WindowFit.h"

#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

namespace ostrak {

namespace {

QString fixed(double value, int decimals, bool sign = false)
{
    QString text = QString::number(value, 'f', decimals);
    return sign && value >= 0 ? QStringLiteral("+") + text : text;
}

} // namespace

FrmPitch::FrmPitch(FrmMain& w, const NoteTable& notes) : QWidget(&w, Qt::Window), w_(w), notes_(notes)
{
    setObjectName(QStringLiteral("frmPitch"));
    setWindowTitle(QStringLiteral("Pitch Guide"));
    auto* body = new QWidget(this);
    auto* v = new QVBoxLayout(body);
    v->addWidget(new QLabel(
        QStringLiteral("The tone the console plays for each note of each sound slot, the nearest note of equal "
                       "temperament (A4 = 440 Hz) and how far off it is. Notes more than %1 cents off are "
                       "marked \"off\".")
            .arg(sound::kOutOfTuneCents),
        this));
    static_cast<QLabel*>(v->itemAt(0)->widget())->setWordWrap(true);
    tblPitch = new QTableWidget(0, ColumnCount, this);
    tblPitch->setObjectName(QStringLiteral("tblPitch"));
    tblPitch->setHorizontalHeaderLabels({QStringLiteral("Slot"), QStringLiteral("Sound type"), QStringLiteral("Note"),
                                         QStringLiteral("Pitch code"), QStringLiteral("TIA Hz"),
                                         QStringLiteral("Nearest note"), QStringLiteral("Cents")});
    tblPitch->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblPitch->verticalHeader()->hide();
    tblPitch->verticalHeader()->setDefaultSectionSize(tblPitch->fontMetrics().height() + 6);
    tblPitch->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tblPitch->horizontalHeader()->setStretchLastSection(true);
    v->addWidget(tblPitch, 1);
    common::scrollBody(this, body);
    resize(720, 640);

    connect(w_.chkPal, &QCheckBox::toggled, this, [this] {
        if (isVisible())
            refresh();
    });
    for (int i = 0; i < 8; ++i)
        connect(w_.WaveMatrix[static_cast<std::size_t>(i)], &QComboBox::currentTextChanged, this, [this] {
            if (isVisible())
                refresh();
        });
}

void FrmPitch::showEvent(QShowEvent* e)
{
    refresh();
    QWidget::showEvent(e);
}

void FrmPitch::refresh()
{
    const sound::Clock clock = sound::playbackClock(w_.chkPal->isChecked());
    tblPitch->setRowCount(0);
    for (int slot = 0; slot < 8; ++slot) {
        const std::string field = w_.WaveMatrix[static_cast<std::size_t>(slot)]->text8();
        const std::optional<int> audc = sound::audcOfSoundType(common::leadingNumber(field));
        const QString typeText = audc ? QStringLiteral("%1 (AUDC %2)").arg(QString::fromLatin1(field.c_str())).arg(*audc)
                                      : QString::fromLatin1(field.c_str());
        // Shade every other slot so the blocks of 32 notes stand apart.
        const QBrush shade = slot % 2 ? palette().alternateBase() : palette().base();
        for (const sound::PitchRow& p : sound::pitchRows(notes_, audc.value_or(0), clock)) {
            const int r = tblPitch->rowCount();
            tblPitch->insertRow(r);
            auto put = [&](int column, const QString& text) {
                auto* item = new QTableWidgetItem(text);
                item->setBackground(shade);
                tblPitch->setItem(r, column, item);
                return item;
            };
            put(Slot, QString::number(slot));
            put(SoundType, typeText);
            put(Note, QString::fromLatin1(p.note.c_str()));
            put(PitchCode, QStringLiteral("%1 (%2)").arg(p.pitchCode).arg(QString::fromLatin1(p.codeText.c_str())));
            if (!audc) {
                put(Frequency, QStringLiteral("not a byte: song.h cannot hold it"));
            } else if (p.hz <= 0) {
                put(Frequency, *audc == 0 || *audc == 11 ? QStringLiteral("silent: no tone")
                                                         : QStringLiteral("noise: no tone"));
            } else {
                put(Frequency, fixed(p.hz, 2));
                put(Nearest, QStringLiteral("%1 (%2 Hz)").arg(QString::fromLatin1(p.nearest.name.c_str()), fixed(p.nearest.hz, 2)));
                QTableWidgetItem* cents = put(Cents, fixed(p.nearest.cents, 1, true) + (p.outOfTune ? QStringLiteral("  off") : QString()));
                if (p.outOfTune) {
                    cents->setForeground(QColor(0xb0, 0, 0));
                    QFont bold = cents->font();
                    bold.setBold(true);
                    cents->setFont(bold);
                }
            }
        }
    }
}

} // namespace ostrak
