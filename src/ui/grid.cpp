#include "ui/grid.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

#include "ui/twips.h"

namespace valmora::ui {
namespace {

constexpr int kRowHeightTwips = 240;
constexpr int kColWidthTwips = 960;
const QColor kWhite(255, 255, 255);
constexpr int kMarkRole = Qt::UserRole + 1;  // a colour painted by the program

}  // namespace

Grid::Grid(QWidget* parent) : QTableWidget(2, 2, parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setDefaultSectionSize(Twips(kColWidthTwips));
    verticalHeader()->setDefaultSectionSize(Twips(kRowHeightTwips));
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    // Scrolling follows the current cell only where this class says so.
    setAutoScroll(false);
    setFocusPolicy(Qt::StrongFocus);
    StyleAll();
}

void Grid::SetRows(int rows) {
    setRowCount(std::max(rows, 0));
    row_ = std::clamp(row_, 0, std::max(rowCount() - 1, 0));
    StyleAll();
    updateGeometries();
}

void Grid::SetCols(int cols) {
    setColumnCount(std::max(cols, 0));
    col_ = std::clamp(col_, 0, std::max(columnCount() - 1, 0));
    StyleAll();
    updateGeometries();
}

void Grid::SetFixedRows(int rows) {
    fixedRows_ = rows;
    StyleAll();
    SyncCurrentIndex();
    updateGeometries();
}

void Grid::SetFixedCols(int cols) {
    fixedCols_ = cols;
    StyleAll();
    SyncCurrentIndex();
    updateGeometries();
}

void Grid::SetCurrent(int row, int col) {
    if (row < 0 || col < 0 || row >= rowCount() || col >= columnCount()) return;
    const int oldRow = row_;
    const int oldCol = col_;
    row_ = row;
    col_ = col;
    if (oldRow < rowCount() && oldCol < columnCount()) StyleCell(oldRow, oldCol);
    StyleCell(row_, col_);
    SyncCurrentIndex();
    ShowCurrent();
}

QString Grid::Text(int row, int col) const {
    const QTableWidgetItem* it = item(row, col);
    return it ? it->text() : QString();
}

void Grid::SetText(int row, int col, const QString& text) {
    if (QTableWidgetItem* it = Cell(row, col)) {
        it->setText(text);
        it->setTextAlignment(Qt::AlignCenter);
    }
}

void Grid::ClearText() {
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            if (QTableWidgetItem* it = item(r, c)) it->setText(QString());
}

void Grid::SetCellColor(int row, int col, const QColor& color) {
    if (QTableWidgetItem* it = Cell(row, col)) {
        // White is the cells' own colour: painting it removes a mark.
        it->setData(kMarkRole, color == kWhite ? QVariant() : QVariant(color));
        StyleCell(row, col);
    }
}

QColor Grid::CellColor(int row, int col) const {
    const QTableWidgetItem* it = item(row, col);
    QVariant mark = it ? it->data(kMarkRole) : QVariant();
    if (mark.isValid()) return mark.value<QColor>();
    return IsFixed(row, col) ? palette().color(QPalette::Button) : kWhite;
}

void Grid::SetColWidthTwips(int col, int twips) {
    if (col < 0 || col >= columnCount()) return;
    // A column scrolled out of view takes its new width when it comes back.
    if (isColumnHidden(col)) setColumnHidden(col, false);
    setColumnWidth(col, Twips(twips));
    updateGeometries();
}

void Grid::SetCurrentCellColor(const QColor& color) {
    currentColor_ = color;
    StyleCell(row_, col_);
}

QTableWidgetItem* Grid::Cell(int row, int col) {
    if (row < 0 || col < 0 || row >= rowCount() || col >= columnCount()) return nullptr;
    QTableWidgetItem* it = item(row, col);
    if (!it) {
        it = new QTableWidgetItem;
        it->setFlags(Qt::ItemIsEnabled);
        it->setTextAlignment(Qt::AlignCenter);
        setItem(row, col, it);
    }
    return it;
}

// Fixed cells in the button-face colour; the current cell in its own colour
// unless the program marked it.
void Grid::StyleCell(int row, int col) {
    QTableWidgetItem* it = Cell(row, col);
    if (!it) return;
    QColor back = CellColor(row, col);
    if (row == row_ && col == col_ && !IsFixed(row, col) && !it->data(kMarkRole).isValid() && currentColor_.isValid())
        back = currentColor_;
    it->setBackground(back);
    it->setForeground(qGray(back.rgb()) < 128 ? QColor(Qt::white) : QColor(Qt::black));
}

void Grid::StyleAll() {
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c) StyleCell(r, c);
}

void Grid::ShowCurrent() {
    if (row_ < rowCount() && col_ < columnCount()) scrollTo(model()->index(row_, col_));
}

