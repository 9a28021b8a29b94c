// What the stochastic screen shows around a run: one simulation at a time,
// an honest display after a run that stopped, the output file choice, the
// "Note!" notice that can be silenced, and texts that can be read whole.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include "core/simulation/setup_check.h"
#include "form3_driver.h"
#include "scripted_random.h"
#include "screens/common/notices.h"
#include "screens/stochastic/distribution_pictures.h"
#include "ui/fonts.h"

using namespace valmora;
using valmora::testing::Click;
using valmora::testing::Form3Driver;
using valmora::testing::GridColumn;
using valmora::testing::GridRow;
using valmora::testing::Retype;
using valmora::testing::UniformFor;

namespace {

const QString kNotice = "The 2nd IRR does not exist...\rso the largest IRR will be used";
const QString kSilence = "Do not show this again during this run";

// Uniforms on [-4096, 4096) that draw these one-payment series, then a
// payment of -2048 on every later draw.
class DrawsThenNegative : public RandomPayments {
public:
    explicit DrawsThenNegative(std::vector<double> payments) : RandomPayments(1, clock_) {
        for (double p : payments) uniforms_.push_back(UniformFor(p));
    }
    float NextUniform() override {
        if (uniforms_.empty()) return UniformFor(-2048);
        const float u = uniforms_.front();
        uniforms_.pop_front();
        return u;
    }

private:
    FrozenClock clock_;
    std::deque<float> uniforms_;
};

QStringList FileLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList lines;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.isEmpty()) lines << QString::fromLatin1(line.trimmed());
    return lines;
}

// Normal first, "No - permit only positive payments ", then uniform on
// [-4096, 4096) with one payment: the choice stays while its frame hides.
void PositiveOnlyUniform(Form3Driver& d) {
    Click(d.f->Option2);
    Click(d.f->Option7);
    d.UniformOnTabOne("-4096", "4096", 1);
}

// What the run area shows.
struct RunArea {
    QString caption;
    int progress;
    QStringList payments;  // row 1 of the payment grid, from column 0
    QStringList rates;     // the IRR grid's column
    QString mean;
    QString sent;
};

RunArea Seen(Form3* f) {
    return {f->Command4->text(), f->ProgressBar1->value(), GridRow(f->MSHFlexGrid1, 1), GridColumn(f->MSHFlexGrid2, 0),
            f->Text7->text(),    f->Text8->text()};
}

bool Fits(const QWidget* widget, const QString& text, int margins = 0) {
    return widget->fontMetrics().horizontalAdvance(text) <= widget->contentsRect().width() - margins;
}

}  // namespace

Q_DECLARE_METATYPE(RunArea)

class Form3DisplayTest : public QObject {
    Q_OBJECT

private slots:
    // Whenever the screen is looked at during a run (here: at each notice,
    // which holds the run), caption, progress, series, rates, mean and the
    // IRR sent to the file all belong to the same simulation.
    void oneSimulationOnScreenAtATime() {
        Form3Driver d;
        Form3* f = d.f;
        QTemporaryDir dir;
        DrawsThenNegative random({1100, 1210, 1331});
        d.h.screens.SetRandom(random);
        d.UniformOnTabOne("-4096", "4096", 1);
        d.ChooseFile(dir.filePath("irrs.exp"));
        f->HScroll1->setValue(3);
        d.h.ws.IrrChoice = 2;  // one IRR each: a notice for every simulation
        d.h.ws.NotifyOtherIrr = true;
        std::vector<RunArea> seen;
        d.h.dialogs.onMessage = [&](const valmora::testing::Shown& shown) {
            if (shown.title == "Note!") seen.push_back(Seen(f));
        };
        Click(f->Command4);

        const std::vector<RunArea> expected = {
            {"Iteration = 1", 33, {"-1000.00", "1100.00"}, {"IRRs = 1", "0.1"}, "0.1", "0.1"},
            {"Iteration = 2", 66, {"-1000.00", "1210.00"}, {"IRRs = 1", "0.21"}, "0.155", "0.21"},
            {"Iteration = 3", 100, {"-1000.00", "1331.00"}, {"IRRs = 1", "0.331"}, "0.21367", "0.331"},
        };
        QCOMPARE(seen.size(), expected.size());
        for (std::size_t i = 0; i < seen.size(); ++i) {
            const RunArea& s = seen[i];
            const RunArea& e = expected[i];
            QCOMPARE(s.caption, e.caption);
            QCOMPARE(s.progress, e.progress);
            // While running only the columns in view are written.
            QCOMPARE(s.payments.mid(0, 2), e.payments);
            QCOMPARE(s.rates, e.rates);
            QCOMPARE(s.mean, e.mean);
            QCOMPARE(s.sent, e.sent);
        }
    }

