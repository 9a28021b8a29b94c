#include <QTest>

#include "shell/frm_login.h"
#include "../ui/screen_harness.h"

using namespace valmora;
using valmora::testing::ScreenHarness;

class FrmLoginTest : public QObject {
    Q_OBJECT

private slots:
    void opens() {
        ScreenHarness h;
        h.screens.Show(FrmLogin::kId);
        QVERIFY(h.Visible(FrmLogin::kId));
    }
};

QTEST_MAIN(FrmLoginTest)
#include "frm_login_test.moc"
