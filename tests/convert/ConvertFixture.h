#pragma once
// Drives the converter through the real main window.
#include "OstrakFixture.h"

#include <string>
#include <vector>

namespace testing_support {

class ConvertTest : public OstrakTest {
protected:
    ConvertTest()
    {
        QObject::connect(w().txtLog, &common::MemoBox::changed, w().txtLog,
                         [this] { logs.push_back(w().txtLog->text8()); });
    }

    // Pastes the text and presses the button.
    void convert(const std::string& paste)
    {
        w().txtIn->setText8(paste);
        w().cmdBang->click();
    }
    void convertFile(const std::string& name) { convert(dataFile("pastes/" + name)); }

    std::string patternA() { return w().txtPatternA->text8(); }
    std::string patternB() { return w().txtPatternB->text8(); }
    std::string orderA() { return w().txtOrderA->text8(); }
    // The log as it stood just before the run replaced it with its status.
    std::string fullLog() const { return logs.size() < 2 ? std::string() : logs[logs.size() - 2]; }

    static std::string lines(const std::vector<std::string>& rows, const std::string& header = "ModPlug Tracker  IT")
    {
        std::string text = header;
        for (const std::string& row : rows)
            text += "\r\n" + row;
        return text;
    }
    // n rows where row i plays a note on both channels.
    static std::string rows(int n)
    {
        static const char* notes[] = {"C-4", "E-4", "G-4", "C-5", "E-5", "G-5", "C-6", "E-6"};
        std::vector<std::string> out;
        for (int i = 0; i < n; ++i)
            out.push_back(std::string("|") + notes[i % 8] + "04v64...|" + notes[(i + 2) % 8] + "06......");
        return lines(out);
    }
    static int count(const std::string& text, const std::string& part)
    {
        int n = 0;
        for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++n;
        return n;
    }

    std::vector<std::string> logs;
};

} // namespace testing_support
