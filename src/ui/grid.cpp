#include "ui/grid.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>

#include "ui/contrast.h"
#include "ui/decimal_separator.h"
#include "ui/twips.h"

namespace valmora::ui {
namespace {

constexpr int kRowHeightTwips = 240;
constexpr int kColWidthTwips = 960;
const QColor kWhite(255, 255, 255);
constexpr int kMarkRole = Qt::UserRole + 1;  // a colour painted by the program
// A cell's text needs its width and the cell's margins, both sides.
constexpr int kCellMargins = 8;

// A cell read aloud as it is shown: a number with the locale's decimal
// separator (the text keeps the point the program reads).
class GridCell : public QTableWidgetItem {
public:
    QVariant data(int role) const override {
        if (role == Qt::AccessibleTextRole) return InLocale(text());
        return QTableWidgetItem::data(role);
    }
};

}  // namespace

// Draws the current cell of a grid the user picks from with a frame, while
// the grid has the focus and the cell is not picked: the keyboard's place,
// not a choice.
class CurrentCellFrame : public QStyledItemDelegate {
public:
    explicit CurrentCellFrame(Grid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (!grid_->FramesCell(index.row(), index.column())) return;
        painter->save();
        QPen pen(grid_->palette().color(QPalette::Active, QPalette::Highlight), 2);
        pen.setJoinStyle(Qt::MiterJoin);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(option.rect).adjusted(1, 1, -1, -1));
        painter->restore();
    }

    // Numbers with the locale's decimal separator; the cells keep the point.
    QString displayText(const QVariant& value, const QLocale& locale) const override {
        return InLocale(QStyledItemDelegate::displayText(value, locale));
    }

private:
    Grid* grid_;
};

Grid::Grid(QWidget* parent) : FrozenHeaderTable(2, 2, parent) {
    setItemDelegate(new CurrentCellFrame(this));
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
    if (pickedRow_ >= rowCount()) pickedRow_ = pickedCol_ = -1;
    StyleAll();
    UpdateHeadings();
    updateGeometries();
}

void Grid::SetCols(int cols) {
    setColumnCount(std::max(cols, 0));
    col_ = std::clamp(col_, 0, std::max(columnCount() - 1, 0));
    if (pickedCol_ >= columnCount()) pickedRow_ = pickedCol_ = -1;
    StyleAll();
    UpdateHeadings();
    updateGeometries();
}

void Grid::SetFixedRows(int rows) {
    SetFixedRowCount(rows);
    StyleAll();
    UpdateHeadings();
    SyncCurrentIndex();
    updateGeometries();
}

void Grid::SetFixedCols(int cols) {
    SetFixedColCount(cols);
    StyleAll();
    UpdateHeadings();
    SyncCurrentIndex();
    updateGeometries();
}

void Grid::SetCurrent(int row, int col) {
    if (row < 0 || col < 0 || row >= rowCount() || col >= columnCount()) return;
    if (!IsPicked(row, col)) ForgetPick();
    MoveCurrent(row, col);
}

void Grid::MoveCurrent(int row, int col) {
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

QString Grid::Shown(int row, int col) const { return InLocale(Text(row, col)); }

void Grid::SetText(int row, int col, const QString& text) {
    if (QTableWidgetItem* it = Cell(row, col)) {
        it->setText(text);
        it->setTextAlignment(Qt::AlignCenter);
        if (row < FixedRows()) UpdateColHeading(col);
        if (col < FixedCols()) UpdateRowHeading(row);
        if (askedWidths_.contains(col) && !isColumnHidden(col) &&
            fontMetrics().horizontalAdvance(text) + kCellMargins > columnWidth(col))
            FitAskedWidth(col);
    }
}

void Grid::ClearText() {
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            if (QTableWidgetItem* it = item(r, c)) it->setText(QString());
    UpdateHeadings();
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
    // The cells keep their colours while the grid is disabled.
    return palette().color(QPalette::Active, IsFixed(row, col) ? QPalette::Button : QPalette::Base);
}

void Grid::SetColWidthTwips(int col, int twips) {
    if (col < 0 || col >= columnCount()) return;
    // A column scrolled out of view takes its new width when it comes back.
    if (isColumnHidden(col)) setColumnHidden(col, false);
    askedWidths_[col] = Twips(twips);
    setColumnWidth(col, Twips(twips));
    FitAskedWidth(col);
    updateGeometries();
}

void Grid::FitAskedWidth(int col) {
    if (!askedWidths_.contains(col) || col >= columnCount() || isColumnHidden(col)) return;
    int widest = askedWidths_.value(col);
    for (int r = 0; r < rowCount(); ++r)
        widest = std::max(widest, fontMetrics().horizontalAdvance(Text(r, col)) + kCellMargins);
    if (widest <= columnWidth(col)) return;
    setColumnWidth(col, widest);
    updateGeometries();
}

void Grid::FitColumnToText(int col) {
    if (col < 0 || col >= columnCount()) return;
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
        it = new GridCell;
        it->setFlags(Qt::ItemIsEnabled);
        it->setTextAlignment(Qt::AlignCenter);
        setItem(row, col, it);
    }
    return it;
}

