// The aids every screen installs for keyboard users: Enter presses the
// focused command button, and the focused control shows a ring.
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "screen_harness.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/grid.h"
#include "ui/screen.h"
#include "ui/twips.h"
#include "ui/up_down.h"

using namespace valmora;

namespace {

// A screen with one control of each kind the screens use.
struct Controls {
    Controls() : screen("Aids", 6000, 3000) {
        QWidget* c = screen.Client();
        plain = ui::NewButton(c, "Plain", 240, 240, 1335, 375);
        yellow = ui::NewButton(c, "Yellow", 1800, 240, 1335, 375);
        ui::SetFaceColor(yellow, QColor(255, 255, 0));
        green = ui::NewButton(c, "Green", 3360, 240, 1335, 375);
        ui::SetFaceColor(green, QColor(0, 192, 0));
        box = ui::NewTextBox(c, "12", 240, 840, 1095, 285);
        option = ui::NewOption(c, "Option", 1800, 840, 1455, 255);
        check = ui::NewCheckBox(c, "Check", 3360, 840, 1455, 255);
        spinBox = ui::NewTextBox(c, "1", 240, 1440, 615, 285);
        spinner = new ui::UpDown(spinBox, 1, 72, c);
        ui::Place(spinner, 855, 1440, 240, 285);
        bar = new QScrollBar(Qt::Horizontal, c);
        ui::Place(bar, 1800, 1440, 1560, 285);
        grid = ui::NewGrid(c, 240, 1920, 3000, 855);
        screen.show();
    }

    ui::Screen screen;
    QPushButton* plain;
    QPushButton* yellow;
    QPushButton* green;
    QLineEdit* box;
    QRadioButton* option;
    QCheckBox* check;
    QLineEdit* spinBox;
    ui::UpDown* spinner;
    QScrollBar* bar;
    ui::Grid* grid;
};

// The colour drawn just inside the left edge of what `widget` shows, as the
// window shows it.
QColor LeftEdge(ui::Screen& screen, QWidget* widget) {
    if (auto* grid = qobject_cast<ui::Grid*>(widget)) widget = grid->viewport();
    const QImage image = screen.grab().toImage();
    const QPoint at = widget->mapTo(&screen, QPoint(0, widget->height() / 2));
    return image.pixelColor(at * image.devicePixelRatio());
}

}  // namespace

class KeyboardAidsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testing::PrepareApplication(); }

    void enterPressesTheFocusedButton() {
        struct Case {
            const char* name;
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            bool repeat;
            int clicks;
        };
        const Case cases[] = {
            {"Return", Qt::Key_Return, Qt::NoModifier, false, 1},
            {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, false, 1},
            {"Space, as before", Qt::Key_Space, Qt::NoModifier, false, 1},
            {"Return held down", Qt::Key_Return, Qt::NoModifier, true, 1},
            {"Ctrl+Return", Qt::Key_Return, Qt::ControlModifier, false, 0},
        };
        for (const Case& c : cases) {
            Controls w;
            QVERIFY(QTest::qWaitForWindowActive(&w.screen));
            QSignalSpy clicked(w.yellow, &QPushButton::clicked);
            w.yellow->setFocus(Qt::TabFocusReason);
            QTest::keyClick(w.yellow, c.key, c.modifiers);
            if (c.repeat) {
                // The key's repeats while it is held press nothing more.
                for (int i = 0; i < 3; ++i) {
                    QKeyEvent repeat(QEvent::KeyPress, c.key, c.modifiers, "\r", true);
                    QApplication::sendEvent(w.yellow, &repeat);
                }
            }
            QVERIFY2(clicked.size() == c.clicks, c.name);
        }
        // Enter in a text box presses no button.
        Controls w;
        QVERIFY(QTest::qWaitForWindowActive(&w.screen));
        QSignalSpy clicked(w.plain, &QPushButton::clicked);
        w.box->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w.box, Qt::Key_Return);
        QCOMPARE(clicked.size(), 0);
    }

    void enterPressesTheFocusedButtonOfAMessageBox() {
        Controls w;
        QVERIFY(QTest::qWaitForWindowActive(&w.screen));
        QMessageBox box(QMessageBox::Question, "Confirm", "Sure?", QMessageBox::Yes | QMessageBox::No, &w.screen);
        box.setDefaultButton(QMessageBox::Yes);
        QTimer::singleShot(0, &box, [&box] {
            QAbstractButton* no = box.button(QMessageBox::No);
            no->setFocus(Qt::TabFocusReason);
            QTest::keyClick(no, Qt::Key_Return);
        });
        QCOMPARE(box.exec(), int(QMessageBox::No));
    }

    // A question's safe answer is its default: Enter and Esc both answer No
    // (an exit confirmation never discards work on one keystroke).
    void questionsDefaultToNo() {
        valmora::ui::QtDialogs dialogs;
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            bool pressed = false;
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) return;
                QCOMPARE(box->defaultButton(), box->button(QMessageBox::No));
                QTest::keyClick(box, key);
                pressed = true;
            });
            QVERIFY(!dialogs.AskYesNo("Sure you want to exit?", "Confirm"));
            QVERIFY(pressed);
        }
    }

    void focusedControlShowsARing() {
        Controls w;
        QVERIFY(QTest::qWaitForWindowActive(&w.screen));
        const QColor ring = w.screen.palette().color(QPalette::Active, QPalette::Highlight);
        QWidget* const controls[] = {w.plain, w.yellow, w.green, w.box, w.option, w.check, w.spinner, w.bar, w.grid};
        for (QWidget* control : controls) {
            control->setFocus(Qt::OtherFocusReason);
            QVERIFY(control->hasFocus());
            QCOMPARE(LeftEdge(w.screen, control), ring);
            // Only the focused one.
            for (QWidget* other : controls)
                if (other != control) QVERIFY2(LeftEdge(w.screen, other) != ring, other->metaObject()->className());
        }
    }
};

QTEST_MAIN(KeyboardAidsTest)
#include "keyboard_aids_test.moc"
