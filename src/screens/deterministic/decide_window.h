// "Decide...": the series on the deterministic screen judged at a hurdle rate
// R (the cost of capital): its NPV, MIRR with finance and reinvestment rates
// (the hurdle rate unless given), payback and discounted payback, and every
// listed IRR read as the return on its own investment stream, with the
// verdict it gives, which is always NPV's.
#pragma once

#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace valmora {

namespace ui {
class Dialogs;
}

class DecideWindow : public QWidget {
    Q_OBJECT
public:
    explicit DecideWindow(ui::Dialogs& dialogs, QWidget* parent = nullptr);

    // The series (P0..PN) and its listed rates, annual when `periodsPerYear`
    // is more than 1; the figures follow at once.
    void SetSeries(std::vector<double> flows, std::vector<double> rates, int periodsPerYear);

    // Called with the hurdle rate whenever it changes; nothing while the box
    // holds no number.
    std::function<void(std::optional<double>)> HurdleChanged;

    QLabel* RatesNote;         // per period, or annual with M periods a year
    QLineEdit* HurdleBox;      // R
    QLineEdit* FinanceBox;     // F; empty: R
    QLineEdit* ReinvestBox;    // G; empty: R
    QLabel* NpvValue;          // NPV at R
    QLabel* MirrValue;         // MIRR at F and G, or why there is none
    QLabel* PaybackValue;      // the first period the cumulative flow reaches 0
    QLabel* DiscountedValue;   // the same, discounted at R
    QTableWidget* Irrs;        // every IRR: its stream's present value, kind and verdict
    QLabel* Sentence;          // the decision in one sentence
    QPushButton* CloseButton;  // "&Close"; Esc does the same

protected:
    // The hurdle rate leaves the NPV profile with the window.
    void closeEvent(QCloseEvent* event) override;
    // Esc closes the window.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Recompute();
    void Clear(const QString& why);

    std::vector<double> flows_;
    std::vector<double> rates_;
    int periodsPerYear_ = 1;
};

}  // namespace valmora
