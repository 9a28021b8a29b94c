// A grid of text cells with fixed (heading) rows and columns, a current
// cell, and the events the screens rely on: moving the current cell from code
// raises nothing, a move by the user raises EnterCell, a mouse click raises
// Click, and typed characters reach KeyPress instead of an editor.
//
// The fixed rows and columns stay in place while the other cells scroll
// (FrozenHeaderTable). A cell too narrow for its text shows the text's start,
// and the whole text as a tool tip.
//
// Cells take their colours from the palette: the scrollable ones Base and
// Text, the fixed ones Button and ButtonText; a colour the program paints (a
// mark, the current cell's) comes with a text colour that reads on it. For
// assistive technology the texts of the fixed rows are the columns'
// headings and those of the fixed columns the rows' (see SetRowHeadings).
#pragma once

#include <QColor>
#include <QHash>
#include <QStringList>

#include "ui/frozen_header_table.h"

namespace valmora::ui {

class CurrentCellFrame;

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
    QString Shown(int row, int col) const;                // as on screen: the locale's decimal separator
    void SetText(int row, int col, const QString& text);  // centred
    // Erases the text of every cell, headings included; the sizes stay.
    void ClearText();

    void SetCellColor(int row, int col, const QColor& color);
    QColor CellColor(int row, int col) const;
    // At least `twips` wide, and as wide as the column's widest text, now
    // and as texts are written into it.
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

    // A grid the user picks a row from, as the IRR grid's rates are picked:
    // - the colour of the current cell (SetCurrentCellColor) marks the
    //   picked cell, and only it; a grid starts with nothing picked;
    // - a click on a cell, or Enter or Space, picks the current cell once the
    //   Click or KeyPress it raises has run, when the current cell is then a
    //   scrollable one (of the clicked row, for a click);
    // - arrow keys move the current cell without picking, and the picked
    //   cell keeps its colour; the current cell shows a frame meanwhile;
    // - moving the current cell from code elsewhere than the picked cell
    //   leaves nothing picked;
    // - when the grid gets the focus other than by the mouse while its
    //   current cell is a fixed one, the first scrollable cell becomes
    //   current (no EnterCell), unpicked, so that Enter picks it at once.
    void SetPicking(bool on);
    bool IsPicked(int row, int col) const { return row == pickedRow_ && col == pickedCol_; }

    // The names assistive technology reads for rows 0, 1, ...: a heading of
    // the whole row where the fixed column holds values (the payment grid's
    // investment). Rows beyond the list, and empty names, take the fixed
    // columns' texts.
    void SetRowHeadings(const QStringList& headings);

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
    void focusOutEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class CurrentCellFrame;
    // True for the current cell of a grid the user picks from, unpicked,
    // while the grid has the focus.
    bool FramesCell(int row, int col) const;
    QTableWidgetItem* Cell(int row, int col);
    void StyleCell(int row, int col);
    void StyleAll();
    void ShowCurrent();
    void MoveByUser(int row, int col);
    // Moves the current cell; `SetCurrent` and `MoveByUser` differ in what
    // they do to a pick.
    void MoveCurrent(int row, int col);
    void Pick();
    void ForgetPick();
    bool ShowsCurrentColor(int row, int col) const;
    // The headings assistive technology reads, from the fixed cells' texts.
    void UpdateColHeading(int col);
    void UpdateRowHeading(int row);
    void UpdateHeadings();
    // Widens a column whose width the program set to its widest text.
    void FitAskedWidth(int col);
    // Marks the current cell for the view's own focus frame, or nothing
    // while the current cell is a fixed one.
    void SyncCurrentIndex();

    int row_ = 0;
    int col_ = 0;
    bool tabEntersFirstCell_ = false;
    bool picking_ = false;
    int pickedRow_ = -1;
    int pickedCol_ = -1;
    QColor currentColor_;
    QStringList rowHeadings_;
    QHash<int, int> askedWidths_;  // in pixels, by column
    bool pressed_ = false;
    int pressedRow_ = -1;
    int pressedCol_ = -1;
};

}  // namespace valmora::ui
