#pragma once
// Text boxes that hold 8-bit text exactly. Commands work on std::string with
// CR LF line ends; the widgets show the same text through Latin-1 with LF.
// The last text set from code is kept as is, so a text read back unchanged by
// the user is byte for byte what was set (lone CRs and LFs included).
#include <QLineEdit>
#include <QPlainTextEdit>

#include <cstdint>
#include <string>

namespace common {

QString toQt(const std::string& bytes);    // Latin-1, every byte survives
std::string fromQt(const QString& text);   // Latin-1; characters above 255 become '?'
QColor colorFromBgr(std::uint32_t bbggrr); // colours are written 0x00BBGGRR

// Single-line text box.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(const QString& name, QWidget* parent = nullptr);
    std::string text8() const;
    // Sets the text; emits changed() only when the text differs.
    void setText8(const std::string& text);
    void setBackColor(std::uint32_t bbggrr);
    std::uint32_t backColor() const { return backColor_; }

signals:
    void changed();
    void clicked();
    void doubleClicked();
    void focusLost();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    std::string shadow_;
    bool userEdited_ = false;
    std::uint32_t backColor_ = 0xFFFFFF;
};

// Multi-line text box with a vertical scroll bar.
class MemoBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MemoBox(const QString& name, QWidget* parent = nullptr);
    std::string text8() const;
    void setText8(const std::string& text);
    void append8(const std::string& text);
    // Assembly text: a fixed-pitch font with tab stops four characters apart.
    void showAsAssembly();

signals:
    void changed();
    void clicked();
    void doubleClicked();
    void focusLost();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void syncFromWidget() const;
    mutable std::string shadow_;
    mutable bool userEdited_ = false;
    bool settingFromCode_ = false;
};

} // namespace common
