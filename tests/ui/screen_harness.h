// One program's worth of screens for a test: a workspace, dialogs answered by
// the test, and the screen manager with every screen registered.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QStringList>
#include <QTest>

#include "screens/common/screen_manager.h"
#include "recording_dialogs.h"
#include "core/simulation/random_payments.h"
#include "ui/grid.h"
#include "ui/screen.h"

class QLineEdit;
class QScrollBar;

namespace valmora::testing {

// Qt's own setup for screen tests: the Fusion style and the font fallbacks.
void PrepareApplication();

struct ScreenHarness {
    ScreenHarness();
    ~ScreenHarness();

    // Lets unloaded screens go and deferred checks run.
    void Settle();
    // True when the screen is loaded and visible.
    bool Visible(ScreenId id) const;
    // The screens now visible.
    std::vector<ScreenId> VisibleScreens() const;

    Workspace ws;
    RecordingDialogs dialogs;
    // Reproducible draws: a fixed seed and a frozen clock.
    FrozenClock clock;
    RandomPayments random{1, clock};
    ScreenManager screens;
};

// The widget that has the focus inside `window`.
QWidget* FocusIn(QWidget* window);

// Clicks a button, option or check box as a user would.
void Click(QWidget* widget);

// Replaces a text box's text by typing over its selected text (Backspace
// for an empty one).
void Retype(QLineEdit* edit, const QString& text);

// The texts of one row or one column of a grid.
QStringList GridRow(const ui::Grid* grid, int row);
QStringList GridColumn(const ui::Grid* grid, int col);

// True when the whole cell shows inside the grid's view (not scrolled away,
// not cut by its edge).
bool CellShows(const ui::Grid* grid, int row, int col);
// The colour the cell is drawn in.
QColor CellBackground(const ui::Grid* grid, int row, int col);
// What a tool tip shows when the mouse rests on the cell; "" for none.
QString CellToolTip(ui::Grid* grid, int row, int col);
// Scrolls with the bar as a user would, clicking its far arrow until it
// reaches its end.
void ScrollToEnd(QScrollBar* bar);

}  // namespace valmora::testing
