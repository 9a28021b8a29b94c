#include "ui/frozen_header_table.h"

#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

namespace valmora::ui {

FrozenHeaderTable::FrozenHeaderTable(int rows, int cols, QWidget* parent) : QTableWidget(rows, cols, parent) {}

void FrozenHeaderTable::scrollToItem(const QTableWidgetItem* item, ScrollHint hint) {
    if (item) scrollTo(indexFromItem(item), hint);
}

void FrozenHeaderTable::scrollTo(const QModelIndex& index, ScrollHint) {
    if (!index.isValid()) return;
    const int row = index.row();
    const int col = index.column();
    if (col < fixedCols_) {
        leftCol_ = fixedCols_;
    } else if (col < leftCol_) {
        leftCol_ = col;
    } else {
        // The first column from which `col` still shows whole.
        const int room = RoomAcross();
        int left = col;
        int used = ColWidth(col);
        while (left > leftCol_ && used + ColWidth(left - 1) <= room) used += ColWidth(--left);
        leftCol_ = left;
    }
    if (row < fixedRows_) {
        topRow_ = fixedRows_;
    } else if (row < topRow_) {
        topRow_ = row;
    } else {
        const int room = RoomDown();
        int top = row;
        int used = RowHeight(row);
        while (top > topRow_ && used + RowHeight(top - 1) <= room) used += RowHeight(--top);
        topRow_ = top;
    }
    updateGeometries();
}

void FrozenHeaderTable::scrollContentsBy(int, int) {
    // The bars count scrollable columns and rows; the view itself never
    // shifts its contents, it hides what has scrolled past.
    if (applying_) return;
    leftCol_ = fixedCols_ + horizontalScrollBar()->value();
    topRow_ = fixedRows_ + verticalScrollBar()->value();
    updateGeometries();
    viewport()->update();
}

void FrozenHeaderTable::updateGeometries() {
    if (applying_) {
        geometryChanged_ = true;
        return;
    }
    // Hiding columns or showing a bar resizes the view; a few passes settle it.
    for (int pass = 0; pass < 3; ++pass) {
        geometryChanged_ = false;
        applying_ = true;
        QTableWidget::updateGeometries();
        ApplyScroll();
        applying_ = false;
        if (!geometryChanged_) break;
    }
}

int FrozenHeaderTable::ColWidth(int col) const {
    return isColumnHidden(col) ? hiddenWidths_.value(col, horizontalHeader()->defaultSectionSize()) : columnWidth(col);
}

int FrozenHeaderTable::RowHeight(int row) const {
    return isRowHidden(row) ? verticalHeader()->defaultSectionSize() : rowHeight(row);
}

// The room the scrollable cells have; a cell's closing grid line may fall
// just outside the view.
int FrozenHeaderTable::RoomAcross() const { return viewport()->width() - FixedWidth() + (showGrid() ? 1 : 0); }

int FrozenHeaderTable::RoomDown() const { return viewport()->height() - FixedHeight() + (showGrid() ? 1 : 0); }

int FrozenHeaderTable::FixedWidth() const {
    int width = 0;
    for (int c = 0; c < std::min(fixedCols_, columnCount()); ++c) width += ColWidth(c);
    return width;
}

int FrozenHeaderTable::FixedHeight() const {
    int height = 0;
    for (int r = 0; r < std::min(fixedRows_, rowCount()); ++r) height += RowHeight(r);
    return height;
}

int FrozenHeaderTable::LastLeftCol() const {
    if (columnCount() <= fixedCols_) return fixedCols_;
    const int room = RoomAcross();
    int left = columnCount() - 1;
    int used = ColWidth(left);
    while (left > fixedCols_ && used + ColWidth(left - 1) <= room) used += ColWidth(--left);
    return left;
}

int FrozenHeaderTable::LastTopRow() const {
    if (rowCount() <= fixedRows_) return fixedRows_;
    const int room = RoomDown();
    int top = rowCount() - 1;
    int used = RowHeight(top);
    while (top > fixedRows_ && used + RowHeight(top - 1) <= room) used += RowHeight(--top);
    return top;
}

namespace {

// How many of `sizes` from the first fit into `room`; at least one.
template <typename Size>
int CountFitting(int first, int count, int room, Size size) {
    int fitting = 0;
    for (int i = first, used = 0; i < count; ++i) {
        used += size(i);
        if (used > room) break;
        ++fitting;
    }
    return std::max(fitting, 1);
}

}  // namespace

void FrozenHeaderTable::ApplyScroll() {
    const int lastLeft = LastLeftCol();
    const int lastTop = LastTopRow();
    leftCol_ = std::clamp(leftCol_, fixedCols_, lastLeft);
    topRow_ = std::clamp(topRow_, fixedRows_, lastTop);
    for (int c = 0; c < columnCount(); ++c) {
        const bool hide = c >= fixedCols_ && c < leftCol_;
        if (hide == isColumnHidden(c)) continue;
        if (hide) hiddenWidths_[c] = columnWidth(c);
        setColumnHidden(c, hide);
    }
    for (int r = 0; r < rowCount(); ++r) {
        const bool hide = r >= fixedRows_ && r < topRow_;
        if (hide != isRowHidden(r)) setRowHidden(r, hide);
    }
    horizontalHeader()->setOffset(0);
    verticalHeader()->setOffset(0);

    QScrollBar* across = horizontalScrollBar();
    across->setRange(0, lastLeft - fixedCols_);
    across->setPageStep(CountFitting(leftCol_, columnCount(), RoomAcross(), [this](int c) { return ColWidth(c); }));
    across->setSingleStep(1);
    across->setValue(leftCol_ - fixedCols_);
    QScrollBar* down = verticalScrollBar();
    down->setRange(0, lastTop - fixedRows_);
    down->setPageStep(CountFitting(topRow_, rowCount(), RoomDown(), [this](int r) { return RowHeight(r); }));
    down->setSingleStep(1);
    down->setValue(topRow_ - fixedRows_);
}

}  // namespace valmora::ui
