#pragma once
// Combo and list boxes with the behaviour the commands expect: an editable
// combo whose text is read as typed, and a list whose selection notification
// fires exactly when the selected index changes, whoever changes it.
#include <QComboBox>
#include <QListWidget>

#include <string>

namespace ostrak {

class ComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit ComboBox(const QString& name, QWidget* parent = nullptr);
    std::string text8() const;
    void setText8(const std::string& text);
    void addItems8(std::initializer_list<const char*> items);

signals:
    void focusLost();

protected:
    void focusOutEvent(QFocusEvent* e) override;
};

class ListBox : public QListWidget {
    Q_OBJECT
public:
    explicit ListBox(const QString& name, QWidget* parent = nullptr);
    int selectedIndex() const { return selected_; }
    // Selects row index (-1 clears); emits selectionChanged only on a change.
    // A user's click on the row already selected emits it too, so the click
    // still runs the row's behaviour.
    // An index past the rows throws common::Failure(380).
    void select(int index);
    void addRow(const std::string& text);
    std::string rowText(int index) const;
    // Removes the selected row and leaves no row selected, without notifying.
    // Throws common::Failure(5) when no row is selected.
    void removeSelected();

signals:
    void selectionChanged(int index);

protected:
    void mousePressEvent(QMouseEvent* e) override;

private:
    int selected_ = -1;
    int selectedAtPress_ = -1;
    bool internal_ = false;
};

} // namespace ostrak
