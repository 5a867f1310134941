#pragma once
// Drives the converter through the real main window.
#include "support/OstrakFixture.h"

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
    void convert(const std::string& paste)
    {
        w().txtIn->setText8(paste);
        w().cmdBang->click();
    }
    std::string patternA() { return w().txtPatternA->text8(); }
    std::string patternB() { return w().txtPatternB->text8(); }
    std::string orderA() { return w().txtOrderA->text8(); }
    std::string orderB() { return w().txtOrderB->text8(); }

    static std::string lines(const std::vector<std::string>& rows)
    {
        std::string text = "ModPlug Tracker  IT";
        for (const std::string& row : rows)
            text += "\r\n" + row;
        return text;
    }
    // n rows of notes on both channels, instruments 4 and 6.
    static std::string rows(int n)
    {
        static const char* notes[] = {"C-4", "E-4", "G-4", "C-5", "E-5", "G-5", "C-6", "E-6"};
        std::vector<std::string> out;
        for (int i = 0; i < n; ++i)
            out.push_back(std::string("|") + notes[i % 8] + "04v64...|" + notes[(i + 2) % 8] + "06......");
        return lines(out);
    }
    static bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
    static int count(const std::string& text, const std::string& part)
    {
        int n = 0;
        for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++n;
        return n;
    }

    std::vector<std::string> logs; // every text the log held, in order
};

} // namespace testing_support
