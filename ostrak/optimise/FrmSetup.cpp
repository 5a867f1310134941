#include "FrmSetup.h"

#include "app/FrmMain.h"

#include <QLabel>
#include <QVBoxLayout>

namespace ostrak {

FrmSetup::FrmSetup(FrmMain& w, OstrakState&, Seams&)
    : QWidget(&w, Qt::Window)
{
    setObjectName(QStringLiteral("frmSetup"));
    setWindowTitle(QStringLiteral("Song Optimiser"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("This window is not built yet."), this));
}

} // namespace ostrak
