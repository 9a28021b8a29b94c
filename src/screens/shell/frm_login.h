// The login dialog: a user name and a password in front of the start
// screen's mode choice. A right password reveals the choice, as "Continue"
// does.
#pragma once

#include <array>

#include "screens/common/screen_manager.h"
#include "ui/screen.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace valmora {

class FrmLogin : public ui::Screen {
public:
    static constexpr ScreenId kId = ScreenId::Login;  // the manager's name for this screen
    explicit FrmLogin(ScreenManager& screens);

    void Form_Load() override;

    // 0: the user name's label, 1: the password's.
    std::array<QLabel*, 2> lblLabels;  // "&User Name:", "&Password:"
    QLineEdit* txtUserName;            // user name
    QLineEdit* txtPassword;            // password, hidden as typed
    QPushButton* cmdOK;                // "OK": checks the password
    QPushButton* cmdCancel;            // "Cancel": gives up

    // True after a right password, false after Cancel.
    bool LoginSucceeded = false;  // the last answer

protected:
    // Closing the dialog by its frame gives up, as Cancel does.
    bool FrameClosed() override;

private:
    void cmdOK_Click();
    void cmdCancel_Click();

    ScreenManager& screens_;  // reveals the start screen's choice; dialogs
};

}  // namespace valmora
