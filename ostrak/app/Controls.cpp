#include "Controls.h"

#include "common/Failure.h"
#include "common/Text8Widgets.h"

#include <QLineEdit>

namespace ostrak {

ComboBox::ComboBox(const QString& name, QWidget* parent) : QComboBox(parent)
{
    setObjectName(name);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr); // typing "1" must stay "1", not complete to an item
    setMaxVisibleItems(16);
}

std::string ComboBox::text8() const
{
    return common::fromQt(currentText());
}

void ComboBox::setText8(const std::string& text)
{
    setEditText(common::toQt(text));
}

void ComboBox::addItems8(std::initializer_list<const char*> items)
{
    const QString keep = currentText();
    for (const char* item : items)
        addItem(QString::fromLatin1(item));
    setEditText(keep); // adding items must not replace what the field shows
}

void ComboBox::focusOutEvent(QFocusEvent* e)
{
    QComboBox::focusOutEvent(e);
    emit focusLost();
}

ListBox::ListBox(const QString& name, QWidget* parent) : QListWidget(parent)
{
    setObjectName(name);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (internal_ || row == selected_)
            return;
        selected_ = row;
        emit selectionChanged(row);
    });
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.row() == selectedAtPress_ && index.row() == selected_)
            emit selectionChanged(selected_);
    });
}

void ListBox::mousePressEvent(QMouseEvent* e)
{
    selectedAtPress_ = selected_;
    QListWidget::mousePressEvent(e);
}

void ListBox::select(int index)
{
    if (index < -1 || index >= count())
        throw common::Failure(common::kInvalidRowIndex, "invalid row index");
    if (index == selected_)
        return;
    internal_ = true;
    setCurrentRow(index);
    if (index < 0)
        clearSelection();
    internal_ = false;
    selected_ = index;
    emit selectionChanged(index);
}

void ListBox::addRow(const std::string& text)
{
    internal_ = true;
    addItem(common::toQt(text));
    internal_ = false;
}

std::string ListBox::rowText(int index) const
{
    const QListWidgetItem* it = item(index);
    return it ? common::fromQt(it->text()) : std::string();
}

void ListBox::removeSelected()
{
    if (selected_ < 0)
        throw common::Failure(common::kInvalidArgument, "no row selected");
    internal_ = true;
    delete takeItem(selected_);
    setCurrentRow(-1);
    clearSelection();
    internal_ = false;
    selected_ = -1;
}

} // namespace ostrak
