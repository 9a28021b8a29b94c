// A table whose first rows and columns (the fixed ones) stay in place while
// the other cells scroll, as headings should: scrolling hides the scrollable
// rows above `TopRow` and the scrollable columns left of `LeftCol`, so every
// cell keeps its own row and column in the model. The scroll bars count
// scrollable rows and columns.
#pragma once

#include <QHash>
#include <QTableWidget>

namespace valmora::ui {

class FrozenHeaderTable : public QTableWidget {
    Q_OBJECT
public:
    FrozenHeaderTable(int rows, int cols, QWidget* parent);

    bool IsFixed(int row, int col) const { return row < fixedRows_ || col < fixedCols_; }

    // The first scrollable row and column shown after the fixed ones.
    int TopRow() const { return topRow_; }
    int LeftCol() const { return leftCol_; }

    // Scrolls so that the cell shows; hides QTableWidget's own, which would
    // not know about the fixed cells.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void scrollToItem(const QTableWidgetItem* item, ScrollHint hint = EnsureVisible);

protected:
    int FixedRows() const { return fixedRows_; }
    int FixedCols() const { return fixedCols_; }
    // Only store the counts: the caller lays the table out again.
    void SetFixedRowCount(int rows) { fixedRows_ = rows; }
    void SetFixedColCount(int cols) { fixedCols_ = cols; }

    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;

private:
    // Sizes that count hidden cells too, the last first-row and first-column
    // that still fill the view, and `ApplyScroll`, which hides what has
    // scrolled past and sets the bars.
    int ColWidth(int col) const;
    int RowHeight(int row) const;
    int FixedWidth() const;
    int FixedHeight() const;
    int RoomAcross() const;
    int RoomDown() const;
    int LastLeftCol() const;
    int LastTopRow() const;
    void ApplyScroll();

    int fixedRows_ = 1;
    int fixedCols_ = 1;
    int topRow_ = 1;
    int leftCol_ = 1;
    bool applying_ = false;
    bool geometryChanged_ = false;
    QHash<int, int> hiddenWidths_;  // the widths of columns scrolled out of view
};

}  // namespace valmora::ui
