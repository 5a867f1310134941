#include "TestSupport.h"

#include <QApplication>
#include <QDir>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testing_support {

void ensureApplication()
{
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "tests";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);
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

} // namespace testing_support
