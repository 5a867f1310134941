#include "crimp/FrmCrimp.h"

#include "Clock.h"
#include "ProgramIcon.h"

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
