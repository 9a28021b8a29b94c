// The stochastic screen's second tab: output choice, settings and the run.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "screens/deterministic/form1.h"
#include "form3_driver.h"
#include "scripted_random.h"
#include "screens/shell/form2.h"
#include "screens/stochastic/form4.h"

using namespace valmora;
using valmora::testing::Click;
using valmora::testing::Form3Driver;
using valmora::testing::ScriptedRandom;
using valmora::testing::UniformFor;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Uniforms that draw exactly these payments on [-4096, 4096).
std::deque<float> Draws(const std::vector<std::vector<double>>& series) {
    std::deque<float> uniforms;
    for (const auto& s : series)
        for (double p : s) uniforms.push_back(UniformFor(p));
    return uniforms;
}

}  // namespace

class Form3RunTest : public QObject {
    Q_OBJECT

private slots:
    void outputChoice() {
        Form3Driver d;
        Form3* f = d.f;
        d.UniformOnTabOne("500", "1500");
        QCOMPARE(f->SSTab1->currentIndex(), 1);
        QVERIFY(!f->Frame3->isEnabled() && !f->Frame5->isEnabled());
        QVERIFY(!f->Command3->isEnabled());

        Click(f->Option4);
        QVERIFY(f->Command3->isEnabled());
        QCOMPARE(valmora::testing::FocusIn(f), f->Command3);
        QCOMPARE(f->Label9->text(), QString("Save to File"));
        QCOMPARE(f->windowTitle(), QString("IRR - Stochastic - Save to File"));
        QVERIFY(f->Label16->isVisible() && f->Text8->isVisible());
        QVERIFY(!f->Frame3->isEnabled() && !f->Frame5->isEnabled());
        QCOMPARE(d.h.ws.SaveToFile, 1);

        // A cancelled dialog leaves the run unavailable.
        d.h.dialogs.fileNames.push_back("");
        Click(f->Command3);
        QCOMPARE(d.h.dialogs.saveDialogs,
                 QStringList({"IRR Output File Name|" + QDir::homePath() +
                              "|Experiments (*.exp)|*.exp|Data Files (*.dat)|*.dat|All Files (*.*)|*.*"}));
        QCOMPARE(d.h.dialogs.Texts(), QStringList({"Select a file"}));
        QCOMPARE(d.h.dialogs.shown[0].title, QString("Save to File?"));
        QCOMPARE(f->Label9->text(), QString("Save to File"));
        QVERIFY(d.h.ws.OutputPath.empty());
        QVERIFY(!f->Frame5->isEnabled());
        QCOMPARE(valmora::testing::FocusIn(f), f->Command3);

        d.h.dialogs.fileNames.push_back("/data/irrs.exp");
        Click(f->Command3);
        QCOMPARE(f->Label9->text(), QString("Output Path\\File Name =  /data/irrs.exp"));
        QCOMPARE(f->windowTitle(), QString("IRR - Stochastic - /data/irrs.exp"));
        QCOMPARE(d.h.ws.OutputPath, std::string("/data/irrs.exp"));
        QVERIFY(f->Frame3->isEnabled() && f->Frame5->isEnabled() && f->Command4->isEnabled());
        QCOMPARE(valmora::testing::FocusIn(f), f->HScroll1);

        Click(f->Option5);
        QVERIFY(!f->Command3->isEnabled());
        QCOMPARE(d.h.ws.SaveToFile, 0);
        QCOMPARE(f->Label9->text(), QString("DO NOT save IRRs to file"));
        QCOMPARE(f->windowTitle(), QString("IRR - Stochastic - Do NOT Save to File"));
        QVERIFY(!f->Label16->isVisible() && !f->Text8->isVisible());
        QVERIFY(f->Frame3->isEnabled() && f->Frame5->isEnabled());

        // Choosing "Save to file" again asks for a file anew.
        Click(f->Option4);
        QVERIFY(!f->Frame5->isEnabled());
    }

