// The converted text is readable in the shown window at its default size:
// every pattern and sequence line fits its field, comment and instrument
// number included, without scrolling sideways.
#include "ConvertFixture.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QDir>

namespace {

using testing_support::ConvertTest;

TEST_F(ConvertTest, ConvertedExampleLinesFitTheirFieldsAtTheDefaultSize)
{
    w().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w()));
    ASSERT_EQ(w().height(), 985);
    // The bottom row's controls are as wide as they want: no caption cut short.
    for (QWidget* control : w().cmdCompileSong->parentWidget()->findChildren<QWidget*>(
             QString(), Qt::FindDirectChildrenOnly))
        EXPECT_GE(control->width(), control->sizeHint().width()) << control->objectName().toStdString();
    const QString engine = QDir(QStringLiteral(TEST_DATA_DIR "/../../engine")).absolutePath();
    convert(testing_support::readBytes(engine.toStdString() + "/example-paste.txt"));
    ASSERT_NE(patternB().find("|16 - Silence\r\n"), std::string::npos); // the longest comment

    int lines = 0;
    for (common::MemoBox* field : {w().txtPatternA, w().txtPatternB, w().txtOrderA, w().txtOrderB}) {
        ASSERT_EQ(field->horizontalScrollBar()->value(), 0);
        qreal widest = 0;
        QString widestLine;
        for (QTextBlock block = field->document()->begin(); block.isValid(); block = block.next()) {
            field->document()->documentLayout()->blockBoundingRect(block); // lays the line out
            ASSERT_EQ(block.layout()->lineCount(), 1);
            const qreal right = block.layout()->lineAt(0).cursorToX(block.length() - 1);
            if (right > widest) {
                widest = right;
                widestLine = block.text();
            }
            ++lines;
        }
        EXPECT_LE(widest, field->viewport()->width())
            << field->objectName().toStdString() << ": " << widestLine.toStdString();
    }
    EXPECT_GE(lines, 2 * 8 * 9); // at least both channels' eight chains of nine lines
}

} // namespace
