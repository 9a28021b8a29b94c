// A grid of text cells with fixed (heading) rows and columns, a current
// cell, and the events the screens rely on: moving the current cell from code
// raises nothing, a move by the user raises EnterCell, a mouse click raises
// Click, and typed characters reach KeyPress instead of an editor.
//
// The fixed rows and columns stay in place while the other cells scroll, as
// headings should: scrolling hides the scrollable rows above `TopRow` and the
// scrollable columns left of `LeftCol`, so every cell keeps its own row and
// column in the model and a cell too narrow for its text shows the text's
// start, and the whole text as a tool tip.
#pragma once

#include <QColor>
#include <QHash>
#include <QTableWidget>

namespace valmora::ui {

class Grid : public QTableWidget {
    Q_OBJECT
public:
    explicit Grid(QWidget* parent = nullptr);

    void SetRows(int rows);
    void SetCols(int cols);
    int Rows() const { return rowCount(); }
    int Cols() const { return columnCount(); }
    void SetFixedRows(int rows);
    void SetFixedCols(int cols);
    bool IsFixed(int row, int col) const { return row < fixedRows_ || col < fixedCols_; }

    // The current cell. Setting it from code raises no EnterCell; it scrolls
    // the cell into view (a fixed cell brings back the first rows or columns).
    int Row() const { return row_; }
    int Col() const { return col_; }
    void SetCurrent(int row, int col);

    // The first scrollable row and column shown after the fixed ones.
    int TopRow() const { return topRow_; }
    int LeftCol() const { return leftCol_; }

    QString Text(int row, int col) const;
    void SetText(int row, int col, const QString& text);  // centred
    // Erases the text of every cell, headings included; the sizes stay.
    void ClearText();

    void SetCellColor(int row, int col, const QColor& color);
    QColor CellColor(int row, int col) const;
    void SetColWidthTwips(int col, int twips);
    // The colour the current cell is drawn in.
    void SetCurrentCellColor(const QColor& color);

    // When the grid gets the focus by Tab while its current cell is a fixed
    // one, the first scrollable cell becomes current (a move by the program:
    // no EnterCell), so that what is typed next lands in a cell one can see.
    void SetTabEntersFirstCell(bool on) { tabEntersFirstCell_ = on; }

    // Scrolls so that the cell shows; hides QTableWidget's own, which would
    // not know about the fixed cells.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void scrollToItem(const QTableWidgetItem* item, ScrollHint hint = EnsureVisible);

signals:
    void EnterCell();
    void Click(int row, int col);  // -1, -1 for a click beside the cells
    void KeyPress(int code);       // 13 Enter, 8 Backspace, otherwise the character

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;

private:
    QTableWidgetItem* Cell(int row, int col);
    void StyleCell(int row, int col);
    void StyleAll();
    void ShowCurrent();
    void MoveByUser(int row, int col);
    // Marks the current cell for the view's own focus frame, or nothing
    // while the current cell is a fixed one.
    void SyncCurrentIndex();

    // Scrolling: sizes that count hidden cells too, the last first-row and
    // first-column that still fill the view, and `ApplyScroll`, which hides
    // what has scrolled past and sets the bars (they count scrollable rows
    // and columns).
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
    int row_ = 0;
    int col_ = 0;
    int topRow_ = 1;
    int leftCol_ = 1;
    bool applying_ = false;
    bool geometryChanged_ = false;
    QHash<int, int> hiddenWidths_;  // the widths of columns scrolled out of view
    bool tabEntersFirstCell_ = false;
    QColor currentColor_;
    bool pressed_ = false;
    int pressedRow_ = -1;
    int pressedCol_ = -1;
};

}  // namespace valmora::ui
