#include "app/register_screens.h"
#include "screens/deterministic/form1.h"
#include "screens/shell/form2.h"
#include "screens/shell/form5.h"
#include "screens/shell/form6.h"
#include "screens/shell/frm_about.h"
#include "screens/shell/frm_login.h"
#include "screens/stochastic/form3.h"
#include "screens/stochastic/form4.h"

namespace valmora {

namespace {
template <class T>
void Add(ScreenManager& screens) {
    screens.Register(T::kId, [](ScreenManager& s) { return new T(s); });
}
}  // namespace

void RegisterScreens(ScreenManager& screens) {
    Add<Form1>(screens);
    Add<Form2>(screens);
    Add<Form3>(screens);
    Add<Form4>(screens);
    Add<Form5>(screens);
    Add<Form6>(screens);
    Add<FrmAbout>(screens);
    Add<FrmLogin>(screens);
}

}  // namespace valmora
