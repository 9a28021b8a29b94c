#include "screens/common/evaluation_screens.h"

#include <QLineEdit>

#include <cmath>

#include "screens/common/number_box.h"
#include "screens/common/qt_strings.h"
#include "core/solver/search_settings.h"
#include "core/solver/text_rules.h"
#include "ui/decimal_separator.h"
#include "ui/dialogs.h"

namespace valmora {
namespace {

const QString kIncrementMessage = Q(ScreenMessage(SearchSetting::Increment));
const QString kToleranceMessage = Q(ScreenMessage(SearchSetting::Tolerance));

}  // namespace

void CheckSearchParameter(ScreenManager& screens, QLineEdit* box, SearchParameter which) {
    const std::string text = TypedNumber(box);
    const double value = LeadingValue(text);
    // An increment box may read 0 while a number is typed ("0.05" passes
    // through "0"); a search refuses it (IncrementCanAdvance).
    const bool inRange =
        which == SearchParameter::Increment ? value == 0 || IncrementInRange(value) : ToleranceInRange(value);
    if (IsNumeric(text) && inRange) {
        (which == SearchParameter::Increment ? screens.Ws().Increment : screens.Ws().Tolerance) = value;
        return;
    }
    const bool increment = which == SearchParameter::Increment;
    screens.Dialogs().Message(increment ? kIncrementMessage : kToleranceMessage, "Error!");
    box->setText(ui::InLocale(GeneralText(increment ? kDefaultIncrement : kSimulationTolerance)));
    // Selected, so that the next key typed replaces the default.
    box->selectAll();
}

bool IncrementCanAdvance(ScreenManager& screens, QLineEdit* box) {
    if (IncrementInRange(screens.Ws().Increment)) return true;
    screens.Dialogs().Message(kIncrementMessage, "Error!");
    box->setText(ui::InLocale(GeneralText(kDefaultIncrement)));
    return false;
}

void ReturnToStart(ScreenManager& screens, ScreenId leaving) { screens.Return(ScreenId::Form2, leaving); }

void ConfirmExit(ScreenManager& screens, ScreenId leaving, const QString& sure, const QString& switchTo,
                 ScreenId other) {
    Workspace& ws = screens.Ws();
    ws.Answer = screens.Dialogs().AskYesNo(sure, "Confirm");
    if (!ws.Answer) return;
    ws.Answer = screens.Dialogs().AskYesNo(switchTo, "Confirm");
    if (ws.Answer) {
        screens.Show(other);
        screens.Unload(leaving);
    } else {
        screens.End();
    }
}

}  // namespace valmora
