#include "shell/frm_login.h"

namespace valmora {

FrmLogin::FrmLogin(ScreenManager& screens) : Screen("Login", 3900, 2280), screens_(screens) {}

}  // namespace valmora
