#include "screen_harness.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QApplication>
#include <QHelpEvent>
#include <QScrollBar>
#include <QToolTip>
#include <QStyleFactory>

#include "app/register_screens.h"
#include "ui/fonts.h"

namespace valmora::testing {

namespace {

// The offscreen platform cannot raise windows; its notice about that is noise.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains("does not support raise()")) return;
    qt_message_output(type, context, message);
}

}  // namespace

void PrepareApplication() {
    qInstallMessageHandler(QuietHandler);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setQuitOnLastWindowClosed(false);
    ui::InstallFontSubstitutes();
}

ScreenHarness::ScreenHarness() : screens(ws, dialogs) {
    PrepareApplication();
    RegisterScreens(screens);
    screens.SetRandom(random);
}

ScreenHarness::~ScreenHarness() { Settle(); }

void ScreenHarness::Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool ScreenHarness::Visible(ScreenId id) const {
    const ui::Screen* s = screens.Find(id);
    return s && s->isVisible();
}

std::vector<ScreenId> ScreenHarness::VisibleScreens() const {
    std::vector<ScreenId> out;
    for (int i = 0; i < kScreenCount; ++i)
        if (Visible(static_cast<ScreenId>(i))) out.push_back(static_cast<ScreenId>(i));
    return out;
}

QWidget* FocusIn(QWidget* window) { return window->focusWidget(); }

void Click(QWidget* widget) {
    QVERIFY2(widget->isVisible() && widget->isEnabled(), "a user can click only what is shown and enabled");
    if (qobject_cast<QRadioButton*>(widget) || qobject_cast<QCheckBox*>(widget)) {
        // On the indicator: only it and the caption take the click.
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(8, widget->height() / 2));
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    } else {
        QTest::mouseClick(widget, Qt::LeftButton);
    }
}

void Retype(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    if (text.isEmpty()) QTest::keyClick(edit, Qt::Key_Backspace);
    else QTest::keyClicks(edit, text);
}

QStringList GridRow(const ui::Grid* grid, int row) {
    QStringList texts;
    for (int c = 0; c < grid->Cols(); ++c) texts << grid->Text(row, c);
    return texts;
}

QStringList GridColumn(const ui::Grid* grid, int col) {
    QStringList texts;
    for (int r = 0; r < grid->Rows(); ++r) texts << grid->Text(r, col);
    return texts;
}

bool CellShows(const ui::Grid* grid, int row, int col) {
    const QRect rect = grid->visualRect(grid->model()->index(row, col));
    return rect.isValid() && grid->viewport()->rect().contains(rect);
}

QColor CellBackground(const ui::Grid* grid, int row, int col) {
    const QTableWidgetItem* item = grid->item(row, col);
    return item ? item->background().color() : QColor();
}

QString CellToolTip(ui::Grid* grid, int row, int col) {
    QToolTip::hideText();
    if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); })) return "(an earlier tool tip stayed)";
    const QPoint pos = grid->visualRect(grid->model()->index(row, col)).center();
    QHelpEvent help(QEvent::ToolTip, pos, grid->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(grid->viewport(), &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

void ScrollToEnd(QScrollBar* bar) {
    QVERIFY2(bar->isVisible(), "no bar to scroll with");
    // The arrow at the bar's far end.
    const bool across = bar->orientation() == Qt::Horizontal;
    const int arrow = across ? bar->height() : bar->width();
    const QPoint farArrow = across ? QPoint(bar->width() - arrow / 2, bar->height() / 2)
                                   : QPoint(bar->width() / 2, bar->height() - arrow / 2);
    for (int i = 0; i < 500 && bar->value() < bar->maximum(); ++i) QTest::mouseClick(bar, Qt::LeftButton, {}, farArrow);
    QCOMPARE(bar->value(), bar->maximum());
}

}  // namespace valmora::testing
