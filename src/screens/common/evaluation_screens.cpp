#include "screens/common/evaluation_screens.h"

#include <QLineEdit>

#include <cmath>

#include "screens/shell/form2.h"
#include "core/solver/text_rules.h"
#include "ui/dialogs.h"

namespace valmora {
namespace {

const QString kIncrementMessage = "Used to find approximate root locations\rEnter a valid increment (e.g.:0.01)";
const QString kToleranceMessage = "Used by Newton's Method to find roots\rEnter a valid tolerance (e.g.:0.0000001)";

}  // namespace

void CheckSearchParameter(ScreenManager& screens, QLineEdit* box, SearchParameter which) {
    const std::string text = box->text().toStdString();
    const double value = LeadingValue(text);
    if (IsNumeric(text) && value >= 0 && value < 1) {
        (which == SearchParameter::Increment ? screens.Ws().Increment : screens.Ws().Tolerance) = value;
        return;
    }
    const bool increment = which == SearchParameter::Increment;
    screens.Dialogs().Message(increment ? kIncrementMessage : kToleranceMessage, "Error!");
    box->setText(QString::fromStdString(GeneralText(increment ? 0.01 : 0.00000001)));
    // Selected, so that the next key typed replaces the default.
    box->selectAll();
}

bool IncrementCanAdvance(ScreenManager& screens, QLineEdit* box) {
    if (screens.Ws().Increment > 0) return true;
    screens.Dialogs().Message(kIncrementMessage, "Error!");
    box->setText("0.01");
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