    void settingsAreCheckedOnEveryKey() {
        Form3Driver d;
        Form3* f = d.f;
        d.UniformOnTabOne("500", "1500");
        d.ChooseNotSaving();
        const QString increment = "Used to find approximate root locations\rEnter a valid increment (e.g.:0.01)";
        const QString tolerance = "Used by Newton's Method to find roots\rEnter a valid tolerance (e.g.:0.0000001)";
        struct Case {
            QLineEdit* box;
            const char* typed;
            QString message;
            const char* shown;
            double stored;
            double* in;
        };
        const Case cases[] = {
            {f->Text9, "5", increment, "0.01", 0.01, &d.h.ws.Increment},
            {f->Text9, "0.05", "", "0.05", 0.05, &d.h.ws.Increment},
            {f->Text9, "-", increment, "0.01", 0.01, &d.h.ws.Increment},
            {f->Text10, "", tolerance, "1E-08", 1e-08, &d.h.ws.Tolerance},
            {f->Text10, "0", "", "0", 0.0, &d.h.ws.Tolerance},
            {f->Text10, ".", tolerance, "1E-08", 1e-08, &d.h.ws.Tolerance},
        };
        for (const Case& c : cases) {
            d.h.dialogs.shown.clear();
            valmora::testing::Retype(c.box, c.typed);
            QCOMPARE(c.box->text(), QString(c.shown));
            QCOMPARE(*c.in, c.stored);
            QCOMPARE(d.h.dialogs.Texts(), c.message.isEmpty() ? QStringList() : QStringList({c.message}));
            if (!c.message.isEmpty()) QCOMPARE(d.h.dialogs.shown[0].title, QString("Error!"));
        }
        // The number of simulations follows the scroll bar, up to 10000.
        f->HScroll1->setFocus();
        QTest::keyClick(f->HScroll1, Qt::Key_End);
        QCOMPARE(f->Text6->text(), QString("10000"));
        QCOMPARE(d.h.ws.NumSimulations, 10000);
        QCOMPARE(f->Command4->text(), QString("Begin Simulation(s)"));
    }

    void runWritesOneLinePerKeptIrr() {
        Form3Driver d;
        Form3* f = d.f;
        QTemporaryDir dir;
        const QString path = dir.filePath("irrs.exp");
        // Rates 0.3, 0.2 and 0.1; one rate 0.1; no rate; rates 0.2 and 0.1.
        ScriptedRandom random(Draws({{3600, -4310, 1716}, {1100, 0, 0}, {-500, 0, 0}, {2300, -1320, 0}}));
        d.h.screens.SetRandom(random);
        d.UniformOnTabOne("-4096", "4096", 3);
        d.ChooseFile(path);
        valmora::testing::Retype(f->Text9, "0.01");
        f->HScroll1->setValue(4);
        d.h.dialogs.shown.clear();
        Click(f->Command4);

        // The simulation without an IRR is said to have written no line.
        QCOMPARE(
            d.h.dialogs.Texts(),
            QStringList({"Simulation Complete", "1 simulation had no IRR and wrote no line: the file holds 3 lines."}));
        QCOMPARE(d.h.dialogs.shown[0].title, QString("Done!"));
        QCOMPARE(d.h.dialogs.beeps, 1);
        const QList<QByteArray> lines = ReadAll(path).split('\n');
        QCOMPARE(lines.size(), 4);  // three lines and the end after the last line break
        for (const QByteArray& line : lines.mid(0, 3)) {
            QVERIFY(line.startsWith(' ') && line.endsWith(" \r"));
            QCOMPARE(line.trimmed().toDouble(), 0.1);  // the lowest IRR of each, to 15 digits
        }
        QCOMPARE(f->Command4->text(), QString("Iteration = 4"));
        QCOMPARE(f->ProgressBar1->value(), 100);
        QCOMPARE(f->Text7->text(), QString("0.1"));
        QCOMPARE(f->Text8->text(), QString("0.1"));
        QCOMPARE(f->Text11->text(), QString("1"));
        // The last simulation's series, derivative and rates.
        QCOMPARE(valmora::testing::GridRow(f->MSHFlexGrid1, 1),
                 QStringList({"-1000.00", "2300.00", "-1320.00", ".00"}));
        QCOMPARE(valmora::testing::GridRow(f->MSHFlexGrid1, 2), QStringList({"2300.00", "-2640.00", ".00", ""}));
        QCOMPARE(valmora::testing::GridColumn(f->MSHFlexGrid2, 0), QStringList({"IRRs = 2", "0.2", "0.1"}));
        QCOMPARE(valmora::testing::FocusIn(f), f->Command4);
        QVERIFY(!QApplication::overrideCursor());
    }

