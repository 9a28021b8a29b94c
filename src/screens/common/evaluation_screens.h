// What the two evaluation screens share: checking the search parameters as
// they are typed, refusing an increment of 0, and leaving.
#pragma once

#include <QString>

#include "screens/common/screen_manager.h"

class QLineEdit;

namespace valmora {

enum class SearchParameter { Increment, Tolerance };

// Checks the box on every change: a number v with 0 <= v < 1 is stored in
// the workspace; anything else is answered with the parameter's message and
// the box's default, selected so that the next key replaces it, which the
// change then stores.
void CheckSearchParameter(ScreenManager& screens, QLineEdit* box, SearchParameter which);

// An increment of 0 passes the box but cannot advance a search: refuses it
// with the increment's message and puts the default back. True when the
// search may start.
bool IncrementCanAdvance(ScreenManager& screens, QLineEdit* box);

// "<< &Back": the start screen with its mode choice cleared, then `leaving`
// is unloaded.
void ReturnToStart(ScreenManager& screens, ScreenId leaving);

// "E&xit": asks `sure`; on Yes asks `switchTo`; Yes shows `other` and
// unloads `leaving`, No ends the program.
void ConfirmExit(ScreenManager& screens, ScreenId leaving, const QString& sure, const QString& switchTo,
                 ScreenId other);

}  // namespace valmora
