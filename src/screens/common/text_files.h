// Saving and opening the small text files the screens write and read: a
// save is whole or not at all, an open reads ordinary files of a bounded
// size, and every failure is told with its cause.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace valmora {

namespace ui {
class Dialogs;
}

// `name` with ".extension" added when it has no extension.
QString WithExtension(QString name, const QString& extension);

// Asks for a file name and writes `bytes`. False when cancelled or when the
// file could not be written (said in a message titled `title`).
bool SaveTextFile(ui::Dialogs& dialogs, const QString& title, const QString& filter, const QString& extension,
                  const QByteArray& bytes);

struct OpenedFile {
    QString path;
    QByteArray bytes;
};

// Asks for a file and reads it whole: an ordinary file of at most `most`
// bytes. Nothing when cancelled or refused (said in a message).
std::optional<OpenedFile> OpenTextFile(ui::Dialogs& dialogs, const QString& title, const QString& filter, qint64 most);

}  // namespace valmora