    void runThatStopsLeavesNoStaleDisplay_data() {
        QTest::addColumn<QString>("stop");    // how the run stops
        QTest::addColumn<bool>("runBefore");  // a complete run first, filling the screen
        QTest::addColumn<RunArea>("expected");
        QTest::addColumn<QString>("message");
        const QString noPayment = "No acceptable payment could be drawn: almost every draw was below 0.";
        // Two simulations complete, the third draws nothing acceptable: the
        // second stays on screen, the bar at 2 of 5.
        QTest::newRow("no payment at the third simulation")
            << "no payment" << false
            << RunArea{"Stopped after 2", 40, {"-1000.00", "1210.00"}, {"IRRs = 1", "0.21"}, "0.155", ""} << noPayment;
        // Nothing of this run completed: nothing of the earlier run stays, and
        // the button begins a run again.
        QTest::newRow("no payment at the first simulation, after a run")
            << "no payment" << true << RunArea{"Begin Simulation(s)", 0, {"", ""}, {""}, "", ""} << noPayment;
        QTest::newRow("file that cannot be created, after a run")
            << "file" << true << RunArea{"Begin Simulation(s)", 0, {"", ""}, {""}, "", ""}
            << "The IRR output file " + QDir::tempPath() + "/no-such-folder-for-valmora/irrs.exp cannot be created";
    }

    void runThatStopsLeavesNoStaleDisplay() {
        QFETCH(QString, stop);
        QFETCH(bool, runBefore);
        QFETCH(RunArea, expected);
        QFETCH(QString, message);
        Form3Driver d;
        Form3* f = d.f;
        DrawsThenNegative random(runBefore ? std::vector<double>{1100, 1210, 1331, 1464, 1610}
                                           : std::vector<double>{1100, 1210});
        d.h.screens.SetRandom(random);
        if (stop == "no payment") PositiveOnlyUniform(d);
        else d.UniformOnTabOne("-4096", "4096", 1);
        d.ChooseNotSaving();
        f->HScroll1->setValue(5);
        if (runBefore) {
            Click(f->Command4);
            QCOMPARE(f->Command4->text(), QString("Iteration = 5"));
            QCOMPARE(f->ProgressBar1->value(), 100);
        }
        if (stop == "file") d.ChooseFile(QDir::tempPath() + "/no-such-folder-for-valmora/irrs.exp");
        f->HScroll1->setValue(5);
        d.h.dialogs.shown.clear();
        Click(f->Command4);

        QCOMPARE(d.h.dialogs.shown.size(), size_t(1));
        QVERIFY2(d.h.dialogs.shown[0].text.startsWith(message), qPrintable(d.h.dialogs.shown[0].text));
        QCOMPARE(d.h.dialogs.shown[0].title, QString("Error!"));
        const RunArea s = Seen(f);
        QCOMPARE(s.caption, expected.caption);
        QCOMPARE(f->Label8->text(), QString(expected.caption.startsWith("Stopped") ? "Run stopped" : "Progress Bar"));
        QCOMPARE(s.progress, expected.progress);
        QCOMPARE(s.payments, expected.payments);
        QCOMPARE(s.rates, expected.rates);
        QCOMPARE(s.mean, expected.mean);
        QVERIFY(!QApplication::overrideCursor());

        // The next run starts from a clean display and says nothing of the stop.
        d.ChooseNotSaving();
        DrawsThenNegative fresh({1100});
        d.h.screens.SetRandom(fresh);
        f->HScroll1->setValue(1);
        Click(f->Command4);
        QCOMPARE(f->Label8->text(), QString("Progress Bar"));
        QCOMPARE(f->Command4->text(), QString("Iteration = 1"));
    }

