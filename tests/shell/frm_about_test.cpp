#include <QTest>

#include "shell/frm_about.h"
#include "../ui/screen_harness.h"

using namespace valmora;
using valmora::testing::ScreenHarness;

class FrmAboutTest : public QObject {
    Q_OBJECT

private slots:
    void opens() {
        ScreenHarness h;
        h.screens.Show(FrmAbout::kId);
        QVERIFY(h.Visible(FrmAbout::kId));
    }
};

QTEST_MAIN(FrmAboutTest)
#include "frm_about_test.moc"
