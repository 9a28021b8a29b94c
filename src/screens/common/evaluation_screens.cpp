#include "screens/common/evaluation_screens.h"

#include <QLineEdit>

#include <cmath>

#include "screens/shell/form2.h"
#include "core/solver/search_settings.h"
#include "core/solver/text_rules.h"
#include "ui/dialogs.h"

namespace valmora {
namespace {

const QString kIncrementMessage = QString::fromStdString(ScreenMessage(SearchSetting::Increment));
const QString kToleranceMessage = QString::fromStdString(ScreenMessage(SearchSetting::Tolerance));

}  // namespace

void CheckSearchParameter(ScreenManager& screens, QLineEdit* box, SearchParameter which) {
    const std::string text = box->text().toStdString();
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
    box->setText(QString::fromStdString(GeneralText(increment ? kDefaultIncrement : kSimulationTolerance)));
}

bool IncrementCanAdvance(ScreenManager& screens, QLineEdit* box) {
    if (IncrementInRange(screens.Ws().Increment)) return true;
    screens.Dialogs().Message(kIncrementMessage, "Error!");
    box->setText(QString::fromStdString(GeneralText(kDefaultIncrement)));
    return false;
}

void ReturnToStart(ScreenManager& screens, ScreenId leaving) {
    screens.Get<Form2>().ReturnFromEvaluation();
    screens.Unload(leaving);
}

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