    // The earlier file stays in force when the dialog is cancelled: label,
    // caption and the run all use it.
    void cancelledSaveDialogKeepsTheChosenFile() {
        Form3Driver d;
        Form3* f = d.f;
        QTemporaryDir dir;
        const QString path = dir.filePath("kept.exp");
        DrawsThenNegative random({1100, 1210});
        d.h.screens.SetRandom(random);
        d.UniformOnTabOne("-4096", "4096", 1);
        d.ChooseFile(path);
        f->HScroll1->setValue(2);
        d.h.dialogs.shown.clear();
        d.h.dialogs.fileNames.push_back("");
        Click(f->Command3);

        QCOMPARE(d.h.dialogs.Texts(), QStringList({"No other file was chosen.\rThe IRRs still go to " + path}));
        QCOMPARE(d.h.dialogs.shown[0].title, QString("Save to File?"));
        QCOMPARE(f->Label9->text(), "Output Path\\File Name =  " + path);
        QCOMPARE(f->windowTitle(), "IRR - Stochastic - " + path);
        QCOMPARE(d.h.ws.OutputPath, path.toStdString());
        QVERIFY(f->Frame5->isEnabled() && f->Command4->isEnabled());

        d.h.dialogs.shown.clear();
        Click(f->Command4);
        QCOMPARE(d.h.dialogs.Texts(), QStringList({"Simulation Complete"}));
        QCOMPARE(FileLines(path), QStringList({"0.1", "0.21"}));
    }

    // The refusal of a uniform range below 0 with only positive payments
    // names no control that is hidden for the uniform distribution.
    void messagesPointOnlyAtWhatIsShown() {
        Form3Driver d;
        Form3* f = d.f;
        Click(f->Option2);
        Click(f->Option7);
        Click(f->Option1);
        QVERIFY(!f->Frame6->isVisible());
        Retype(f->Text3, "-100");
        Retype(f->Text4, "0");
        d.ClickTab(1);
        QCOMPARE(f->SSTab1->currentIndex(), 0);
        QCOMPARE(d.h.dialogs.shown.size(), size_t(1));
        const QString text = d.h.dialogs.shown[0].text;
        QVERIFY2(!text.contains("permit negative payments"), qPrintable(text));
        QVERIFY2(text.contains("upper bound"), qPrintable(text));
        QVERIFY(f->Text4->isVisible() && f->Label4->text() == "Upper Bound");
    }

