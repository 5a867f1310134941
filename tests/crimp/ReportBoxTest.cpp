// The report box keeps the report text exactly and shows one row per line.
#include "support/TestSupport.h"

#include "app/ReportBox.h"

#include <gtest/gtest.h>

namespace {

class ReportBoxTest : public ::testing::Test {
protected:
    // The application must exist before the box is built.
    bool applicationReady_ = (testing_support::ensureApplication(), true);
    crimp::ReportBox box{QStringLiteral("txtOut")};

    std::vector<std::string> rows() const
    {
        std::vector<std::string> out;
        for (int r = 0; r < box.rowCount(); ++r)
            out.push_back(box.rowText(r));
        return out;
    }
};

TEST_F(ReportBoxTest, EveryKindOfLineEndStartsARow)
{
    box.setText8("a\r\nb\rc\nd");
    EXPECT_EQ(rows(), (std::vector<std::string>{"a", "b", "c", "d"}));
    box.setText8("REPORT\r\n");
    EXPECT_EQ(rows(), (std::vector<std::string>{"REPORT", ""}));
    box.setText8("");
    EXPECT_EQ(rows(), (std::vector<std::string>{""}));
    EXPECT_EQ(box.model()->rowCount(), 1);
}

TEST_F(ReportBoxTest, AppendingContinuesTheLastRowAndJoinsASplitLineEnd)
{
    box.setText8("Working...\r");
    box.append8("\nFound  @ 4\r\n");
    box.append8("CA");
    box.append8("0");
    EXPECT_EQ(box.text8(), "Working...\r\nFound  @ 4\r\nCA0");
    EXPECT_EQ(rows(), (std::vector<std::string>{"Working...", "Found  @ 4", "CA0"}));
    EXPECT_EQ(box.model()->rowCount(), 3);
}

TEST_F(ReportBoxTest, CopyTakesTheSelectedRowsInOrder)
{
    box.setText8("one\r\n\ttwo\r\nthree\r\n");
    box.selectionModel()->select(box.model()->index(2, 0), QItemSelectionModel::Select);
    box.selectionModel()->select(box.model()->index(0, 0), QItemSelectionModel::Select);
    EXPECT_EQ(box.selectedText(), "one\nthree");
    box.selectionModel()->select(box.model()->index(1, 0), QItemSelectionModel::Select);
    EXPECT_EQ(box.selectedText(), "one\n\ttwo\nthree");
}

} // namespace
