#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "screens/shell/form2.h"
#include "screens/shell/frm_login.h"
#include "ui/controls.h"
#include "screen_harness.h"

using namespace valmora;
using valmora::testing::Click;
using valmora::testing::FocusIn;
using valmora::testing::ScreenHarness;

namespace {

// Every control of `window`'s client area lies inside it, overlaps no other,
// and shows its whole text.
void CheckLayout(ui::Screen& window) {
    const QWidget* client = window.Client();
    const QList<QWidget*> children = client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        QVERIFY(client->rect().contains(child->geometry()));
        if (auto* label = qobject_cast<QLabel*>(child)) {
            QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(label->text()));
        }
        if (auto* button = qobject_cast<QPushButton*>(child)) {
            QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(button->text()));
        }
        if (auto* edit = qobject_cast<QLineEdit*>(child)) { QVERIFY(edit->sizeHint().height() <= edit->height() + 2); }
        for (QWidget* other : children)
            if (other != child) QVERIFY2(!child->geometry().intersects(other->geometry()), "controls overlap");
    }
}

// The start screen as "Continue" leaves it untouched.
void CheckIntroduction(Form2& start) {
    QVERIFY(!start.Frame1->isVisible());
    QVERIFY(start.Command1->isEnabled());
    QCOMPARE(ui::FaceColor(start.Command1), QColor(255, 255, 0));
}

}  // namespace

class FrmLoginTest : public QObject {
    Q_OBJECT

private:
    // The start screen, then the login dialog beside it.
    FrmLogin& Open(ScreenHarness& h) {
        h.screens.Show(ScreenId::Form2);
        h.screens.Show(FrmLogin::kId);
        return *h.screens.Find<FrmLogin>();
    }

    // Types both boxes, then leaves the focus in the user name, as a user
    // going back to check it would.
    void Type(FrmLogin& login, const QString& userName, const QString& password) {
        QTest::keyClicks(login.txtPassword, password);
        QTest::keyClicks(login.txtUserName, userName);
        login.txtUserName->setFocus();
        QCOMPARE(login.txtUserName->text(), userName);
        QCOMPARE(login.txtPassword->text(), password);
        QCOMPARE(FocusIn(&login), login.txtUserName);
    }

private slots:
    void asksForNameAndPassword() {
        ScreenHarness h;
        FrmLogin& login = Open(h);
        QCOMPARE(login.windowTitle(), QString("Login"));
        QCOMPARE(login.lblLabels[0]->text(), QString("&User Name:"));
        QCOMPARE(login.lblLabels[0]->buddy(), login.txtUserName);
        QCOMPARE(login.cmdOK->text(), QString("OK"));
        QCOMPARE(login.cmdCancel->text(), QString("Cancel"));
        QVERIFY(login.txtUserName->text().isEmpty());
        QVERIFY(login.txtPassword->text().isEmpty());
        QVERIFY(!login.LoginSucceeded);
        QCOMPARE(FocusIn(&login), login.txtUserName);
    }

    void thePasswordLabelShowsThePasswordOnItsSecondLine() {
        ScreenHarness h;
        FrmLogin& login = Open(h);
        QCOMPARE(h.ws.PasswordPrompt, std::string("Password: \r(4061937)"));
        QCOMPARE(login.lblLabels[1]->text().split('\n'), (QStringList{"Password: ", "(4061937)"}));
        // room for both lines
        const QFontMetrics metrics(login.lblLabels[1]->font());
        QVERIFY(login.lblLabels[1]->height() >= 2 * metrics.lineSpacing());
    }

    void thePasswordShowsAsStars() {
        ScreenHarness h;
        FrmLogin& login = Open(h);
        QTest::keyClicks(login.txtPassword, "4061937");
        QCOMPARE(login.txtPassword->echoMode(), QLineEdit::Password);
        QCOMPARE(login.txtPassword->displayText(), QString("*******"));
    }

    void everythingFits() {
        ScreenHarness h;
        CheckLayout(Open(h));
    }

    void rightPassword_data() {
        QTest::addColumn<QString>("userName");
        QTest::newRow("no user name") << QString();
        QTest::newRow("a name") << QString("Ada");
        QTest::newRow("blanks around a name") << QString("  Ada Lovelace ");
        QTest::newRow("the password as the name") << QString("4061937");
    }

    void rightPassword() {
        QFETCH(QString, userName);
        ScreenHarness h;
        FrmLogin& login = Open(h);
        Type(login, userName, "4061937");
        Click(login.cmdOK);

        QCOMPARE(h.dialogs.Texts(), QStringList{});
        QVERIFY(login.LoginSucceeded);
        QCOMPARE(h.ws.LoginUserName, userName.toStdString());
        QCOMPARE(h.ws.LoginPassword, std::string("4061937"));
        QVERIFY(!h.Visible(FrmLogin::kId));
        QVERIFY(h.screens.IsLoaded(FrmLogin::kId));  // hidden, not unloaded

        Form2& start = h.screens.Get<Form2>();
        QVERIFY(start.isVisible());
        QVERIFY(start.Frame1->isVisible());
        QVERIFY(!start.Command1->isEnabled());
        QCOMPARE(ui::FaceColor(start.Command1), QApplication::palette().color(QPalette::Button));
        h.Settle();
        QVERIFY(!h.dialogs.ended);
    }

