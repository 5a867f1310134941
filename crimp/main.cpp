// Starts crimp: the application, the window icon and its one window on the real clock.
#include "app/FrmCrimp.h"

#include "common/Clock.h"
#include "common/ProgramIcon.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    common::setProgramIcon(QStringLiteral("crimp"));
    common::SystemClock clock;
    crimp::frmCrimp window(clock);
    window.show();
    return app.exec();
}
