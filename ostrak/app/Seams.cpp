#include "Seams.h"

#include "common/Failure.h"
#include "common/Text8Widgets.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>

namespace ostrak {

void QtMessageBoxes::show(const std::string& text)
{
    QMessageBox box(QMessageBox::NoIcon, QString(), common::toQt(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

bool QtMessageBoxes::ask(const std::string& question)
{
    QMessageBox box(QMessageBox::Question, QString(), common::toQt(question), QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void DetachedLauncher::start(const std::string& bareName)
{
    const QString name = common::toQt(bareName);
    const QString folder = QDir::currentPath();
    if (!QFileInfo(QDir(folder), name).isFile())
        throw common::Failure(common::kFileNotFound, bareName + " not found");
#ifdef Q_OS_WIN
    const bool started = QProcess::startDetached(QStringLiteral("cmd.exe"),
                                                 {QStringLiteral("/c"), QStringLiteral("start"),
                                                  QStringLiteral("/min"), QString(), name},
                                                 folder);
#else
    // A script of plain command lines runs under /bin/sh on Linux and macOS.
    const bool started = QProcess::startDetached(QStringLiteral("/bin/sh"), {name}, folder);
#endif
    if (!started)
        throw common::Failure(common::kFileNotFound, bareName + " could not be started");
}

} // namespace ostrak
