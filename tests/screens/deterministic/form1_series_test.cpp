// The deterministic screen's series in and out: paste, open, save, copy and
// export, through keys, menus and the clipboard.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include "core/reporting/results_csv.h"
#include "core/solver/number_format.h"
#include "core/solver/root_location.h"
#include "form1_driver.h"
#include "screens/deterministic/npv_profile_window.h"

using namespace valmora;
using valmora::testing::Click;
using valmora::testing::Form1Driver;
using valmora::testing::GridRow;

namespace {

QAction* MenuAction(QWidget* widget, const QString& text) {
    for (QAction* action : widget->actions())
        if (action->text() == text) return action;
    return nullptr;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList Rates(const ui::Grid* grid) {
    QStringList rates;
    for (int r = 1; r < grid->Rows(); ++r) rates << grid->Text(r, 1);
    return rates;
}

}  // namespace

class Form1SeriesTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void pasteFillsPaymentsFromTheCurrentCell() {
        struct Case {
            const char* name;
            const char* copied;
            int startAt;  // the payment clicked before the paste
            QStringList payments;
            const char* message;  // "" when the paste is taken
        };
        const Case cases[] = {
            {"a column", "3600\n-4310\n1716\n", 1, {"3600", "-4310", "1716"}, ""},
            {"a column with its heading", "Cash flow\r\n3600\r\n-4310\r\n1716\r\n", 1, {"3600", "-4310", "1716"}, ""},
            {"a row from payment 2", "3600\t-4310\t1716", 2, {"500", "3600", "-4310", "1716"}, ""},
            {"a block of two columns",
             "1\t3600\n2\t-4310\n",
             1,
             {"500", "500"},
             "the copied text has 2 columns: copy one column or one row of it"},
            {"not numbers", "3600\nabc\n", 1, {"500", "500"}, "line 2, field 1: 'abc' is not a number"},
            {"thousands separators",
             "\"3,600\"\n",
             1,
             {"500", "500"},
             "line 1, field 1: '3,600' has a comma: write numbers without thousands separators, with a point "
             "before decimals"},
            {"too many",
             nullptr,
             2,
             {"500", "500"},
             "From payment 2 on, at most 71 payments fit, not 72 payments: nothing was changed. valmora-cli irr "
             "reads series of up to 32766 payments."},
        };
        for (const Case& c : cases) {
            Form1Driver d;
            QVERIFY(QTest::qWaitForWindowActive(d.f));
            QVERIFY(QTest::qWaitForWindowActive(d.f));
            d.Evaluate("1000", {"500", "500"});
            Click(d.f->Command5);
            QString copied = c.copied;
            if (!c.copied)
                for (int k = 0; k < 72; ++k) copied += "100\n";
            QApplication::clipboard()->setText(copied);
            Form1Driver::ClickCell(d.f->MSHFlexGrid1, 1, c.startAt);
            QTest::keyClick(d.f->MSHFlexGrid1, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(GridRow(d.f->MSHFlexGrid1, 1), QStringList({"-1000"}) + c.payments);
            QCOMPARE(d.f->Text2->text(), QString::number(c.payments.size()));
            QCOMPARE(d.h.dialogs.Texts(), *c.message ? QStringList({c.message}) : QStringList());
            // A paste taken is one change of the series: its results go.
            const bool taken = !*c.message;
            QCOMPARE(d.f->MSHFlexGrid2->isEnabled(), !taken);
            QCOMPARE(d.f->findChild<NpvProfileWindow*>()->isVisible(), !taken);
            if (taken) QCOMPARE(d.f->MSHFlexGrid1->Col(), int(c.payments.size()));
        }
    }

