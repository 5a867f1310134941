#include "support/TestSupport.h"
#include "common/Text8Widgets.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using common::MemoBox;
using common::TextBox;

class TextBoxes : public ::testing::Test {
protected:
    TextBoxes() { testing_support::ensureApplication(); }
};

TEST_F(TextBoxes, MemoKeepsEveryByteSetFromCode)
{
    MemoBox memo(QStringLiteral("memo"));
    // Lone CR and LF, a NUL and two bytes above 127: 14 bytes.
    const char bytes[] = "a\r\nb\rc\nd\0e\xE9\xFF\r\n";
    memo.setText8(std::string(bytes, sizeof bytes - 1));
    const std::string back = memo.text8();
    ASSERT_EQ(back.size(), 14u);
    EXPECT_EQ(back, std::string(bytes, 14));
    // What the user sees is every byte as its Latin-1 character, with LF line ends.
    const QChar shown[] = {u'a', u'\n', u'b', u'\n', u'c', u'\n', u'd', QChar(0), u'e', QChar(0xE9), QChar(0xFF), u'\n'};
    EXPECT_EQ(memo.toPlainText(), QString(shown, std::size(shown)));
}

TEST_F(TextBoxes, MemoEditedByTheUserReadsBackWithCrLf)
{
    MemoBox memo(QStringLiteral("memo"));
    memo.setText8("x");
    memo.setFocus();
    memo.moveCursor(QTextCursor::End);
    QTest::keyClick(&memo, Qt::Key_Return);
    QTest::keyClicks(&memo, QStringLiteral("y"));
    EXPECT_EQ(memo.text8(), "x\r\ny");
}

TEST_F(TextBoxes, AppendKeepsCrLfSplitAcrossTwoAppends)
{
    MemoBox memo(QStringLiteral("memo"));
    memo.append8("a\r");
    memo.append8("\nb");
    EXPECT_EQ(memo.text8(), "a\r\nb");
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("a\nb"));
}

TEST_F(TextBoxes, ChangeIsSignalledOnlyWhenTheTextDiffers)
{
    TextBox box(QStringLiteral("box"));
    QSignalSpy spy(&box, &TextBox::changed);
    box.setText8("5");
    box.setText8("5");
    EXPECT_EQ(spy.count(), 1);
    box.setFocus();
    QTest::keyClicks(&box, QStringLiteral("1"));
    EXPECT_EQ(spy.count(), 2);
    EXPECT_EQ(box.text8(), "51");
}

TEST_F(TextBoxes, LineBoxTakesTextsLongerThanQtsDefaultLimit)
{
    TextBox box(QStringLiteral("box"));
    const std::string big(100000, 'x');
    box.setText8(big);
    EXPECT_EQ(box.text8(), big);
    EXPECT_EQ(box.text().size(), 100000);
}
