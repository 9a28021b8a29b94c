#include <QApplication>
#include <QIcon>
#include <QStyleFactory>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <random>

#include "app/register_screens.h"
#include "core/workspace/workspace.h"
#include "core/version.h"
#include "core/simulation/random_payments.h"
#include "screens/common/notices.h"
#include "ui/fonts.h"
#include "ui/translations.h"

namespace {

// --version and --help answer on the terminal, without a display.
bool AnsweredOnTerminal(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("valmora %s\n", valmora::kVersionText);
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf(
                "Usage: valmora [Qt options]\n"
                "Valmora: the internal rate of return (IRR) of an investment.\n\n"
                "  --version  print the version and exit\n"
                "  --help     print this text and exit\n\n"
                "valmora-cli runs the same solver from scripts; see valmora(1) and valmora-cli(1).\n");
            return true;
        }
    }
    return false;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QString(":/icons/%1x%1/io.github.valmora.Valmora.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace

int main(int argc, char** argv) {
    if (AnsweredOnTerminal(argc, argv)) return 0;
    QApplication app(argc, argv);
    // Qt sets the C library to the user's locale; its number formatting stays
    // the program's own (a decimal point), and the screens show numbers in
    // the user's locale themselves.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setApplicationName("Valmora");
    QApplication::setApplicationVersion(valmora::kVersionText);
    QApplication::setDesktopFileName("io.github.valmora.Valmora");
    QApplication::setWindowIcon(ProgramIcon());
    // The screen manager decides when the program ends.
    QApplication::setQuitOnLastWindowClosed(false);
    valmora::ui::InstallFontSubstitutes();
    valmora::ui::InstallQtTranslations(app);

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
