// The real launcher: scripts are found by bare name in the working folder
// and started there without waiting for them.
#include "common/Failure.h"
#include "support/TestSupport.h"
#include "app/Seams.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

namespace {

using testing_support::readBytes;
using testing_support::writeBytes;

class LauncherTest : public ::testing::Test {
protected:
    LauncherTest() { testing_support::ensureApplication(); }

    // Waits at most timeoutMs for a file to appear with a complete line in it.
    bool waitForLine(const std::string& path, int timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            if (QFile::exists(QString::fromStdString(path))) {
                const std::string text = readBytes(path);
                if (!text.empty() && text.back() == '\n')
                    return true;
            }
            QThread::msleep(20);
        }
        return false;
    }

    testing_support::ScratchFolder folder;
    ostrak::DetachedLauncher launcher;
};

#ifndef Q_OS_WIN
TEST_F(LauncherTest, StartsTheScriptInTheWorkingFolderWithoutWaiting)
{
    // The script waits before it writes, so a launcher that waited would be seen.
    writeBytes(folder.file("compile.bat"), "sleep 1\npwd -P > started.txt\n");
    QElapsedTimer timer;
    timer.start();
    launcher.start("compile.bat");
    EXPECT_LT(timer.elapsed(), 900);
    EXPECT_FALSE(QFile::exists(QStringLiteral("started.txt")));
    ASSERT_TRUE(waitForLine(folder.file("started.txt"), 10000));
    EXPECT_EQ(readBytes(folder.file("started.txt")),
              QDir(QString::fromStdString(folder.path())).canonicalPath().toStdString() + "\n");
}

TEST_F(LauncherTest, AScriptNeedsNoExecuteBit)
{
    writeBytes(folder.file("copycart.bat"), "echo copied > copied.txt\n");
    QFile::setPermissions(QString::fromStdString(folder.file("copycart.bat")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    launcher.start("copycart.bat");
    EXPECT_TRUE(waitForLine(folder.file("copied.txt"), 10000));
}
#endif

TEST_F(LauncherTest, AMissingScriptOrAFolderOfThatNameIsNotFound)
{
    for (const char* name : {"compile.bat", "folder.bat"}) {
        if (std::string(name) == "folder.bat")
            QDir().mkdir(QStringLiteral("folder.bat"));
        try {
            launcher.start(name);
            ADD_FAILURE() << name << " was started";
        } catch (const common::Failure& f) {
            EXPECT_EQ(f.code(), common::kFileNotFound) << name;
        }
    }
}

} // namespace
