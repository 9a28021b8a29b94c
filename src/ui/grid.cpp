#include "ui/grid.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
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

Grid::Grid(QWidget* parent) : FrozenHeaderTable(2, 2, parent) {
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
    SetFixedRowCount(rows);
    StyleAll();
    SyncCurrentIndex();
    updateGeometries();
}

void Grid::SetFixedCols(int cols) {
    SetFixedColCount(cols);
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

void Grid::FitColumnToText(int col) {
    if (col < 0 || col >= columnCount()) return;
    // A cell's text needs its width and the cell's margins, both sides.
    constexpr int kCellMargins = 8;
    int widest = 0;
    for (int r = 0; r < rowCount(); ++r)
        widest = std::max(widest, fontMetrics().horizontalAdvance(Text(r, col)) + kCellMargins);
    const QSize viewport = maximumViewportSize();
    int rowsHeight = 0;
    for (int r = 0; r < rowCount(); ++r) rowsHeight += rowHeight(r);
    int room = viewport.width();
    if (rowsHeight > viewport.height()) room -= style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    for (int c = 0; c < columnCount(); ++c)
        if (c != col && !isColumnHidden(c)) room -= columnWidth(c);
    setColumnWidth(col, std::max(widest, room));
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
        case Qt::Key_Home: col = FixedCols(); break;
        case Qt::Key_End: col = columnCount() - 1; break;
        case Qt::Key_PageUp: row = FixedRows(); break;
        case Qt::Key_PageDown: row = rowCount() - 1; break;
        case Qt::Key_Return:
        case Qt::Key_Enter: emit KeyPress(13); return;
        case Qt::Key_Backspace: emit KeyPress(8); return;
        case Qt::Key_Escape: emit KeyPress(27); return;
        case Qt::Key_Delete: emit KeyPress(127); return;
        case Qt::Key_F2: emit EditCell(); return;
        default:
            if (!event->text().isEmpty()) emit KeyPress(event->text().at(0).unicode());
            else QTableWidget::keyPressEvent(event);
            return;
    }
    // Arrow keys move among the cells a user can reach.
    if (rowCount() <= FixedRows() || columnCount() <= FixedCols()) return;
    row = std::clamp(row, FixedRows(), rowCount() - 1);
    col = std::clamp(col, FixedCols(), columnCount() - 1);
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
    if (tabEntersFirstCell_ && byTab && IsFixed(row_, col_) && rowCount() > FixedRows() && columnCount() > FixedCols())
        SetCurrent(FixedRows(), FixedCols());
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

void Grid::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid() && !IsFixed(index.row(), index.column())) emit EditCell();
}

}  // namespace valmora::ui
