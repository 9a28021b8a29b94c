#include <QTest>

#include "shell/form5.h"
#include "../ui/screen_harness.h"

using namespace valmora;
using valmora::testing::ScreenHarness;

class Form5Test : public QObject {
    Q_OBJECT

private slots:
    void opens() {
        ScreenHarness h;
        h.screens.Show(Form5::kId);
        QVERIFY(h.Visible(Form5::kId));
    }
};

QTEST_MAIN(Form5Test)
#include "form5_test.moc"
