// The contrast ratio text is judged by, and the colours chosen with it.
#include <QColor>
#include <QTest>

#include "ui/contrast.h"

using valmora::ui::ContrastRatio;
using valmora::ui::DisabledText;
using valmora::ui::ReadableText;
using valmora::ui::ReadableVariant;
using valmora::ui::RelativeLuminance;

class ContrastTest : public QObject {
    Q_OBJECT

private slots:
    void ratiosOfKnownPairs() {
        struct Case {
            const char* name;
            QColor a;
            QColor b;
            double ratio;
        };
        const Case cases[] = {
            {"black on white", QColor(0, 0, 0), QColor(255, 255, 255), 21.0},
            {"a colour on itself", QColor(255, 255, 0), QColor(255, 255, 0), 1.0},
            {"white on yellow", QColor(255, 255, 255), QColor(255, 255, 0), 1.07},
            {"black on yellow", QColor(0, 0, 0), QColor(255, 255, 0), 19.56},
            {"white on light green", QColor(255, 255, 255), QColor(128, 255, 128), 1.27},
            {"white on light yellow", QColor(255, 255, 255), QColor(255, 255, 128), 1.06},
            {"white on blue", QColor(255, 255, 255), QColor(0, 0, 255), 8.59},
            {"#767676 on white, just readable", QColor(0x76, 0x76, 0x76), QColor(255, 255, 255), 4.54},
            {"#777777 on white, just not", QColor(0x77, 0x77, 0x77), QColor(255, 255, 255), 4.48},
        };
        for (const Case& c : cases) {
            QVERIFY2(qAbs(ContrastRatio(c.a, c.b) - c.ratio) < 0.01, c.name);
            QVERIFY2(qAbs(ContrastRatio(c.b, c.a) - c.ratio) < 0.01, c.name);  // either way round
        }
        QCOMPARE(RelativeLuminance(QColor(0, 0, 0)), 0.0);
        QCOMPARE(RelativeLuminance(QColor(255, 255, 255)), 1.0);
    }

    void textOnAFace() {
        struct Case {
            const char* name;
            QColor face;
            QColor preferred;
            QColor chosen;
        };
        const QColor black(0, 0, 0), white(255, 255, 255);
        const Case cases[] = {
            {"the palette's black on yellow", QColor(255, 255, 0), black, black},
            {"a dark palette's white on yellow", QColor(255, 255, 0), white, black},
            {"white on green", QColor(128, 255, 128), white, black},
            {"black on blue", QColor(0, 0, 255), black, white},
            {"no preference on blue", QColor(0, 0, 255), QColor(), white},
            {"a grey that reads on white", white, QColor(0x76, 0x76, 0x76), QColor(0x76, 0x76, 0x76)},
            {"a grey that does not", white, QColor(0x77, 0x77, 0x77), black},
            {"a mid grey face", QColor(119, 119, 119), white, black},
        };
        for (const Case& c : cases) {
            QVERIFY2(ReadableText(c.face, c.preferred) == c.chosen, c.name);
            QVERIFY2(ContrastRatio(ReadableText(c.face, c.preferred), c.face) >= 4.5, c.name);
        }
        // Every face has a readable text colour.
        for (int grey = 0; grey < 256; grey += 5)
            QVERIFY(ContrastRatio(ReadableText(QColor(grey, grey, grey)), QColor(grey, grey, grey)) >= 4.5);
    }

    void aColourMadeReadableKeepsItsHue() {
        struct Case {
            const char* name;
            QColor wanted;
            QColor background;
            double ratio;
        };
        const Case cases[] = {
            {"dark red on a dark window", QColor(160, 0, 0), QColor(53, 53, 53), 4.5},
            {"dark red on a light window", QColor(160, 0, 0), QColor(239, 239, 239), 4.5},
            {"light blue on white", QColor(120, 170, 255), QColor(255, 255, 255), 4.5},
            {"a blue line on black", QColor(20, 70, 160), QColor(0, 0, 0), 3.0},
        };
        for (const Case& c : cases) {
            const QColor made = ReadableVariant(c.wanted, c.background, c.ratio);
            QVERIFY2(ContrastRatio(made, c.background) >= c.ratio, c.name);
            if (ContrastRatio(c.wanted, c.background) >= c.ratio) QVERIFY2(made == c.wanted, c.name);
            else QVERIFY2(qAbs(made.hsvHue() - c.wanted.hsvHue()) <= 2, c.name);
        }
        // Just enough: one step less would not read.
        const QColor made = ReadableVariant(QColor(160, 0, 0), QColor(53, 53, 53));
        QVERIFY(made.red() > 160 && made.red() < 255);
    }

    void disabledTextIsFaintButThere() {
        for (const QColor& face : {QColor(255, 255, 0), QColor(128, 255, 128), QColor(0, 0, 255)}) {
            const QColor text = ReadableText(face);
            const double faint = ContrastRatio(DisabledText(text, face), face);
            QVERIFY(faint < ContrastRatio(text, face));
            QVERIFY(faint > 1.5);
        }
    }
};

QTEST_APPLESS_MAIN(ContrastTest)
#include "contrast_test.moc"