// Fixed cells in the button-face colour, the others in the base colour; the
// current cell (the picked one, when the user picks) in its own colour
// unless the program marked it. The text in the palette's colour where it
// reads, black or white where it does not.
void Grid::StyleCell(int row, int col) {
    QTableWidgetItem* it = Cell(row, col);
    if (!it) return;
    const bool fixed = IsFixed(row, col);
    QColor back = CellColor(row, col);
    if (ShowsCurrentColor(row, col) && !fixed && !it->data(kMarkRole).isValid() && currentColor_.isValid())
        back = currentColor_;
    it->setBackground(back);
    it->setForeground(
        ReadableText(back, palette().color(QPalette::Active, fixed ? QPalette::ButtonText : QPalette::Text)));
}

bool Grid::ShowsCurrentColor(int row, int col) const {
    return picking_ ? IsPicked(row, col) : row == row_ && col == col_;
}

bool Grid::FramesCell(int row, int col) const {
    return picking_ && hasFocus() && row == row_ && col == col_ && !IsFixed(row, col) && !IsPicked(row, col);
}

void Grid::SetPicking(bool on) {
    picking_ = on;
    if (!on) pickedRow_ = pickedCol_ = -1;
    StyleAll();
}

void Grid::Pick() {
    if (!picking_ || IsFixed(row_, col_) || IsPicked(row_, col_)) return;
    ForgetPick();
    pickedRow_ = row_;
    pickedCol_ = col_;
    StyleCell(row_, col_);
    viewport()->update();
}

void Grid::ForgetPick() {
    if (pickedRow_ < 0) return;
    const int row = pickedRow_;
    const int col = pickedCol_;
    pickedRow_ = pickedCol_ = -1;
    StyleCell(row, col);
    viewport()->update();
}

void Grid::SetRowHeadings(const QStringList& headings) {
    rowHeadings_ = headings;
    UpdateHeadings();
}

void Grid::UpdateColHeading(int col) {
    if (col < 0 || col >= columnCount()) return;
    QStringList parts;
    for (int r = 0; r < std::min(FixedRows(), rowCount()); ++r)
        if (const QString text = Shown(r, col).trimmed(); !text.isEmpty()) parts << text;
    const QString heading = parts.join(' ');
    if (QTableWidgetItem* it = horizontalHeaderItem(col)) {
        if (it->text() != heading) it->setText(heading);
    } else {
        setHorizontalHeaderItem(col, new QTableWidgetItem(heading));
    }
}

void Grid::UpdateRowHeading(int row) {
    if (row < 0 || row >= rowCount()) return;
    QString heading = row < rowHeadings_.size() ? rowHeadings_.at(row) : QString();
    if (heading.isEmpty()) {
        QStringList parts;
        for (int c = 0; c < std::min(FixedCols(), columnCount()); ++c)
            if (const QString text = Shown(row, c).trimmed(); !text.isEmpty()) parts << text;
        heading = parts.join(' ');
    }
    if (QTableWidgetItem* it = verticalHeaderItem(row)) {
        if (it->text() != heading) it->setText(heading);
    } else {
        setVerticalHeaderItem(row, new QTableWidgetItem(heading));
    }
}

void Grid::UpdateHeadings() {
    for (int c = 0; c < columnCount(); ++c) UpdateColHeading(c);
    for (int r = 0; r < rowCount(); ++r) UpdateRowHeading(r);
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
    MoveCurrent(row, col);
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
        case Qt::Key_Enter:
            emit KeyPress(13);
            Pick();
            return;
        case Qt::Key_Backspace: emit KeyPress(8); return;
        case Qt::Key_Escape: emit KeyPress(27); return;
        case Qt::Key_Delete: emit KeyPress(127); return;
        case Qt::Key_F2: emit EditCell(); return;
        default:
            if (event->text().isEmpty()) {
                QTableWidget::keyPressEvent(event);
            } else {
                const int code = event->text().at(0).unicode();
                emit KeyPress(code);
                if (code == ' ') Pick();
            }
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
    if (index.row() != pressedRow_ || index.column() != pressedCol_) return;
    const QPointer<Grid> alive(this);
    emit Click(pressedRow_, pressedCol_);
    if (alive && index.isValid() && row_ == index.row()) Pick();
}

void Grid::mouseMoveEvent(QMouseEvent*) {}

void Grid::focusInEvent(QFocusEvent* event) {
    QTableWidget::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    const bool byTab = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
    // A grid the user picks from is entered so by the keyboard and by the
    // program alike: Enter picks at once.
    const bool entered = picking_ ? reason != Qt::MouseFocusReason : tabEntersFirstCell_ && byTab;
    if (entered && IsFixed(row_, col_) && rowCount() > FixedRows() && columnCount() > FixedCols())
        SetCurrent(FixedRows(), FixedCols());
    // The view marks its own current cell on focus; ours is the one to mark.
    SyncCurrentIndex();
    viewport()->update();
}

void Grid::focusOutEvent(QFocusEvent* event) {
    QTableWidget::focusOutEvent(event);
    viewport()->update();
}

// A new palette (a dark theme, a light one) or font restyles the cells.
void Grid::changeEvent(QEvent* event) {
    QTableWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) StyleAll();
    if (event->type() == QEvent::FontChange)
        for (auto it = askedWidths_.cbegin(); it != askedWidths_.cend(); ++it) FitAskedWidth(it.key());
}

// A cell too narrow for its text shows the start of it; the tool tip shows
// the whole text.
bool Grid::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QTableWidget::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString text = index.isValid() ? Shown(index.row(), index.column()) : QString();
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
