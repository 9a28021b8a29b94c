// A grid of text cells with fixed (heading) rows and columns, a current
// cell, and the events the screens rely on: moving the current cell from code
// raises nothing, a move by the user raises EnterCell, a mouse click raises
// Click, and typed characters reach KeyPress instead of an editor.
//
// The fixed rows and columns stay in place while the other cells scroll
// (FrozenHeaderTable). A cell too narrow for its text shows the text's start,
// and the whole text as a tool tip.
#pragma once

#include <QColor>

#include "ui/frozen_header_table.h"

namespace valmora::ui {

class Grid : public FrozenHeaderTable {
    Q_OBJECT
public:
    explicit Grid(QWidget* parent = nullptr);

    void SetRows(int rows);
    void SetCols(int cols);
    int Rows() const { return rowCount(); }
    int Cols() const { return columnCount(); }
    void SetFixedRows(int rows);
    void SetFixedCols(int cols);
    // IsFixed, TopRow and LeftCol, and scrolling a cell into view: see
    // FrozenHeaderTable.

    // The current cell. Setting it from code raises no EnterCell; it scrolls
    // the cell into view (a fixed cell brings back the first rows or columns).
    int Row() const { return row_; }
    int Col() const { return col_; }
    void SetCurrent(int row, int col);

    QString Text(int row, int col) const;
    void SetText(int row, int col, const QString& text);  // centred
    // Erases the text of every cell, headings included; the sizes stay.
    void ClearText();

    void SetCellColor(int row, int col, const QColor& color);
    QColor CellColor(int row, int col) const;
    void SetColWidthTwips(int col, int twips);
    // Widens column `col` to the room left beside the other columns and the
    // vertical scroll bar, and further to its widest text (the grid then
    // scrolls sideways): no text of it is cut off.
    void FitColumnToText(int col);
    // The colour the current cell is drawn in.
    void SetCurrentCellColor(const QColor& color);

    // When the grid gets the focus by Tab while its current cell is a fixed
    // one, the first scrollable cell becomes current (a move by the program:
    // no EnterCell), so that what is typed next lands in a cell one can see.
    void SetTabEntersFirstCell(bool on) { tabEntersFirstCell_ = on; }

signals:
    void EnterCell();
    void Click(int row, int col);  // -1, -1 for a click beside the cells
    void KeyPress(int code);       // 13 Enter, 8 Backspace, 27 Esc, 127 Delete, otherwise the character
    // F2, or a double click on a scrollable cell: the user asks to edit the
    // current cell's text in place.
    void EditCell();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    QTableWidgetItem* Cell(int row, int col);
    void StyleCell(int row, int col);
    void StyleAll();
    void ShowCurrent();
    void MoveByUser(int row, int col);
    // Marks the current cell for the view's own focus frame, or nothing
    // while the current cell is a fixed one.
    void SyncCurrentIndex();

    int row_ = 0;
    int col_ = 0;
    bool tabEntersFirstCell_ = false;
    QColor currentColor_;
    bool pressed_ = false;
    int pressedRow_ = -1;
    int pressedCol_ = -1;
};

}  // namespace valmora::ui
