// The stochastic screen's hurdle rate: each simulation's NPV at it, and a
// note after the run on the NPVs and the kept IRRs below it.
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include <algorithm>
#include <cmath>

#include "core/decision/decision.h"
#include "core/solver/number_format.h"
#include "core/solver/text_rules.h"
#include "core/statistics/summary.h"
#include "screens/common/number_box.h"
#include "screens/common/qt_strings.h"
#include "screens/stochastic/form3.h"
#include "ui/controls.h"
#include "ui/decimal_separator.h"
#include "ui/dialogs.h"

namespace valmora {

void Form3::BuildHurdle(QWidget* t) {
    Label29 = ui::NewLabel(t, "Hurdle rate (optional) = ", 6000, 2040, 1815, 285);
    Text15 = ui::NewTextBox(t, "", 7800, 2040, 1575, 285);
    Text15->setToolTip(
        "The cost of capital, per period (annual with periods per year above 1): each simulation's NPV at it");
    Label29->setBuddy(Text15);
    AcceptOnlyNumbers(Text15, screens_.Dialogs());
    setTabOrder(Text14, Text15);
}

bool Form3::ReadHurdle(std::optional<double>& hurdle) {
    hurdle.reset();
    const std::string text = TypedNumber(Text15);
    if (text.empty()) return true;
    const auto rate = FiniteNumber(text);
    std::string refused = rate ? RateRefusal(*rate, ws_.PeriodsPerYear > 0 ? ws_.PeriodsPerYear : 1) : "";
    if (!rate) refused = "complete the number, or empty the box for no hurdle rate";
    if (!refused.empty()) {
        screens_.Dialogs().Message(ui::NumbersInLocale("The hurdle rate: " + Q(refused) + "."), "Error!");
        ui::FocusAndSelectAll(Text15);
        return false;
    }
    hurdle = rate;
    return true;
}

QString Form3::HurdleNote(const RunOutcome& outcome) const {
    if (!run_.settings.hurdle || outcome.npvs.empty()) return {};
    const AmountsSummary amounts = SummariseAmounts(outcome.npvs);
    QString note = "At the hurdle rate " + Q(FormatRate(*run_.settings.hurdle)) + ": mean NPV " +
                   (amounts.finite ? Q(FormatBalance(amounts.finite->mean)) : QString("too large to compute")) +
                   "; NPV < 0 in " + QString::number(amounts.negative) + " of " + QString::number(outcome.npvs.size()) +
                   " simulations";
    if (outcome.withIrr > 0)
        note += "; kept IRR below the rate in " + QString::number(outcome.irrBelowRate) + " of " +
                QString::number(outcome.withIrr);
    return note + ".";
}

}  // namespace valmora
