#include "Text8Widgets.h"

#include "TextFile.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QScrollBar>

#include <limits>

namespace common {

QString toQt(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string fromQt(const QString& text)
{
    QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QColor colorFromBgr(std::uint32_t bbggrr)
{
    return QColor(int(bbggrr & 0xFF), int((bbggrr >> 8) & 0xFF), int((bbggrr >> 16) & 0xFF));
}

// ---- TextBox

TextBox::TextBox(const QString& name, QWidget* parent) : QLineEdit(parent)
{
    setObjectName(name);
    setMaxLength(std::numeric_limits<int>::max());
    connect(this, &QLineEdit::textEdited, this, [this] {
        userEdited_ = true;
        emit changed();
    });
}

std::string TextBox::text8() const
{
    return userEdited_ ? fromQt(text()) : shadow_;
}

void TextBox::setText8(const std::string& value)
{
    if (value == text8())
        return;
    shadow_ = value;
    userEdited_ = false;
    setText(toQt(value));
    emit changed();
}

void TextBox::setBackColor(std::uint32_t bbggrr)
{
    backColor_ = bbggrr;
    QPalette p = palette();
    p.setColor(QPalette::Base, colorFromBgr(bbggrr));
    p.setColor(QPalette::Text, Qt::black);
    setPalette(p);
}

void TextBox::mousePressEvent(QMouseEvent* e)
{
    QLineEdit::mousePressEvent(e);
    emit clicked();
}

void TextBox::mouseDoubleClickEvent(QMouseEvent* e)
{
    QLineEdit::mouseDoubleClickEvent(e);
    emit doubleClicked();
}

void TextBox::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    emit focusLost();
}

// ---- MemoBox

MemoBox::MemoBox(const QString& name, QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(name);
    setUndoRedoEnabled(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (settingFromCode_)
            return;
        userEdited_ = true;
        emit changed();
    });
}

void MemoBox::syncFromWidget() const
{
    if (!userEdited_)
        return;
    shadow_ = toCrLf(fromQt(toPlainText()));
    userEdited_ = false;
}

std::string MemoBox::text8() const
{
    syncFromWidget();
    return shadow_;
}

void MemoBox::setText8(const std::string& value)
{
    syncFromWidget();
    if (value == shadow_)
        return;
    shadow_ = value;
    settingFromCode_ = true;
    setPlainText(toQt(toLf(value)));
    settingFromCode_ = false;
    emit changed();
}

void MemoBox::showAsAssembly()
{
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    setFont(fixed);
    setTabStopDistance(4 * QFontMetricsF(fixed).horizontalAdvance(QLatin1Char(' ')));
}

void MemoBox::append8(const std::string& text)
{
    if (text.empty())
        return;
    syncFromWidget();
    // A CR LF split across two appends would show as two breaks: redraw whole.
    if (!shadow_.empty() && shadow_.back() == '\r' && text.front() == '\n') {
        setText8(shadow_ + text);
        return;
    }
    shadow_ += text;
    settingFromCode_ = true;
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(toQt(toLf(text)));
    settingFromCode_ = false;
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    emit changed();
}

void MemoBox::mousePressEvent(QMouseEvent* e)
{
    QPlainTextEdit::mousePressEvent(e);
    emit clicked();
}

void MemoBox::mouseDoubleClickEvent(QMouseEvent* e)
{
    QPlainTextEdit::mouseDoubleClickEvent(e);
    emit doubleClicked();
}

void MemoBox::focusOutEvent(QFocusEvent* e)
{
    QPlainTextEdit::focusOutEvent(e);
    emit focusLost();
}

} // namespace common