    void shiftInsertAndTheMenuPasteToo() {
        Form1Driver d;
        QVERIFY(QTest::qWaitForWindowActive(d.f));
        QApplication::clipboard()->setText("250\n-100");
        Form1Driver::ClickCell(d.f->MSHFlexGrid1, 1, 1);
        QTest::keyClick(d.f->MSHFlexGrid1, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(GridRow(d.f->MSHFlexGrid1, 1), QStringList({"-1000", "250", "-100"}));
        QApplication::clipboard()->setText("7");
        Form1Driver::ClickCell(d.f->MSHFlexGrid1, 1, 1);
        QAction* paste = MenuAction(d.f->MSHFlexGrid1, "&Paste");
        QVERIFY(paste);
        QCOMPARE(d.f->MSHFlexGrid1->contextMenuPolicy(), Qt::ActionsContextMenu);
        paste->trigger();
        QCOMPARE(GridRow(d.f->MSHFlexGrid1, 1), QStringList({"-1000", "7", "-100"}));
        // The first key after a paste replaces the pasted number.
        QTest::keyClicks(d.f->MSHFlexGrid1, "8");
        QCOMPARE(d.f->MSHFlexGrid1->Text(1, 1), QString("8"));
    }

    void severalNumbersPastedIntoTheInvestmentAreTheSeries() {
        Form1Driver d;
        QVERIFY(QTest::qWaitForWindowActive(d.f));
        QApplication::clipboard()->setText("-1000\n3600\n-4310\n1716\n");
        d.f->Text1->selectAll();
        QTest::keyClick(d.f->Text1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(d.f->Text1->text(), QString("1000"));
        QCOMPARE(GridRow(d.f->MSHFlexGrid1, 1), QStringList({"-1000", "3600", "-4310", "1716"}));
        QCOMPARE(d.f->Text2->text(), QString("3"));
        // 1000 first means 1000 invested as well.
        QApplication::clipboard()->setText("1000\t500");
        QTest::keyClick(d.f->Text1, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(GridRow(d.f->MSHFlexGrid1, 1), QStringList({"-1000", "500"}));
        // So does "Paste" of the box's context menu.
        QApplication::clipboard()->setText("-500\n600");
        QTimer::singleShot(0, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            for (QAction* action : menu->actions())
                if (action->text().startsWith("&Paste")) action->trigger();
            menu->close();
        });
        QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(5, 5), d.f->Text1->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(d.f->Text1, &menuEvent);
        QCOMPARE(d.f->Text1->text(), QString("500"));
        QCOMPARE(GridRow(d.f->MSHFlexGrid1, 1), QStringList({"-500", "600"}));
        // One number is pasted where the cursor is, as if typed.
        QApplication::clipboard()->setText("2500\n");
        d.f->Text1->selectAll();
        QTest::keyClick(d.f->Text1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(d.f->Text1->text(), QString("2500"));
        QCOMPARE(d.f->MSHFlexGrid1->Text(1, 0), QString("-2500"));
        // A number too large for a double is refused with a message, the box kept.
        QApplication::clipboard()->setText("1e400");
        d.f->Text1->selectAll();
        QTest::keyClick(d.f->Text1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(d.f->Text1->text(), QString("2500"));
        QCOMPARE(d.h.dialogs.Texts(), QStringList({"line 1, field 1: '1e400' is too large"}));
    }

    void sixtyPastedValuesGiveTheRatesOfTheCommandLine() {
        // A column copied from a spreadsheet: a heading, the investment as a
        // negative flow and 60 payments with several sign changes.
        QByteArray column = "Cash flow\r\n-1000\r\n";
        for (int k = 1; k <= 60; ++k)
            column += QByteArray::number(k <= 40 ? 120 : k <= 50 ? -300 : k < 60 ? 200 : -2500) + "\r\n";
        const QString file = dir.filePath("sixty.csv");
        Write(file, column);

        Form1Driver d;
        QVERIFY(QTest::qWaitForWindowActive(d.f));
        QApplication::clipboard()->setText(QString::fromUtf8(column));
        d.f->Text1->selectAll();
        QTest::keyClick(d.f->Text1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(d.f->Text2->text(), QString("60"));
        Click(d.f->Command1);
        Click(d.f->Command3);

        QProcess cli;
        cli.start(VALMORA_CLI, {"irr", "--json", "--file", file});
        QVERIFY(cli.waitForFinished(30000));
        QCOMPARE(cli.exitCode(), 0);
        const QJsonObject json = QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
        QStringList expected;
        for (const QJsonValue rate : json["irrs"].toArray())
            expected << QString::fromStdString(FormatRate(rate.toDouble()));
        QVERIFY(expected.size() >= 1);
        QCOMPARE(Rates(d.f->MSHFlexGrid2), expected);
        QCOMPARE(json["payments"].toInt(), 60);
    }

    void openThenSaveGivesTheSameBytes() {
        const QString opened = dir.filePath("series.csv");
        const QString saved = dir.filePath("again");  // ".csv" is added
        const QByteArray bytes = "-1000\n3600\n-4310\n1716.25\n0.1\n1e+300\n0.12345678901234568\n";
        Write(opened, bytes);
        Form1Driver d;
        QVERIFY(QTest::qWaitForWindowActive(d.f));
        d.h.dialogs.fileNames = {opened, saved};
        QTest::keyClick(d.f, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(d.f->Text1->text(), QString("1000"));
        QCOMPARE(GridRow(d.f->MSHFlexGrid1, 1),
                 QStringList({"-1000", "3600", "-4310", "1716.25", "0.1", "1E+300", "0.12345678901234568"}));
        QCOMPARE(valmora::testing::FocusIn(d.f), static_cast<QWidget*>(d.f->Command1));
        QTest::keyClick(d.f, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(ReadAll(saved + ".csv"), bytes);
        QCOMPARE(d.h.dialogs.openDialogs.size(), 1);
        QCOMPARE(d.h.dialogs.saveDialogs.size(), 1);
        QVERIFY(d.h.dialogs.shown.empty());
    }

    void aSeriesTheScreenCannotTakeIsRefused() {
        struct Case {
            const char* name;
            QByteArray bytes;
            const char* says;
        };
        QByteArray long73 = "-1000\n";
        for (int k = 0; k < 73; ++k) long73 += "10\n";
        const Case cases[] = {
            {"too long", long73,
             "it holds 73 payments and the screen takes at most 72. valmora-cli irr --file reads series of up to "
             "32766 payments."},
            {"one flow", "-1000\n", "it holds one cash flow: a series is the investment and at least one payment."},
            {"not a number", "-1000\n5x0\n", "line 2, field 1: '5x0' is not a number."},
            {"a table", "1;-1000\n2;500\n", "the file has 2 columns: copy one column or one row of it."},
        };
        for (const Case& c : cases) {
            const QString path = dir.filePath(QString(c.name) + ".csv");
            Write(path, c.bytes);
            Form1Driver d;
            QVERIFY(QTest::qWaitForWindowActive(d.f));
            QVERIFY(QTest::qWaitForWindowActive(d.f));
            d.h.dialogs.fileNames = {path};
            Click(d.f->Command6);
            QCOMPARE(d.h.dialogs.Texts(), QStringList({"The file " + path + " was not opened: " + c.says}));
            QCOMPARE(GridRow(d.f->MSHFlexGrid1, 1), QStringList({"-1000", ""}));
        }
        // A file that is not there, or not a file.
        Form1Driver d;
        QVERIFY(QTest::qWaitForWindowActive(d.f));
        d.h.dialogs.fileNames = {dir.filePath("none.csv"), dir.path()};
        Click(d.f->Command6);
        Click(d.f->Command6);
        QCOMPARE(d.h.dialogs.Texts(),
                 QStringList({"The file " + dir.filePath("none.csv") + " could not be read: there is no such file.",
                              "The file " + dir.path() + " could not be read: it is not an ordinary file."}));
    }

    void savingAsksForWhatIsMissingAndTellsWhyItFails() {
        Form1Driver d;
        QVERIFY(QTest::qWaitForWindowActive(d.f));
        // A payment not typed yet: nothing to save.
        Click(d.f->Command7);
        QCOMPARE(d.h.dialogs.Texts(), QStringList({"Please fill payment(s)!"}));
        QCOMPARE(d.h.dialogs.saveDialogs.size(), 0);
        d.h.dialogs.shown.clear();
        Form1Driver::ClickCell(d.f->MSHFlexGrid1, 1, 1);
        QTest::keyClicks(d.f->MSHFlexGrid1, "1100");
        d.h.dialogs.fileNames = {dir.filePath("no/such/folder/s.csv")};
        Click(d.f->Command7);
        QCOMPARE(d.h.dialogs.shown.size(), 1u);
        QVERIFY(d.h.dialogs.shown[0].text.startsWith("The file " + dir.filePath("no/such/folder/s.csv") +
                                                     " could not be written: "));
        QCOMPARE(d.h.dialogs.shown[0].title, QString("Save Series"));
    }

    void copyTheResultGridsAsTabSeparatedText() {
        Form1Driver d;
        QVERIFY(QTest::qWaitForWindowActive(d.f));
        d.Evaluate("1000", {"3600", "-4310", "1716"});
        d.f->MSHFlexGrid2->setFocus();
        QTest::keyClick(d.f->MSHFlexGrid2, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("#\tValue\n1\t0.3\n2\t0.2\n3\t0.1\n"));
        Form1Driver::ClickCell(d.f->MSHFlexGrid2, 2, 1);
        QAction* copy = MenuAction(d.f->MSHFlexGrid4, "&Copy");
        QVERIFY(copy);
        copy->trigger();
        QCOMPARE(QApplication::clipboard()->text(),
                 QString("0.2\tPB(n)\n0\t-1000.00\n1\t2400.00\n2\t-1430.00\n3\t0.00\n"));
    }

    void exportWritesTheResultsOfTheSeriesOnScreen() {
        Form1Driver d;
        QVERIFY(QTest::qWaitForWindowActive(d.f));
        QVERIFY(!d.f->Command8->isEnabled());
        d.Evaluate("1000", {"3600", "-4310", "1716"});
        QVERIFY(d.f->Command8->isEnabled());
        QVERIFY(MenuAction(d.f->MSHFlexGrid2, "&Export Results...")->isEnabled());
        const QString path = dir.filePath("results.csv");
        d.h.dialogs.fileNames = {path};
        Click(d.f->Command8);
        const std::vector<double> flows = {-1000, 3600, -4310, 1716};
        const CashFlowAnalysis analysis = AnalyseCashFlows(flows);
        const SearchSettings settings{0.01, 1e-7, 1};
        const std::string expected = ResultsCsv(analysis, settings, LocateRoots(analysis, settings));
        QCOMPARE(ReadAll(path), QByteArray::fromStdString(expected));
        QCOMPARE(d.h.dialogs.saveDialogs, QStringList({"Export Results||CSV Files (*.csv)|*.csv|All Files (*.*)|*.*"}));
        // Results of a series no longer on screen cannot be exported.
        Form1Driver::ClickCell(d.f->MSHFlexGrid1, 1, 1);
        QTest::keyClicks(d.f->MSHFlexGrid1, "3");
        QVERIFY(!d.f->Command8->isEnabled());
        QVERIFY(!MenuAction(d.f->MSHFlexGrid2, "&Export Results...")->isEnabled());
    }
};

QTEST_MAIN(Form1SeriesTest)
#include "form1_series_test.moc"
