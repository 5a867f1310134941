#include "ReportBox.h"

#include "common/Text8Widgets.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QKeyEvent>

#include <algorithm>

namespace crimp {

class ReportBox::Rows : public QAbstractListModel {
public:
    Rows(const ReportBox& box, QObject* parent) : QAbstractListModel(parent), box_(box) {}

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : box_.rowCount();
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
            return {};
        QString shown = common::toQt(box_.rowText(index.row()));
        shown.replace(QLatin1Char('\t'), QLatin1String("    ")); // tabs do not draw in rows
        return shown;
    }

    void refresh()
    {
        beginResetModel();
        endResetModel();
    }

private:
    const ReportBox& box_;
};

ReportBox::ReportBox(const QString& name, QWidget* parent)
    : QListView(parent), starts_{0}, rows_(new Rows(*this, this))
{
    setObjectName(name);
    setModel(rows_);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

ReportBox::~ReportBox() = default;

void ReportBox::setText8(std::string text)
{
    text_ = std::move(text);
    starts_.clear();
    indexFrom(0);
    rowsChanged();
}

void ReportBox::append8(std::string_view text)
{
    if (text.empty())
        return;
    const std::size_t lastRow = starts_.back();
    text_ += text;
    starts_.pop_back();
    indexFrom(lastRow);
    rowsChanged();
    scrollToBottom();
}

void ReportBox::indexFrom(std::size_t start)
{
    // A CR that ended the old text and the LF that begins the new are one break.
    if (start > 0 && start < text_.size() && text_[start - 1] == '\r' && text_[start] == '\n')
        ++start;
    starts_.push_back(start);
    const std::size_t size = text_.size();
    for (std::size_t i = start; i < size; ++i) {
        const char c = text_[i];
        if (c == '\r') {
            if (i + 1 < size && text_[i + 1] == '\n')
                ++i;
            starts_.push_back(i + 1);
        } else if (c == '\n') {
            starts_.push_back(i + 1);
        }
    }
}

std::string ReportBox::rowText(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    const std::size_t begin = starts_[static_cast<std::size_t>(row)];
    std::size_t end = text_.size();
    if (static_cast<std::size_t>(row) + 1 < starts_.size()) {
        end = starts_[static_cast<std::size_t>(row) + 1] - 1;
        if (text_[end] == '\n' && end > begin && text_[end - 1] == '\r')
            --end;
    }
    return text_.substr(begin, end - begin);
}

std::string ReportBox::selectedText() const
{
    QModelIndexList chosen = selectionModel()->selectedRows();
    std::sort(chosen.begin(), chosen.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::string out;
    bool first = true;
    for (const QModelIndex& index : chosen) {
        if (!first)
            out += '\n';
        first = false;
        out += rowText(index.row());
    }
    return out;
}

void ReportBox::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(common::toQt(selectedText()));
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void ReportBox::rowsChanged()
{
    rows_->refresh();
}

} // namespace crimp
