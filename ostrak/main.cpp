// Starts ostrak: the application, the window icon and the composition root.
#include "app/FrmMain.h"
#include "OstrakApp.h"
#include "common/ProgramIcon.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    common::setProgramIcon(QStringLiteral("ostrak"));
    ostrak::QtMessageBoxes messages;
    common::SystemClock clock;
    ostrak::DetachedLauncher launcher;
    ostrak::OstrakApp app({messages, clock, launcher});
    app.main().show();
    return application.exec();
}