    // With no start screen loaded yet, a right password loads it to reveal
    // the choice there.
    void rightPasswordLoadsTheStartScreen() {
        ScreenHarness h;
        h.screens.Show(FrmLogin::kId);
        FrmLogin& login = *h.screens.Find<FrmLogin>();
        QVERIFY(!h.screens.IsLoaded(ScreenId::Form2));
        QTest::keyClicks(login.txtPassword, "4061937");
        Click(login.cmdOK);
        QVERIFY(login.LoginSucceeded);
        Form2* start = h.screens.Find<Form2>();
        QVERIFY(start);
        QVERIFY(!start->Frame1->isHidden());
        QVERIFY(!start->Command1->isEnabled());
    }

    void wrongPassword_data() {
        QTest::addColumn<QString>("userName");
        QTest::addColumn<QString>("password");
        QTest::newRow("empty") << QString("Ada") << QString();
        QTest::newRow("leading blank") << QString("Ada") << QString(" 4061937");
        QTest::newRow("trailing blank") << QString("Ada") << QString("4061937 ");
        QTest::newRow("a digit short") << QString("Ada") << QString("406193");
        QTest::newRow("a digit more") << QString("Ada") << QString("40619370");
        QTest::newRow("a wrong digit") << QString("Ada") << QString("4061938");
        QTest::newRow("digits swapped") << QString("Ada") << QString("4069137");
        QTest::newRow("the prompt as typed") << QString("Ada") << QString("(4061937)");
        QTest::newRow("a word") << QString("Ada") << QString("Password");
        QTest::newRow("the password in the name box only") << QString("4061937") << QString();
    }

    void wrongPassword() {
        QFETCH(QString, userName);
        QFETCH(QString, password);
        ScreenHarness h;
        FrmLogin& login = Open(h);
        Type(login, userName, password);
        bool shownOverTheDialog = false;
        h.dialogs.onMessage = [&](const testing::Shown&) { shownOverTheDialog = h.Visible(FrmLogin::kId); };
        Click(login.cmdOK);

        QCOMPARE(h.dialogs.Texts(), QStringList{"Invalid Password, try again!"});
        QCOMPARE(h.dialogs.shown[0].title, QString("Login"));
        QVERIFY(!h.dialogs.shown[0].question);
        QVERIFY(shownOverTheDialog);
        QVERIFY(h.Visible(FrmLogin::kId));
        QVERIFY(!login.LoginSucceeded);
        QVERIFY(h.ws.LoginUserName.empty());
        CheckIntroduction(h.screens.Get<Form2>());

        // The whole password is selected in its box, ready to be typed over.
        QCOMPARE(FocusIn(&login), login.txtPassword);
        QCOMPARE(login.txtPassword->selectedText(), password);
        QCOMPARE(login.txtPassword->selectionStart(), password.isEmpty() ? -1 : 0);
        QTest::keyClicks(login.txtPassword, "4061937");
        QCOMPARE(login.txtPassword->text(), QString("4061937"));
        Click(login.cmdOK);
        QCOMPARE(h.dialogs.shown.size(), size_t(1));
        QVERIFY(login.LoginSucceeded);
        QVERIFY(!h.Visible(FrmLogin::kId));
    }

    void wrongPasswordsCanBeRetriedWithoutEnd() {
        ScreenHarness h;
        FrmLogin& login = Open(h);
        for (int attempt = 1; attempt <= 5; ++attempt) {
            QTest::keyClicks(login.txtPassword, "123");
            Click(login.cmdOK);
            QCOMPARE(h.dialogs.shown.size(), size_t(attempt));
            QCOMPARE(login.txtPassword->selectedText(), QString("123"));
        }
        QVERIFY(h.Visible(FrmLogin::kId));
    }

    // Cancel, or closing the dialog by its frame, gives up.
    void givingUp_data() {
        QTest::addColumn<bool>("byFrame");
        QTest::newRow("Cancel") << false;
        QTest::newRow("the frame's close box") << true;
    }

    void givingUp() {
        QFETCH(bool, byFrame);
        ScreenHarness h;
        FrmLogin& login = Open(h);
        Type(login, "Ada", "4061937");
        login.LoginSucceeded = true;  // as a caller may have left it
        if (byFrame) QVERIFY(login.close());
        else Click(login.cmdCancel);

        QVERIFY(!login.LoginSucceeded);
        QVERIFY(!h.Visible(FrmLogin::kId));
        QVERIFY(h.screens.IsLoaded(FrmLogin::kId));
        QCOMPARE(h.dialogs.Texts(), QStringList{});
        QVERIFY(h.ws.LoginUserName.empty());
        Form2& start = h.screens.Get<Form2>();
        QVERIFY(start.isVisible());
        CheckIntroduction(start);

        // Shown again, it still holds what was typed.
        h.screens.Show(FrmLogin::kId);
        QCOMPARE(login.txtUserName->text(), QString("Ada"));
        QCOMPARE(login.txtPassword->text(), QString("4061937"));
        h.Settle();
        QVERIFY(!h.dialogs.ended);
    }
};

QTEST_MAIN(FrmLoginTest)
#include "frm_login_test.moc"
