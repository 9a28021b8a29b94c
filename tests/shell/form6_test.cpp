#include <QTest>

#include "shell/form6.h"
#include "../ui/screen_harness.h"

using namespace valmora;
using valmora::testing::ScreenHarness;

class Form6Test : public QObject {
    Q_OBJECT

private slots:
    void opens() {
        ScreenHarness h;
        h.screens.Show(Form6::kId);
        QVERIFY(h.Visible(Form6::kId));
    }
};

QTEST_MAIN(Form6Test)
#include "form6_test.moc"
