#include "ui/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QStringList>

namespace valmora::ui {
namespace {

QWidget* Owner() { return QApplication::activeWindow(); }

QString Lines(QString text) { return text.replace('\r', '\n'); }

}  // namespace

void QtDialogs::Message(const QString& text, const QString& title) {
    QMessageBox::information(Owner(), title, Lines(text), QMessageBox::Ok);
}

bool QtDialogs::AskYesNo(const QString& text, const QString& title) {
    // No is the default: Enter (and Esc) never discard work by accident.
    return QMessageBox::question(Owner(), title, Lines(text), QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

void QtDialogs::Beep() { QApplication::beep(); }

QString QtDialogs::OpenFileName(const QString& title, const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileName(Owner(), title, folder, QtFilter(filter));
}

QString QtDialogs::SaveFileName(const QString& title, const QString& folder, const QString& filter) {
    return QFileDialog::getSaveFileName(Owner(), title, folder, QtFilter(filter));
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
