#include "FrmFiles.h"

#include "app/FrmMain.h"

#include <QLabel>
#include <QVBoxLayout>

namespace ostrak {

FrmFiles::FrmFiles(FrmMain& w, OstrakState&, Seams&, MemoryCommands&)
    : QWidget(&w, Qt::Window)
{
    setObjectName(QStringLiteral("frmFiles"));
    setWindowTitle(QStringLiteral("LOAD / SAVE Project Data"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("This window is not built yet."), this));
}

} // namespace ostrak
