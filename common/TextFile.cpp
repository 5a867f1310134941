#include "TextFile.h"

#include "Failure.h"
#include "OpenFailure.h"

#include <cerrno>
#include <filesystem>

namespace common {

std::vector<std::string> splitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::string toCrLf(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            out += kCrLf;
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += kCrLf;
        } else {
            out += c;
        }
    }
    return out;
}

std::string toLf(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::string readWholeFile(const std::string& path)
{
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path))
        throwOpenFailure(path, errno, OpenFor::Reading);
    std::string data;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        data.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        throw Failure(kDeviceIO, path + ": read failed");
    return data;
}

void writeWholeFile(const std::string& path, std::string_view bytes)
{
    LineWriter writer(path);
    writer.write(bytes);
    writer.close();
}

LineReader::LineReader(const std::string& path)
{
    errno = 0;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throwOpenFailure(path, errno, OpenFor::Reading);
    in_.open(path, std::ios::binary);
    if (!in_)
        throwOpenFailure(path, errno, OpenFor::Reading);
}

bool LineReader::atEnd()
{
    return in_.peek() == std::char_traits<char>::eof();
}

std::string LineReader::readLine()
{
    if (atEnd())
        throw Failure(kInputPastEnd, "input past end of file");
    std::string line;
    for (;;) {
        int c = in_.get();
        if (c == std::char_traits<char>::eof())
            break;
        if (c == '\r') {
            if (in_.peek() == '\n')
                in_.get();
            break;
        }
        line += static_cast<char>(c);
    }
    return line;
}

LineWriter::LineWriter(const std::string& path) : file_(path)
{
}

void LineWriter::write(std::string_view bytes)
{
    file_.write(bytes);
}

void LineWriter::writeLine(std::string_view line)
{
    write(line);
    write(kCrLf);
}

void LineWriter::close()
{
    file_.commit();
}

} // namespace common