    void missedRootsAreNotedAfterTheRun() {
        Form3Driver d;
        Form3* f = d.f;
        // Roots x = 0.7026 and 0.7065 share one grid step, x = 2 is listed;
        // then rates 0.3, 0.2 and 0.1, all listed.
        ScriptedRandom random(Draws({{3338.91552734375, -3434.30224609375, 1007.42236328125}, {3600, -4310, 1716}}));
        d.h.screens.SetRandom(random);
        d.UniformOnTabOne("-4096", "4096", 3);
        d.ChooseNotSaving();
        f->HScroll1->setValue(2);
        d.h.dialogs.shown.clear();
        Click(f->Command4);
        // Its IRR is chosen from every root of its series, not from the
        // incomplete list.
        QCOMPARE(d.h.dialogs.Texts(),
                 QStringList({"Simulation Complete",
                              "1 simulation(s) listed fewer IRRs than their series have in the searched range (two "
                              "roots within one increment, or a root where the present value touches 0 without "
                              "changing sign).\r1 simulation(s) kept the IRR the rule chooses among every root of "
                              "their series in the searched range, refined to full precision, as their listed IRRs "
                              "were incomplete or wrong."}));
    }

    void chosenIrrComesFromTheDialog() {
        Form3Driver d;
        Form3* f = d.f;
        QTemporaryDir dir;
        const QString path = dir.filePath("third.exp");
        ScriptedRandom random(Draws({{3600, -4310, 1716}, {1100, 0, 0}, {2300, -1320, 0}}));
        d.h.screens.SetRandom(random);
        d.UniformOnTabOne("-4096", "4096", 3);
        d.ChooseFile(path);
        f->HScroll1->setValue(3);

        Click(f->Command5);
        d.h.Settle();
        QVERIFY(d.h.Visible(ScreenId::Form4));
        QVERIFY(!f->isVisible());
        Form4* dialog = d.h.screens.Find<Form4>();
        Click(dialog->Option4);  // "3rd Lowest IRR"
        Click(dialog->Check1);
        Click(dialog->Command1);
        d.h.Settle();
        QVERIFY(f->isVisible());
        QCOMPARE(valmora::testing::FocusIn(f), f->Command5);

        d.h.dialogs.shown.clear();
        Click(f->Command4);
        const QString notice = "The 3rd IRR does not exist...\rso the largest IRR will be used";
        QCOMPARE(d.h.dialogs.Texts(), QStringList({notice, notice, "Simulation Complete"}));
        QCOMPARE(d.h.dialogs.shown[0].title, QString("Note!"));
        QList<double> kept;
        for (const QByteArray& line : ReadAll(path).split('\n'))
            if (!line.isEmpty()) kept << line.trimmed().toDouble();
        const QList<double> expected = {0.3, 0.1, 0.2};
        QCOMPARE(kept.size(), expected.size());
        for (int i = 0; i < kept.size(); ++i) QVERIFY(qAbs(kept[i] - expected[i]) < 1e-9);
        QCOMPARE(d.h.ws.IrrChoice, 3);
    }

    void screenTakesNoInputDuringARun() {
        Form3Driver d;
        Form3* f = d.f;
        ScriptedRandom random(Draws({{1100}, {1210}}));
        d.h.screens.SetRandom(random);
        d.UniformOnTabOne("-4096", "4096", 1);
        d.ChooseNotSaving();
        f->HScroll1->setValue(2);
        d.h.ws.IrrChoice = 2;  // one IRR each: a notice for every simulation
        d.h.ws.NotifyOtherIrr = true;
        bool backClicked = false;
        d.h.dialogs.onMessage = [&](const valmora::testing::Shown& shown) {
            if (shown.title != "Note!" || backClicked) return;
            backClicked = true;
            QTest::mouseClick(f->Command1, Qt::LeftButton);
            QTest::keyClick(f, Qt::Key_X, Qt::AltModifier);
            f->close();
        };
        Click(f->Command4);
        d.h.Settle();
        QVERIFY(backClicked);
        QVERIFY(d.h.Visible(ScreenId::Form3));
        QVERIFY(!d.h.Visible(ScreenId::Form2));
        QVERIFY(d.h.dialogs.Texts().endsWith("Simulation Complete"));
        QVERIFY(!d.h.dialogs.ended);
    }

