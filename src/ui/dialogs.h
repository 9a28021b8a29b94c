// Modal message boxes, the beep, the save dialog, starting another program
// and ending this one, behind one interface so that tests can answer and
// record them without a person.
#pragma once

#include <QFileDialog>
#include <QString>

#include <memory>

namespace valmora::ui {

inline const QString kProgramTitle = QStringLiteral("Valmora");

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A message with an OK button; "\r" in the text breaks the line.
    virtual void Message(const QString& text, const QString& title = kProgramTitle) = 0;
    // A Yes/No question; true for Yes. No is the default answer.
    virtual bool AskYesNo(const QString& text, const QString& title) = 0;
    virtual void Beep() = 0;
    // A save dialog; `filter` is "Name (*.ext)|*.ext|..." pairs. Empty when cancelled.
    virtual QString SaveFileName(const QString& title, const QString& folder, const QString& filter) = 0;
    // An open dialog for an existing file; the same filters. Empty when cancelled.
    virtual QString OpenFileName(const QString& title, const QString& folder, const QString& filter) = 0;
    // Starts another program, not waiting for it; false when it could not start.
    virtual bool StartProgram(const QString& path) = 0;
    // Ends this program at once.
    virtual void EndProgram() = 0;
};

// The real ones, with Qt's message boxes and file dialog.
class QtDialogs : public Dialogs {
public:
    void Message(const QString& text, const QString& title) override;
    bool AskYesNo(const QString& text, const QString& title) override;
    void Beep() override;
    QString SaveFileName(const QString& title, const QString& folder, const QString& filter) override;
    QString OpenFileName(const QString& title, const QString& folder, const QString& filter) override;
    bool StartProgram(const QString& path) override;
    void EndProgram() override;
};

// Qt's own file dialog, which never opens a file to look at it: icons and
// type names come from the kind of file alone (folder, file, other), so that
// a pipe or a file such as /proc/kmsg cannot block it.
std::unique_ptr<QFileDialog> NewFileDialog(QFileDialog::AcceptMode mode, const QString& title, const QString& folder,
                                           const QString& filter);

// "Experiments (*.exp)|*.exp|All Files (*.*)|*.*" as Qt writes it:
// "Experiments (*.exp);;All Files (*)".
QString QtFilter(const QString& pairs);

}  // namespace valmora::ui
