// The seed box of the stochastic screen: a number makes the run reproducible,
// byte for byte the same file as valmora-cli simulate --seed.
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QTemporaryDir>

#include <sstream>

#include "cli/cli.h"
#include "form3_driver.h"

using namespace valmora;
using valmora::testing::Click;
using valmora::testing::Form3Driver;
using valmora::testing::Retype;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// 60 simulations of three payments uniform on [500, 1500), written to `path`.
void SetUp(Form3Driver& d, const QString& path) {
    d.UniformOnTabOne("500", "1500", 3);
    d.ChooseFile(path);
    d.f->HScroll1->setValue(60);
}

void RunWithSeed(Form3Driver& d, const QString& path, const QString& seed) {
    d.h.dialogs.fileNames.push_back(path);
    Click(d.f->Command3);
    Retype(d.f->Text14, seed);
    d.h.dialogs.shown.clear();
    Click(d.f->Command4);
}

}  // namespace

class Form3SeedTest : public QObject {
    Q_OBJECT

private slots:
    void aSeedGivesTheFileOfTheCommandLine() {
        QTemporaryDir dir;
        Form3Driver d;
        QCOMPARE(d.f->Text14->text(), QString());
        SetUp(d, dir.filePath("screen.exp"));
        RunWithSeed(d, dir.filePath("screen.exp"), "42");
        QCOMPARE(d.h.dialogs.Texts(), QStringList({"Simulation Complete"}));
        RunWithSeed(d, dir.filePath("again.exp"), " 42 ");
        RunWithSeed(d, dir.filePath("other.exp"), "43");

        std::ostringstream out, err;
        std::istringstream in;
        const int status =
            cli::Run({"valmora-cli", "simulate", "--dist", "uniform", "--p1", "500", "--p2", "1500", "--payments", "3",
                      "--sims", "60", "--output", dir.filePath("cli.exp").toStdString(), "--seed", "42"},
                     in, out, err);
        QCOMPARE(status, 0);
        const QByteArray screen = ReadAll(dir.filePath("screen.exp"));
        QCOMPARE(screen.count('\n'), 60);
        QCOMPARE(screen, ReadAll(dir.filePath("cli.exp")));
        QCOMPARE(ReadAll(dir.filePath("again.exp")), screen);
        QVERIFY(ReadAll(dir.filePath("other.exp")) != screen);
    }

    void anEmptySeedUsesTheProgramsGenerator() {
        QTemporaryDir dir;
        Form3Driver d;
        SetUp(d, dir.filePath("a.exp"));
        RunWithSeed(d, dir.filePath("a.exp"), "");
        RunWithSeed(d, dir.filePath("b.exp"), "");
        // The one generator goes on from where the last run left it.
        QCOMPARE(ReadAll(dir.filePath("a.exp")).count('\n'), 60);
        QVERIFY(ReadAll(dir.filePath("a.exp")) != ReadAll(dir.filePath("b.exp")));
    }

    void aDecimalCommaLocaleWritesTheFileOfDecimalCommaCli() {
        // A German desktop: the screen's file uses the locale's decimal
        // comma, as simulate --decimal-comma writes it.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QTemporaryDir dir;
        Form3Driver d;
        SetUp(d, dir.filePath("screen.exp"));
        RunWithSeed(d, dir.filePath("screen.exp"), "42");
        QLocale::setDefault(QLocale::c());
        std::ostringstream out, err;
        std::istringstream in;
        for (const bool comma : {true, false}) {
            std::vector<std::string> args = {
                "valmora-cli", "simulate", "--dist",   "uniform",
                "--p1",        "500",      "--p2",     "1500",
                "--payments",  "3",        "--sims",   "60",
                "--seed",      "42",       "--output", dir.filePath(comma ? "comma.exp" : "point.exp").toStdString()};
            if (comma) args.push_back("--decimal-comma");
            QCOMPARE(cli::Run(args, in, out, err), 0);
        }
        const QByteArray screen = ReadAll(dir.filePath("screen.exp"));
        QCOMPARE(screen.count('\n'), 60);
        QVERIFY(screen.contains(',') && !screen.contains('.'));
        QCOMPARE(screen, ReadAll(dir.filePath("comma.exp")));
        QByteArray points = screen;
        QCOMPARE(points.replace(',', '.'), ReadAll(dir.filePath("point.exp")));
    }

    void aBadSeedIsRefusedBeforeTheRun() {
        QTemporaryDir dir;
        Form3Driver d;
        SetUp(d, dir.filePath("bad.exp"));
        // The command line refuses the same seeds with the same words.
        for (const char* bad : {"abc", "-1", "1.5", "9007199254740992", "12 34", "1e3", "+5"}) {
            RunWithSeed(d, dir.filePath("bad.exp"), bad);
            QCOMPARE(d.h.dialogs.Texts(),
                     QStringList({QString("'") + bad +
                                  "' is not a seed: a seed is a whole number from 0 to 9007199254740991 in digits "
                                  "only. Leave the box empty to seed from the clock."}));
            QCOMPARE(d.h.dialogs.shown[0].title, QString("Error!"));
            QCOMPARE(d.f->Command4->text(), QString("Begin Simulation(s)"));
            QCOMPARE(valmora::testing::FocusIn(d.f), static_cast<QWidget*>(d.f->Text14));
        }
        QVERIFY(!QFile::exists(dir.filePath("bad.exp")));
        RunWithSeed(d, dir.filePath("bad.exp"), "9007199254740991");
        QCOMPARE(d.h.dialogs.Texts(), QStringList({"Simulation Complete"}));
    }
};

QTEST_MAIN(Form3SeedTest)
#include "form3_seed_test.moc"
