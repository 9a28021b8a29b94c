// A notice the user can silence: the message, an OK button and a check box
// under the text ("Do not show this again ..."). Dialogs that can show one
// implement SilenceableNotices beside ui::Dialogs.
#pragma once

#include <QString>

#include "ui/dialogs.h"

namespace valmora {

class SilenceableNotices {
public:
    virtual ~SilenceableNotices() = default;
    // Shows the notice, the check box unticked; true when the user ticked it
    // before closing the notice.
    virtual bool NoticeWithCheckBox(const QString& text, const QString& title, const QString& checkBox) = 0;
};

// Qt's dialogs, whose notice is a message box carrying the check box.
class QtDialogsWithNotices : public ui::QtDialogs, public SilenceableNotices {
public:
    bool NoticeWithCheckBox(const QString& text, const QString& title, const QString& checkBox) override;
};

// The notice through `dialogs` with its check box when they can show one,
// otherwise as a plain message (which cannot be silenced: false).
bool ShowSilenceableNotice(ui::Dialogs& dialogs, const QString& text, const QString& title, const QString& checkBox);

}  // namespace valmora
