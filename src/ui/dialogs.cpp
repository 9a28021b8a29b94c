#include "ui/dialogs.h"

#include <QAbstractFileIconProvider>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStringList>

namespace valmora::ui {
namespace {

QWidget* Owner() { return QApplication::activeWindow(); }

QString Lines(QString text) { return text.replace('\r', '\n'); }

// Icons and type names by the kind of file, from its directory entry alone:
// Qt's own provider reads a file's first bytes to name its type, and reading
// a pipe or a device can wait for ever.
class KindIconProvider : public QAbstractFileIconProvider {
public:
    using QAbstractFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override {
        if (info.isDir()) return icon(info.isRoot() ? Drive : Folder);
        return icon(File);
    }
    QString type(const QFileInfo& info) const override {
        if (info.isDir()) return "Folder";
        if (!info.isFile()) return "Special file";
        return info.suffix().isEmpty() ? QString("File") : info.suffix().toUpper() + " File";
    }
};

QString Chosen(QFileDialog::AcceptMode mode, const QString& title, const QString& folder, const QString& filter) {
    const std::unique_ptr<QFileDialog> dialog = NewFileDialog(mode, title, folder, filter);
    if (dialog->exec() != QDialog::Accepted) return {};
    return dialog->selectedFiles().value(0);
}

}  // namespace

void QtDialogs::Message(const QString& text, const QString& title) {
    // An error looks like one.
    const QMessageBox::Icon icon = title.startsWith("Error") ? QMessageBox::Warning : QMessageBox::Information;
    QMessageBox box(icon, title, Lines(text), QMessageBox::Ok, Owner());
    box.exec();
}

bool QtDialogs::AskYesNo(const QString& text, const QString& title) {
    // No is the default: Enter (and Esc) never discard work by accident.
    return QMessageBox::question(Owner(), title, Lines(text), QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

void QtDialogs::Beep() { QApplication::beep(); }

QString QtDialogs::OpenFileName(const QString& title, const QString& folder, const QString& filter) {
    return Chosen(QFileDialog::AcceptOpen, title, folder, filter);
}

QString QtDialogs::SaveFileName(const QString& title, const QString& folder, const QString& filter) {
    return Chosen(QFileDialog::AcceptSave, title, folder, filter);
}

std::unique_ptr<QFileDialog> NewFileDialog(QFileDialog::AcceptMode mode, const QString& title, const QString& folder,
                                           const QString& filter) {
    static KindIconProvider kinds;
    auto dialog = std::make_unique<QFileDialog>(Owner(), title, folder, QtFilter(filter));
    // The icon provider serves Qt's own dialog only.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::DontUseCustomDirectoryIcons);
    dialog->setIconProvider(&kinds);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    return dialog;
}

bool QtDialogs::StartProgram(const QString& path) { return QProcess::startDetached(path, {}); }

void QtDialogs::EndProgram() { QCoreApplication::exit(0); }

QString QtFilter(const QString& pairs) {
    // Qt reads the patterns inside the parentheses of each name; "*.*" would
    // hide files without an extension here, so it becomes "*".
    const QStringList parts = pairs.split('|');
    QStringList names;
    for (int i = 0; i < parts.size(); i += 2) {
        QString name = parts[i];
        names << name.replace("(*.*)", "(*)");
    }
    return names.join(";;");
}

}  // namespace valmora::ui
