#include "shell/frm_about.h"

namespace valmora {

FrmAbout::FrmAbout(ScreenManager& screens) : Screen("About Valmora", 6840, 3960), screens_(screens) {}

}  // namespace valmora
