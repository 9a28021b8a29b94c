#include "screens/shell/frm_login.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "screens/common/qt_strings.h"
#include "screens/shell/form2.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/focus.h"

namespace valmora {
namespace {

QLineEdit* NewEntry(QWidget* parent, int left, int top, int width, int height) {
    QLineEdit* edit = ui::NewTextBox(parent, QString(), left, top, width, height);
    edit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    edit->setTextMargins(2, 0, 2, 0);
    return edit;
}

}  // namespace

FrmLogin::FrmLogin(ScreenManager& screens) : Screen("Login", 3960, 1980), screens_(screens) {
    QWidget* c = Client();

    lblLabels[0] = ui::NewLabel(c, "&User Name:", 120, 180, 1230, 255);
    txtUserName = NewEntry(c, 1380, 120, 2460, 345);
    lblLabels[1] = ui::NewLabel(c, "&Password:", 120, 600, 1230, 480);
    txtPassword = NewEntry(c, 1380, 540, 2460, 345);
    txtPassword->setEchoMode(QLineEdit::Password);
    // Every character of the password shows as "*".
    txtPassword->setStyleSheet("QLineEdit { lineedit-password-character: 42; }");
    ui::FollowPaletteDespiteStyleSheet(txtPassword);
    lblLabels[0]->setBuddy(txtUserName);
    lblLabels[1]->setBuddy(txtPassword);

    cmdOK = ui::NewButton(c, "OK", 600, 1380, 1260, 390);
    cmdCancel = ui::NewButton(c, "Cancel", 2100, 1380, 1260, 390);

    ui::SetTabOrder({txtUserName, txtPassword, cmdOK, cmdCancel});
    txtUserName->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

// The password label carries the password itself, on a line of its own.
void FrmLogin::Form_Load() {
    Workspace& ws = screens_.Ws();
    ws.PasswordPrompt = "Password: \r(4061937)";
    lblLabels[1]->setText(Q(ws.PasswordPrompt).replace('\r', '\n'));
}

void FrmLogin::cmdOK_Click() {
    Workspace& ws = screens_.Ws();
    ws.LoginPassword = "4061937";
    if (txtPassword->text() != Q(ws.LoginPassword)) {
        screens_.Dialogs().Message("Invalid Password, try again!", "Login");
        ui::FocusAndSelectAll(txtPassword);
        return;
    }
    LoginSucceeded = true;
    ws.LoginUserName = Std(txtUserName->text());
    screens_.Hide(kId);
    screens_.Get<Form2>().RevealModeChoice();
}

void FrmLogin::cmdCancel_Click() {
    LoginSucceeded = false;
    screens_.Hide(kId);
}

bool FrmLogin::FrameClosed() {
    cmdCancel_Click();
    return true;
}

}  // namespace valmora
