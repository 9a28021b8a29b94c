#include <QApplication>
#include <QStyleFactory>

#include "app/screen_manager.h"
#include "solver/workspace.h"
#include "ui/dialogs.h"
#include "ui/fonts.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setApplicationName("Valmora");
    // The screen manager decides when the program ends.
    QApplication::setQuitOnLastWindowClosed(false);
    valmora::ui::InstallFontSubstitutes();

    valmora::Workspace workspace;
    valmora::ui::QtDialogs dialogs;
    valmora::ScreenManager screens(workspace, dialogs);
    valmora::RegisterScreens(screens);
    screens.Show(valmora::ScreenId::Form2);
    return QApplication::exec();
}
