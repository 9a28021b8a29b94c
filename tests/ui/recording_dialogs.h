// Dialogs answered by the test: questions and save dialogs take the answers
// queued beforehand; every message, beep and program start is recorded.
#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

#include "screens/common/notices.h"
#include "ui/dialogs.h"

namespace valmora::testing {

struct Shown {
    QString text;
    QString title;
    bool question = false;
    QString checkBox;  // the check box under a notice's text, if it had one
};

class RecordingDialogs : public ui::Dialogs, public SilenceableNotices {
public:
    void Message(const QString& text, const QString& title) override;
    bool AskYesNo(const QString& text, const QString& title) override;
    void Beep() override { ++beeps; }
    QString SaveFileName(const QString& title, const QString& folder, const QString& filter) override;
    // Takes its answer from `fileNames` too; recorded in `openDialogs`.
    QString OpenFileName(const QString& title, const QString& folder, const QString& filter) override;
    bool StartProgram(const QString& path) override;
    void EndProgram() override { ended = true; }
    // Recorded as a message; ticks the check box when `tickCheckBox` says so
    // (next answer in the queue, unticked when it is empty).
    bool NoticeWithCheckBox(const QString& text, const QString& title, const QString& checkBox) override;

    // Queued answers, used in order.
    std::deque<bool> answers;
    std::deque<QString> fileNames;
    std::deque<bool> tickCheckBox;
    bool startSucceeds = true;
    // Runs while a message is shown, as a person reading it would be
    // looking at the screen behind it.
    std::function<void(const Shown&)> onMessage;

    std::vector<Shown> shown;
    QStringList saveDialogs;  // "title|folder|filter" of each save dialog
    QStringList openDialogs;  // the same for each open dialog
    QStringList started;
    int beeps = 0;
    bool ended = false;
    int unexpected = 0;  // questions or dialogs with no answer queued

    // The texts shown, in order.
    QStringList Texts() const;

private:
    // The next queued file name, as an open or save dialog answers.
    QString NextFileName();
};

}  // namespace valmora::testing
