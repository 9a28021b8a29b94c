#include "screens/common/text_files.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "ui/dialogs.h"

namespace valmora {

QString WithExtension(QString name, const QString& extension) {
    if (QFileInfo(name).suffix().isEmpty()) name += "." + extension;
    return name;
}

bool SaveTextFile(ui::Dialogs& dialogs, const QString& title, const QString& filter, const QString& extension,
                  const QByteArray& bytes) {
    QString name = dialogs.SaveFileName(title, QString(), filter);
    if (name.isEmpty()) return false;
    name = WithExtension(name, extension);
    // Written beside the old file and renamed over it: a failure leaves the
    // old file as it was.
    QSaveFile file(name);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) return true;
    dialogs.Message("The file " + name + " could not be written: " + file.errorString() + ".", title);
    return false;
}

std::optional<OpenedFile> OpenTextFile(ui::Dialogs& dialogs, const QString& title, const QString& filter, qint64 most) {
    const QString name = dialogs.OpenFileName(title, QString(), filter);
    if (name.isEmpty()) return std::nullopt;
    const QFileInfo info(name);
    QString why;
    if (!info.exists()) why = "there is no such file";
    else if (!info.isFile()) why = "it is not an ordinary file";
    else if (info.size() > most) why = "it is larger than " + QString::number(most / 1024) + " KiB";
    if (why.isEmpty()) {
        QFile file(name);
        if (file.open(QIODevice::ReadOnly)) {
            OpenedFile opened{name, file.read(most + 1)};
            if (opened.bytes.size() <= most && file.error() == QFileDevice::NoError) return opened;
            why = opened.bytes.size() > most ? "it is larger than " + QString::number(most / 1024) + " KiB"
                                             : file.errorString();
        } else {
            why = file.errorString();
        }
    }
    dialogs.Message("The file " + name + " could not be read: " + why + ".", title);
    return std::nullopt;
}

}  // namespace valmora
