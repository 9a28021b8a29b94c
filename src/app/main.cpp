#include <QApplication>
#include <QStyleFactory>

#include <random>

#include "app/register_screens.h"
#include "core/solver/workspace.h"
#include "core/simulation/random_payments.h"
#include "screens/common/notices.h"
#include "ui/fonts.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setApplicationName("Valmora");
    // The screen manager decides when the program ends.
    QApplication::setQuitOnLastWindowClosed(false);
    valmora::ui::InstallFontSubstitutes();

    valmora::Workspace workspace;
    valmora::QtDialogsWithNotices dialogs;
    valmora::SystemClock clock;
    valmora::RandomPayments random((static_cast<std::uint64_t>(std::random_device{}()) << 32) ^ std::random_device{}(),
                                   clock);
    valmora::ScreenManager screens(workspace, dialogs);
    screens.SetRandom(random);
    valmora::RegisterScreens(screens);
    screens.Show(valmora::ScreenId::Form2);
    return QApplication::exec();
}