void Grid::SyncCurrentIndex() {
    const QModelIndex index =
        row_ < rowCount() && col_ < columnCount() && !IsFixed(row_, col_) ? model()->index(row_, col_) : QModelIndex();
    if (selectionModel() && selectionModel()->currentIndex() != index)
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void Grid::MoveByUser(int row, int col) {
    SetCurrent(row, col);
    emit EnterCell();
}

void Grid::keyPressEvent(QKeyEvent* event) {
    int row = row_;
    int col = col_;
    switch (event->key()) {
        case Qt::Key_Up: --row; break;
        case Qt::Key_Down: ++row; break;
        case Qt::Key_Left: --col; break;
        case Qt::Key_Right: ++col; break;
        case Qt::Key_Home: col = fixedCols_; break;
        case Qt::Key_End: col = columnCount() - 1; break;
        case Qt::Key_PageUp: row = fixedRows_; break;
        case Qt::Key_PageDown: row = rowCount() - 1; break;
        case Qt::Key_Return:
        case Qt::Key_Enter: emit KeyPress(13); return;
        case Qt::Key_Backspace: emit KeyPress(8); return;
        default:
            if (!event->text().isEmpty()) emit KeyPress(event->text().at(0).unicode());
            else QTableWidget::keyPressEvent(event);
            return;
    }
    // Arrow keys move among the cells a user can reach.
    if (rowCount() <= fixedRows_ || columnCount() <= fixedCols_) return;
    row = std::clamp(row, fixedRows_, rowCount() - 1);
    col = std::clamp(col, fixedCols_, columnCount() - 1);
    if (row != row_ || col != col_) MoveByUser(row, col);
}

void Grid::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    pressed_ = event->button() == Qt::LeftButton;
    if (!pressed_) return;
    const QModelIndex index = indexAt(event->position().toPoint());
    pressedRow_ = index.row();
    pressedCol_ = index.column();
    if (index.isValid() && !IsFixed(pressedRow_, pressedCol_) && (pressedRow_ != row_ || pressedCol_ != col_))
        MoveByUser(pressedRow_, pressedCol_);
}

void Grid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) return;
    pressed_ = false;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.row() == pressedRow_ && index.column() == pressedCol_) emit Click(pressedRow_, pressedCol_);
}

void Grid::mouseMoveEvent(QMouseEvent*) {}

void Grid::focusInEvent(QFocusEvent* event) {
    QTableWidget::focusInEvent(event);
    const bool byTab = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    if (tabEntersFirstCell_ && byTab && IsFixed(row_, col_) && rowCount() > fixedRows_ && columnCount() > fixedCols_)
        SetCurrent(fixedRows_, fixedCols_);
    // The view marks its own current cell on focus; ours is the one to mark.
    SyncCurrentIndex();
}

// A cell too narrow for its text shows the start of it; the tool tip shows
// the whole text.
bool Grid::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QTableWidget::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString text = index.isValid() ? Text(index.row(), index.column()) : QString();
    const QRect rect = index.isValid() ? visualRect(index) : QRect();
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    if (!text.isEmpty() && fontMetrics().horizontalAdvance(text) + 2 * margin > rect.width() - 1)
        QToolTip::showText(help->globalPos(), text, viewport(), rect);
    else QToolTip::hideText();
    return true;
}

// ---- Scrolling with the fixed cells in place ------------------------------

void Grid::scrollToItem(const QTableWidgetItem* item, ScrollHint hint) {
    if (item) scrollTo(indexFromItem(item), hint);
}

void Grid::scrollTo(const QModelIndex& index, ScrollHint) {
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

void Grid::scrollContentsBy(int, int) {
    // The bars count scrollable columns and rows; the view itself never
    // shifts its contents, it hides what has scrolled past.
    if (applying_) return;
    leftCol_ = fixedCols_ + horizontalScrollBar()->value();
    topRow_ = fixedRows_ + verticalScrollBar()->value();
    updateGeometries();
    viewport()->update();
}

void Grid::updateGeometries() {
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

int Grid::ColWidth(int col) const {
    return isColumnHidden(col) ? hiddenWidths_.value(col, horizontalHeader()->defaultSectionSize()) : columnWidth(col);
}

int Grid::RowHeight(int row) const {
    return isRowHidden(row) ? verticalHeader()->defaultSectionSize() : rowHeight(row);
}

// The room the scrollable cells have; a cell's closing grid line may fall
// just outside the view.
int Grid::RoomAcross() const { return viewport()->width() - FixedWidth() + (showGrid() ? 1 : 0); }

int Grid::RoomDown() const { return viewport()->height() - FixedHeight() + (showGrid() ? 1 : 0); }

int Grid::FixedWidth() const {
    int width = 0;
    for (int c = 0; c < std::min(fixedCols_, columnCount()); ++c) width += ColWidth(c);
    return width;
}

int Grid::FixedHeight() const {
    int height = 0;
    for (int r = 0; r < std::min(fixedRows_, rowCount()); ++r) height += RowHeight(r);
    return height;
}

int Grid::LastLeftCol() const {
    if (columnCount() <= fixedCols_) return fixedCols_;
    const int room = RoomAcross();
    int left = columnCount() - 1;
    int used = ColWidth(left);
    while (left > fixedCols_ && used + ColWidth(left - 1) <= room) used += ColWidth(--left);
    return left;
}

int Grid::LastTopRow() const {
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

void Grid::ApplyScroll() {
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

void Grid::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

}  // namespace valmora::ui