    void unwritableFileStopsTheRun() {
        Form3Driver d;
        const QString path = QDir::tempPath() + "/no-such-folder-for-valmora/irrs.exp";
        d.UniformOnTabOne("500", "1500");
        d.ChooseFile(path);
        d.h.dialogs.shown.clear();
        Click(d.f->Command4);
        QCOMPARE(d.h.dialogs.shown.size(), size_t(1));
        QVERIFY(d.h.dialogs.shown[0].text.contains(path));
        QVERIFY(d.h.dialogs.shown[0].text.contains("No such file or directory"));
        QCOMPARE(d.h.dialogs.shown[0].title, QString("Error!"));
        QCOMPARE(d.h.dialogs.beeps, 0);
    }

    void zeroIncrementIsRefusedAtTheStart() {
        Form3Driver d;
        d.UniformOnTabOne("500", "1500");
        d.ChooseNotSaving();
        valmora::testing::Retype(d.f->Text9, "0");
        d.h.dialogs.shown.clear();
        Click(d.f->Command4);
        QCOMPARE(d.h.dialogs.Texts(),
                 QStringList({"Used to find approximate root locations\rEnter a valid increment (e.g.:0.01)"}));
        QCOMPARE(d.f->Text9->text(), QString("0.01"));
        QCOMPARE(d.f->Command4->text(), QString("Begin Simulation(s)"));
    }

    void leavingTheScreen() {
        {  // Exit, No: nothing happens.
            Form3Driver d;
            d.h.dialogs.answers = {false};
            Click(d.f->Command2);
            QCOMPARE(d.h.dialogs.Texts(), QStringList({"Sure you want to exit this stochastic simulation?"}));
            QCOMPARE(d.h.dialogs.shown[0].title, QString("Confirm"));
            QVERIFY(d.h.Visible(ScreenId::Form3));
        }
        {  // Exit, Yes, Yes: the deterministic screen, the start screen still hidden.
            Form3Driver d;
            d.h.dialogs.answers = {true, true};
            Click(d.f->Command2);
            d.h.Settle();
            QCOMPARE(d.h.dialogs.shown[1].text, QString("Want to solve a determistic problem?"));
            QCOMPARE(d.h.VisibleScreens(), std::vector<ScreenId>{ScreenId::Form1});
            QVERIFY(!d.h.screens.IsLoaded(ScreenId::Form3));
        }
        {  // Exit, Yes, No: the end.
            Form3Driver d;
            d.h.dialogs.answers = {true, false};
            Click(d.f->Command2);
            QVERIFY(d.h.dialogs.ended);
        }
        for (bool byFrame : {false, true}) {  // Back, or closing the window
            Form3Driver d;
            Form2& start = d.h.screens.Get<Form2>();
            start.RevealModeChoice();
            if (byFrame) d.f->close();
            else Click(d.f->Command1);
            d.h.Settle();
            QCOMPARE(d.h.VisibleScreens(), std::vector<ScreenId>{ScreenId::Form2});
            QVERIFY(!start.Option1->isChecked() && !start.Option2->isChecked());
            QCOMPARE(valmora::testing::FocusIn(&start), start.Command2);
            // The stochastic mode again: a fresh screen.
            Click(start.Option2);
            d.h.Settle();
            QCOMPARE(d.h.VisibleScreens(), std::vector<ScreenId>{ScreenId::Form3});
        }
    }

    void reachedFromTheDeterministicScreen() {
        valmora::testing::ScreenHarness h;
        h.screens.Show(ScreenId::Form1);
        h.dialogs.answers = {true, true};
        Click(h.screens.Find<Form1>()->Command2);
        h.Settle();
        QCOMPARE(h.VisibleScreens(), std::vector<ScreenId>{ScreenId::Form3});
        QVERIFY(!h.screens.IsLoaded(ScreenId::Form1));
        QCOMPARE(h.ws.Tolerance, 1e-08);
    }
};

QTEST_MAIN(Form3RunTest)
#include "form3_run_test.moc"
