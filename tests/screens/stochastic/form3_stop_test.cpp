// Stopping a run on the stochastic screen: the Stop button and Esc end it
// after the current simulation; the file keeps complete lines.
#include <QFile>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>

#include "form3_driver.h"
#include "scripted_random.h"
#include "screens/stochastic/irr_distribution_view.h"

using namespace valmora;
using valmora::testing::Click;
using valmora::testing::Form3Driver;
using valmora::testing::ScriptedRandom;
using valmora::testing::UniformFor;

namespace {

std::deque<float> OnePaymentEach(const std::vector<double>& payments) {
    std::deque<float> uniforms;
    for (double p : payments) uniforms.push_back(UniformFor(p));
    return uniforms;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class Form3StopTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ScriptedRandom> random_;

    // Five one-payment simulations saved to `path`, each raising a notice
    // (the 2nd lowest IRR is asked for), during which `act` runs with the
    // number of the notice.
    void RunFive(Form3Driver& d, const QString& path, const std::function<void(int)>& act, bool again = false) {
        auto random = std::make_unique<ScriptedRandom>(OnePaymentEach({1100, 1210, 1331, 1464, 1611}));
        d.h.screens.SetRandom(*random);
        random_ = std::move(random);
        if (!again) {
            d.UniformOnTabOne("-4096", "4096", 1);
            d.ChooseFile(path);
            d.f->HScroll1->setValue(5);
        }
        d.h.ws.IrrChoice = 2;
        d.h.ws.NotifyOtherIrr = true;
        int notices = 0;
        d.h.dialogs.onMessage = [&](const valmora::testing::Shown& shown) {
            if (shown.title == "Note!") act(++notices);
        };
        d.h.dialogs.shown.clear();
        Click(d.f->Command4);
        d.h.dialogs.onMessage = nullptr;
    }

private slots:
    void stopIsShownOnlyDuringARun() {
        Form3Driver d;
        QVERIFY(!d.f->Command8->isVisible());
        QTemporaryDir dir;
        bool shownDuringRun = false;
        RunFive(d, dir.filePath("all.exp"), [&](int) { shownDuringRun = d.f->Command8->isVisible(); });
        QVERIFY(shownDuringRun);
        QVERIFY(!d.f->Command8->isVisible());
        QCOMPARE(d.h.dialogs.Texts().last(), QString("Simulation Complete"));
        QCOMPARE(ReadAll(dir.filePath("all.exp")).count('\n'), 5);
    }

    void theButtonEndsTheRunAfterTheCurrentSimulation() {
        Form3Driver d;
        QTemporaryDir dir;
        const QString path = dir.filePath("stopped.exp");
        RunFive(d, path, [&](int notice) {
            if (notice != 2) return;
            QCOMPARE(d.f->Command8->text(), QString("&Stop"));
            QTest::mouseClick(d.f->Command8, Qt::LeftButton);
            QCOMPARE(d.f->Command8->text(), QString("Stopping..."));
            QVERIFY(!d.f->Command8->isEnabled());
        });
        QCOMPARE(d.h.dialogs.Texts().last(), QString("stopped after 2 of 5 simulations"));
        QCOMPARE(d.h.dialogs.shown.back().title, QString("Stopped"));
        QCOMPARE(d.h.dialogs.beeps, 0);
        const QByteArray bytes = ReadAll(path);
        QCOMPARE(bytes.count('\n'), 2);
        QVERIFY(bytes.endsWith(" \r\n"));
        QCOMPARE(d.f->Command4->text(), QString("Stopped after 2"));
        QCOMPARE(d.f->Label8->text(), QString("Run stopped"));
        QVERIFY(!d.f->Command8->isVisible());

        // The distribution shows what was run.
        QVERIFY(d.f->Command7->isEnabled());
        Click(d.f->Command7);
        auto* v = d.f->findChild<IrrDistributionView*>();
        QVERIFY(v);
        QCOMPARE(v->Caption->text(), QString("stopped after 2 of 5 simulations, 2 with an IRR."));
        QCOMPARE(v->Summary->item(0, 1)->text(), QString("stopped after 2 of 5 simulations"));

        // The next run starts with the button ready again.
        bool ready = false;
        RunFive(
            d, path, [&](int) { ready = d.f->Command8->isEnabled() && d.f->Command8->text() == "&Stop"; }, true);
        QVERIFY(ready);
        QCOMPARE(d.h.dialogs.Texts().last(), QString("Simulation Complete"));
    }

    void escStopsAndEverythingElseStaysRefused() {
        Form3Driver d;
        QTemporaryDir dir;
        const QString path = dir.filePath("esc.exp");
        RunFive(d, path, [&](int notice) {
            if (notice != 3) return;
            QTest::mouseClick(d.f->Command1, Qt::LeftButton);  // "<< Back" refused
            QTest::keyClick(d.f->Text9, Qt::Key_Escape);
        });
        d.h.Settle();
        QVERIFY(d.h.Visible(ScreenId::Form3));
        QCOMPARE(d.h.dialogs.Texts().last(), QString("stopped after 3 of 5 simulations"));
        QCOMPARE(ReadAll(path).count('\n'), 3);
        // Esc outside a run does nothing to the screen.
        QTest::keyClick(d.f, Qt::Key_Escape);
        d.h.Settle();
        QVERIFY(d.h.Visible(ScreenId::Form3));
    }

    void theLinesOfASimulationReachTheFileWhileTheRunWaits() {
        // A run held by a notice (or killed then) has its earlier lines in
        // the file, not only in memory.
        Form3Driver d;
        QTemporaryDir dir;
        const QString path = dir.filePath("held.exp");
        QList<int> seen;
        RunFive(d, path, [&](int notice) {
            QTRY_COMPARE_WITH_TIMEOUT(ReadAll(path).count('\n'), notice, 10000);
            seen << notice;
        });
        QCOMPARE(seen, QList<int>({1, 2, 3, 4, 5}));
    }

    void keysStopTheRunToo() {
        struct Case {
            const char* name;
            std::function<void(Form3Driver&)> press;
        };
        const Case cases[] = {
            {"Alt+S anywhere", [](Form3Driver& d) { QTest::keyClick(d.f->Text9, Qt::Key_S, Qt::AltModifier); }},
            {"Space on Stop", [](Form3Driver& d) { QTest::keyClick(d.f->Command8, Qt::Key_Space); }},
            {"Enter on Stop", [](Form3Driver& d) { QTest::keyClick(d.f->Command8, Qt::Key_Return); }},
        };
        for (const Case& c : cases) {
            Form3Driver d;
            QTemporaryDir dir;
            bool focused = false;
            RunFive(d, dir.filePath("keys.exp"), [&](int notice) {
                if (notice != 2) return;
                focused = d.f->focusWidget() == d.f->Command8;
                c.press(d);
            });
            QVERIFY2(focused, c.name);
            QCOMPARE(d.h.dialogs.Texts().last(), QString("stopped after 2 of 5 simulations"));
        }
    }

    void closingTheWindowDuringARunAsksFirst() {
        for (const bool stop : {false, true}) {
            Form3Driver d;
            QTemporaryDir dir;
            const QString path = dir.filePath("closed.exp");
            QStringList asked;
            RunFive(d, path, [&](int notice) {
                if (notice != 2) return;
                d.h.dialogs.answers = {stop};
                d.f->close();
                asked = d.h.dialogs.Texts();
            });
            d.h.Settle();
            QCOMPARE(asked.last(), QString("A simulation run is going. Stop it and close the window?"));
            if (stop) {
                // Stopped after the simulation going, its lines whole, and closed.
                QCOMPARE(ReadAll(path).count('\n'), 2);
                QVERIFY(!d.h.Visible(ScreenId::Form3));
                QVERIFY(d.h.Visible(ScreenId::Form2));
            } else {
                QCOMPARE(d.h.dialogs.Texts().last(), QString("Simulation Complete"));
                QCOMPARE(ReadAll(path).count('\n'), 5);
                QVERIFY(d.h.Visible(ScreenId::Form3));
            }
        }
    }
};

QTEST_MAIN(Form3StopTest)
#include "form3_stop_test.moc"
