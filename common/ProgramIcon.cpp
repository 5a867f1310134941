#include "ProgramIcon.h"

#include <QApplication>
#include <QIcon>

namespace common {

void setProgramIcon(const QString& program)
{
    QIcon icon;
    for (int size : {48, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1-%2.png").arg(program).arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(program);
}

} // namespace common