    void negativeUpperBoundCanBeTyped_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("shownPerKey");  // the box after each key of "-5"
        QTest::addColumn<QString>("echo");
        QTest::newRow("uniform upper bound") << 1 << QStringList({"-", "-5"}) << "UB = -5";
        // A standard deviation is never negative: a lone minus is refused.
        QTest::newRow("normal deviation") << 2 << QStringList({"", "5"}) << "SD = 5";
    }

    void negativeUpperBoundCanBeTyped() {
        QFETCH(int, type);
        QFETCH(QStringList, shownPerKey);
        QFETCH(QString, echo);
        Form3Driver d;
        Form3* f = d.f;
        Click(type == 1 ? f->Option1 : f->Option2);
        Retype(f->Text3, type == 1 ? "-10" : "20");
        f->Text4->setFocus();
        QTest::keyClick(f->Text4, '-');
        QCOMPARE(f->Text4->text(), shownPerKey[0]);
        QTest::keyClick(f->Text4, '5');
        QCOMPARE(f->Text4->text(), shownPerKey[1]);
        QCOMPARE(f->Label18->text(), echo);
        d.ClickTab(1);
        QCOMPARE(f->SSTab1->currentIndex(), 1);  // [-10, -5) is a valid uniform range
        QVERIFY(d.h.dialogs.shown.empty());
    }

    void noticeCanBeSilencedForTheRun_data() {
        QTest::addColumn<QList<bool>>("ticks");  // the check box at each notice shown
        QTest::addColumn<int>("notices");
        QTest::newRow("never ticked: every notice") << QList<bool>{} << 3;
        QTest::newRow("ticked at the first") << QList<bool>{true} << 1;
        QTest::newRow("ticked at the second") << QList<bool>{false, true} << 2;
    }

    void noticeCanBeSilencedForTheRun() {
        QFETCH(QList<bool>, ticks);
        QFETCH(int, notices);
        Form3Driver d;
        Form3* f = d.f;
        QTemporaryDir dir;
        const QString path = dir.filePath("second.exp");
        DrawsThenNegative random({1100, 1210, 1331, 1100, 1210, 1331});
        d.h.screens.SetRandom(random);
        d.UniformOnTabOne("-4096", "4096", 1);
        d.ChooseFile(path);
        f->HScroll1->setValue(3);
        d.h.ws.IrrChoice = 2;
        d.h.ws.NotifyOtherIrr = true;
        for (bool tick : ticks) d.h.dialogs.tickCheckBox.push_back(tick);
        d.h.dialogs.shown.clear();
        Click(f->Command4);

        QStringList expected;
        for (int i = 0; i < notices; ++i) expected << kNotice;
        expected << "Simulation Complete";
        QCOMPARE(d.h.dialogs.Texts(), expected);
        for (int i = 0; i < notices; ++i) {
            QCOMPARE(d.h.dialogs.shown[i].title, QString("Note!"));
            QCOMPARE(d.h.dialogs.shown[i].checkBox, kSilence);
        }
        // Silenced or not, every simulation kept the largest IRR.
        QCOMPARE(FileLines(path), QStringList({"0.1", "0.21", "0.331"}));

        // The next run notifies again.
        d.h.dialogs.shown.clear();
        Click(f->Command4);
        QCOMPARE(d.h.dialogs.Texts().count(kNotice), 3);
    }

    // The notice as the program shows it: a message box with the check box,
    // ticked or not by the mouse.
    void noticeBoxCarriesTheCheckBox_data() {
        QTest::addColumn<bool>("tick");
        QTest::newRow("left unticked") << false;
        QTest::newRow("ticked") << true;
    }

    void noticeBoxCarriesTheCheckBox() {
        QFETCH(bool, tick);
        QtDialogsWithNotices dialogs;
        QString title, text, checkText;
        bool checkedAtOpening = true;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            checkText = box->checkBox()->text();
            checkedAtOpening = box->checkBox()->isChecked();
            if (tick) QTest::mouseClick(box->checkBox(), Qt::LeftButton, {}, QPoint(6, box->checkBox()->height() / 2));
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        const bool silenced = dialogs.NoticeWithCheckBox(kNotice, "Note!", kSilence);
        QCOMPARE(title, QString("Note!"));
        QCOMPARE(text, QString("The 2nd IRR does not exist...\nso the largest IRR will be used"));
        QCOMPARE(checkText, kSilence);
        QVERIFY(!checkedAtOpening);
        QCOMPARE(silenced, tick);
    }

    // Labels and captions show their whole text on one line.
    void textsAreReadWhole() {
        Form3Driver d;
        Form3* f = d.f;
        d.UniformOnTabOne("-4096", "4096", 1);
        Click(f->Option4);
        struct Case {
            QWidget* widget;
            QString text;
            int margins;
        };
        const Case cases[] = {
            {f->Label16, "IRRs Sent to File", 0},    {f->Label23, "Mean IRR", 0},
            {f->Label27, "Without an IRR", 0},       {f->Label8, "Run stopped", 0},
            {f->Command4, "Stopped after 10000", 8}, {f->Command4, "Iteration = 10000", 8},
        };
        for (const Case& c : cases)
            QVERIFY2(Fits(c.widget, c.text, c.margins),
                     qPrintable(QString("%1: %2 px in %3")
                                    .arg(c.text)
                                    .arg(c.widget->fontMetrics().horizontalAdvance(c.text))
                                    .arg(c.widget->contentsRect().width())));
        QVERIFY(f->Label16->isVisible());
        QCOMPARE(f->Label16->text(), QString("IRRs Sent to File"));
        // Each heading above its box, its line whole.
        for (auto [label, box] : {std::pair{f->Label23, f->Text7}, {f->Label16, f->Text8}, {f->Label27, f->Text11}}) {
            QVERIFY(!label->geometry().intersects(box->geometry()));
            QVERIFY(label->fontMetrics().height() <= label->height());
        }
    }

    // "1 / (UB - LB)" beside the uniform density is drawn whole.
    void uniformDensityShowsItsWholeFraction() {
        Form3Driver d;
        Form3* f = d.f;
        Click(f->Option1);
        auto* picture = static_cast<UniformDensityPicture*>(f->Image2);
        QVERIFY(picture->isVisible());
        const QRectF span = picture->DenominatorRect();
        QVERIFY(QRectF(picture->rect()).contains(span));
        const QFontMetricsF metrics(ui::Arial(8));
        QVERIFY(metrics.horizontalAdvance("UB - LB") <= span.width());
        // The ink of "UB - LB" spans about its whole advance.
        const QImage image = picture->grab().toImage();
        int left = image.width(), right = -1;
        for (int y = int(span.top()); y < int(span.bottom()); ++y)
            for (int x = 0; x < int(span.right()); ++x)
                if (qGray(image.pixel(x, y)) < 128) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        QVERIFY2(right - left + 1 >= 0.8 * metrics.horizontalAdvance("UB - LB"),
                 qPrintable(QString("ink from %1 to %2").arg(left).arg(right)));
        QVERIFY(left > 0);
    }

    void longOutputPathIsElidedInTheMiddle() {
        Form3Driver d;
        Form3* f = d.f;
        d.UniformOnTabOne("-4096", "4096", 1);
        const QString path = "/home/someone/" + QString("very-long-folder-name/").repeated(8) + "final-irrs.exp";
        d.ChooseFile(path);
        const QStringList lines = f->Label9->text().split('\n');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QString("Output Path\\File Name =  "));
        QVERIFY2(lines[1].startsWith("/home/someone/") && lines[1].endsWith("final-irrs.exp") &&
                     lines[1].contains(QChar(0x2026)),
                 qPrintable(lines[1]));
        for (const QString& line : lines) QVERIFY(Fits(f->Label9, line));
        QVERIFY(2 * f->Label9->fontMetrics().lineSpacing() <= f->Label9->height());
        QCOMPARE(f->Label9->toolTip(), path);
        QCOMPARE(d.h.ws.OutputPath, path.toStdString());

        // A short path is shown whole, as it is.
        d.ChooseFile("/data/irrs.exp");
        QCOMPARE(f->Label9->text(), QString("Output Path\\File Name =  /data/irrs.exp"));
        QCOMPARE(f->Label9->toolTip(), QString("/data/irrs.exp"));
    }

    // A mean too long for its box in "0.#####" is shown in an exponent form
    // that fits, the whole value in the tool tip.
    void meanTooWideShowsAnExponentFormThatFits() {
        Form3Driver d;
        Form3* f = d.f;
        DrawsThenNegative random({1000});
        d.h.screens.SetRandom(random);
        Retype(f->Text1, "0.00000000000000001");  // the IRR is then about 1E+20
        d.UniformOnTabOne("-4096", "4096", 1);
        d.ChooseNotSaving();
        f->HScroll1->setValue(1);
        Click(f->Command4);
        QVERIFY2(f->Text7->text().contains("E+20"), qPrintable(f->Text7->text()));
        QVERIFY(f->fontMetrics().horizontalAdvance(f->Text7->text()) < f->Text7->width());
        // Shortened or not, the box or its tool tip holds the value to 15 digits.
        const QString whole = f->Text7->toolTip().isEmpty() ? f->Text7->text() : f->Text7->toolTip();
        QVERIFY2(qAbs(whole.toDouble() / 1e20 - 1) < 1e-9, qPrintable(whole));

        // A mean that fits is shown as it is, with no tool tip.
        d.ClickTab(0);
        Retype(f->Text1, "1000");
        DrawsThenNegative again({1100});
        d.h.screens.SetRandom(again);
        d.ClickTab(1);
        d.ChooseNotSaving();
        f->HScroll1->setValue(1);
        Click(f->Command4);
        QCOMPARE(f->Text7->text(), QString("0.1"));
        QVERIFY(f->Text7->toolTip().isEmpty());
    }
};

QTEST_MAIN(Form3DisplayTest)
#include "form3_display_test.moc"
