#include "screens/common/notices.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>

namespace valmora {

bool QtDialogsWithNotices::NoticeWithCheckBox(const QString& text, const QString& title, const QString& checkBox) {
    QMessageBox box(QMessageBox::Information, title, QString(text).replace('\r', '\n'), QMessageBox::Ok,
                    QApplication::activeWindow());
    auto* check = new QCheckBox(checkBox);
    box.setCheckBox(check);
    box.exec();
    return check->isChecked();
}

bool ShowSilenceableNotice(ui::Dialogs& dialogs, const QString& text, const QString& title, const QString& checkBox) {
    if (auto* notices = dynamic_cast<SilenceableNotices*>(&dialogs))
        return notices->NoticeWithCheckBox(text, title, checkBox);
    dialogs.Message(text, title);
    return false;
}

}  // namespace valmora
