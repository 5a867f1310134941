#pragma once
// The report box. Reports can run to a million entries, so the box shows the
// report as a list of uniform rows, one per line, laid out only where seen,
// and keeps the 8-bit report text itself. Lines end at CR LF, a lone CR or a
// lone LF. Rows can be selected; Ctrl+C copies them.
#include <QListView>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace crimp {

class ReportBox : public QListView {
    Q_OBJECT
public:
    explicit ReportBox(const QString& name, QWidget* parent = nullptr);
    ~ReportBox() override;

    const std::string& text8() const { return text_; }
    void setText8(std::string text);
    void append8(std::string_view text);

    int rowCount() const { return static_cast<int>(starts_.size()); }
    std::string rowText(int row) const;
    std::string selectedText() const; // selected rows, LF between them

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    class Rows;
    void indexFrom(std::size_t start);
    void rowsChanged();

    std::string text_;
    std::vector<std::size_t> starts_; // first byte of each row; never empty
    Rows* rows_;
};

} // namespace crimp
