#include "screen_harness.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QApplication>
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

}  // namespace valmora::testing
