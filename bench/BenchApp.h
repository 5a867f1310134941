#pragma once
// What every ostrak benchmark starts with: a QApplication (offscreen unless
// the caller chose a platform), a scratch working folder, and the tests' stand-in seams.
#include "OstrakApp.h"
#include "app/FrmMain.h"
#include "import/FrmImport.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <string>
#include <vector>

namespace bench {

inline int& offscreenUnlessChosen(int& argc)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return argc;
}

class BenchApp {
public:
    BenchApp(int& argc, char** argv) : app_(offscreenUnlessChosen(argc), argv)
    {
        ready_ = folder_.isValid() && QDir::setCurrent(folder_.path());
        if (!ready_)
            std::fprintf(stderr, "no scratch folder\n");
    }
    bool ready() const { return ready_; }

private:
    QApplication app_;
    QTemporaryDir folder_;
    bool ready_ = false;
};

// A whole ostrak on quiet seams (and the given sound card), its main window
// shown so that the fields pay their real layout costs.
struct QuietOstrak {
    explicit QuietOstrak(ostrak::AudioOutput* audio = nullptr) : app(ostrak::Seams{messages, clock, launcher, audio})
    {
        app.main().show();
    }
    testing_support::RecordingMessages messages;
    testing_support::FixedClock clock;
    testing_support::RecordingLauncher launcher;
    ostrak::OstrakApp app;
};

// The modules of a folder, by name.
inline QStringList moduleFiles(const QString& folder)
{
    return QDir(folder).entryList({"*.it", "*.xm", "*.s3m", "*.mod"}, QDir::Files, QDir::Name);
}

// Opens a module in the import window, as "Import Module..." and the
// window's open button do.
inline ostrak::FrmImport& openModule(QuietOstrak& quiet, const QString& path)
{
    ostrak::FrmImport& imp = quiet.app.importer();
    quiet.app.main().cmdImport->click();
    imp.txtModule->setText(path);
    imp.cmdOpenModule->click();
    return imp;
}

} // namespace bench
