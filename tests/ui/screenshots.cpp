// Renders every window of the program to PNG files, for the README and for
// checking layouts by eye: valmora_screenshots OUTPUT_FOLDER
#include <QApplication>
#include <QDir>
#include <QPixmap>

#include "screen_harness.h"
#include "ui/screen.h"

using namespace valmora;

namespace {

struct Shot {
    ScreenId id;
    const char* file;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screens");
    QDir().mkpath(folder);

    testing::ScreenHarness h;
    const Shot shots[] = {
        {ScreenId::Form2, "start"},
        {ScreenId::Form1, "deterministic"},
    };
    int failures = 0;
    for (const Shot& shot : shots) {
        h.screens.Show(shot.id);
        ui::Screen* screen = h.screens.Find(shot.id);
        if (!screen) { ++failures; continue; }
        const QString path = folder + "/" + shot.file + ".png";
        if (!screen->grab().save(path)) ++failures;
    }
    return failures == 0 ? 0 : 1;
}
