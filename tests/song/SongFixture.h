#pragma once
// The whole ostrak on stand-in seams, with helpers to read what the song
// writers leave in the scratch working folder.
#include "support/OstrakFixture.h"

#include <QCheckBox>
#include <QListWidget>
#include <QTest>

#include <string>
#include <vector>

namespace song_tests {

class SongTest : public testing_support::OstrakTest {
protected:
    std::string songH() const { return testing_support::readBytes(folder.file("song.h")); }

    // Lines of a CR LF text; a final CR LF ends the last line.
    static std::vector<std::string> linesOf(const std::string& text)
    {
        std::vector<std::string> lines;
        std::size_t start = 0;
        for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
            lines.push_back(text.substr(start, at - start));
        if (start < text.size())
            lines.push_back(text.substr(start));
        return lines;
    }

    // 1-based line n of the song.h just written.
    std::string songLine(std::size_t n) const { return linesOf(songH()).at(n - 1); }

    // Focus changes need a shown, active window even offscreen.
    void showActive()
    {
        w().show();
        w().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    }

    // The four hat lines as "nfo" shows them, on an emptied log.
    std::string hatDisplay()
    {
        w().txtLog->setText8("");
        w().cmdNFO->click();
        return w().txtLog->text8();
    }

    std::vector<bool> hatBoxes()
    {
        std::vector<bool> set;
        for (QCheckBox* box : w().HH)
            set.push_back(box->isChecked());
        return set;
    }

    // Empties the four pattern fields, whose start-up texts end in a line break.
    void clearPatternFields()
    {
        for (common::MemoBox* m : {w().txtOrderA, w().txtOrderB, w().txtPatternA, w().txtPatternB})
            m->setText8("");
    }

    void store(int p, const ostrak::PatternTexts& texts) { memory().put(p, texts); }

    // Appends rows to both lists as the user does: position field, then ADD SEQ.
    void addRows(std::initializer_list<const char*> positions)
    {
        for (const char* p : positions) {
            w().txtPos->setText8(p);
            w().cmdAdd->click();
        }
    }

    void clickRow(ostrak::ListBox* list, int row)
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
};

} // namespace song_tests
