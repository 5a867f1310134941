#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <clocale>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testing_support {

namespace {
QSize& screenSize()
{
    static QSize size(1920, 1200);
    return size;
}
} // namespace

void useScreen(QSize size)
{
    screenSize() = size;
}

void ensureApplication()
{
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "tests";
    static char* argv[] = {name, nullptr};
    // The platform's own screen is smaller than the windows; the screen is
    // set, so window sizes do not depend on the platform's default.
    static QTemporaryFile config(QDir::tempPath() + QStringLiteral("/offscreen-XXXXXX.json"));
    if (!config.open())
        throw std::runtime_error("cannot write the offscreen screen configuration");
    config.write(QStringLiteral(R"({"screens": [{"name": "test", "x": 0, "y": 0, "width": %1, "height": %2}]})")
                     .arg(screenSize().width())
                     .arg(screenSize().height())
                     .toUtf8());
    config.flush();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config.fileName()).toLocal8Bit());
    new QApplication(argc, argv);
}

CommaLocale::CommaLocale() : previous_(std::setlocale(LC_NUMERIC, nullptr))
{
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8"})
        if (std::setlocale(LC_NUMERIC, name) && std::localeconv()->decimal_point[0] == ',') {
            ok_ = true;
            return;
        }
}

CommaLocale::~CommaLocale()
{
    std::setlocale(LC_NUMERIC, previous_.c_str());
}

ScratchFolder::ScratchFolder() : previous_(QDir::currentPath())
{
    if (!dir_.isValid() || !QDir::setCurrent(dir_.path()))
        throw std::runtime_error("no scratch folder");
}

ScratchFolder::~ScratchFolder()
{
    QDir::setCurrent(previous_);
}

std::string ScratchFolder::path() const
{
    return dir_.path().toStdString();
}

std::string ScratchFolder::file(const std::string& name) const
{
    return path() + "/" + name;
}

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string dataFile(const std::string& name)
{
    return readBytes(std::string(TEST_DATA_DIR) + "/" + name);
}

std::string missingTools(const std::vector<std::string>& tools)
{
    std::string missing;
    for (const auto& tool : tools) {
        if (QStandardPaths::findExecutable(QString::fromStdString(tool)).isEmpty())
            missing += (missing.empty() ? "" : ", ") + tool;
    }
    return missing;
}

ProgramRun runProgram(const std::vector<std::string>& argv, const std::string& folder,
               const std::map<std::string, std::string>& env, int timeoutMs)
{
    QProcess process;
    process.setWorkingDirectory(QString::fromStdString(folder));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : env)
        environment.insert(QString::fromStdString(name), QString::fromStdString(value));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    QStringList arguments;
    for (std::size_t i = 1; i < argv.size(); ++i)
        arguments << QString::fromStdString(argv[i]);
    process.start(QString::fromStdString(argv.at(0)), arguments);
    ProgramRun run;
    if (!process.waitForStarted(10000))
        return run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        run.output = process.readAll().toStdString();
        return run;
    }
    run.output = process.readAll().toStdString();
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}

} // namespace testing_support
