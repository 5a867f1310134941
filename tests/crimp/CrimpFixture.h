#pragma once
// A crimp window on a fixed clock in a scratch working folder, driven as a user would.
#include "support/TestSupport.h"
#include "common/TextFile.h"
#include "app/CrimpCommands.h"
#include "app/FrmCrimp.h"
#include "search/LineTables.h"

#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace crimp_testing {

class CrimpTest : public ::testing::Test {
protected:
    CrimpTest()
    {
        testing_support::ensureApplication();
        window = std::make_unique<crimp::frmCrimp>(clock);
    }

    crimp::frmCrimp& w() { return *window; }
    crimp::LineTables& tables() { return window->tables(); }
    std::string report() const { return window->txtOut->text8(); }

    void writeSong(const std::string& bytes) { testing_support::writeBytes(folder.file("song.h"), bytes); }
    std::string fileBytes(const std::string& name) const { return testing_support::readBytes(folder.file(name)); }

    static void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
    static std::string caption(const QLabel* label) { return crimp::caption8(label); }

    void manualSearch() { click(w().cmdSearch); }
    void autoSearch() { click(w().cmdAutoSearch); }

    testing_support::ScratchFolder folder;
    testing_support::FixedClock clock;
    std::unique_ptr<crimp::frmCrimp> window;
};

// Lines joined with CR LF after each.
inline std::string crlfLines(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += line + "\r\n";
    return out;
}

// The nine lines of the window's default search run, with other comments when
// firstRow is not 0 (the data stays the same).
inline std::vector<std::string> defaultRun(int firstRow = 0, const std::string& indent = "\t")
{
    const char* bytes[8] = {"11000010", "11000011", "11000100", "00111001",
                            "00111001", "00111001", "00111001", "00111001"};
    const char* notes[8] = {"F-6|14", "E-6|14", "D#6|14", "F#4|3", "...|0", "...|0", "...|0", "...|0"};
    std::vector<std::string> lines;
    for (int r = 0; r < 8; ++r)
        lines.push_back(indent + "byte %" + bytes[r] + "  ;" + std::to_string(firstRow + r) + "|" + notes[r]);
    lines.push_back(indent + "byte %00000000  ; not imp yet");
    return lines;
}

// A chain of eight rows holding `seed`-dependent data, and its closing line.
inline std::vector<std::string> otherRun(int seed)
{
    std::vector<std::string> lines;
    for (int r = 0; r < 8; ++r) {
        std::string bits;
        const int value = (seed * 37 + r * 11 + 5) & 0xFF;
        for (int b = 7; b >= 0; --b)
            bits += ((value >> b) & 1) ? '1' : '0';
        lines.push_back("\tbyte %" + bits + "  ;" + std::to_string(r) + "|C-5|1");
    }
    lines.push_back("\tbyte %00000000  ; not imp yet");
    return lines;
}

inline void append(std::vector<std::string>& to, const std::vector<std::string>& lines)
{
    to.insert(to.end(), lines.begin(), lines.end());
}

} // namespace crimp_testing
