// Dialogs answered by the test: questions and save dialogs take the answers
// queued beforehand; every message, beep and program start is recorded.
#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

#include "ui/dialogs.h"

namespace valmora::testing {

struct Shown {
    QString text;
    QString title;
    bool question = false;
};

class RecordingDialogs : public ui::Dialogs {
public:
    void Message(const QString& text, const QString& title) override;
    bool AskYesNo(const QString& text, const QString& title) override;
    void Beep() override { ++beeps; }
    QString SaveFileName(const QString& title, const QString& folder, const QString& filter) override;
    bool StartProgram(const QString& path) override;
    void EndProgram() override { ended = true; }

    // Queued answers, used in order.
    std::deque<bool> answers;
    std::deque<QString> fileNames;
    bool startSucceeds = true;
    // Runs while a message is shown, as a person reading it would be
    // looking at the screen behind it.
    std::function<void(const Shown&)> onMessage;

    std::vector<Shown> shown;
    QStringList saveDialogs;  // "title|folder|filter" of each save dialog
    QStringList started;
    int beeps = 0;
    bool ended = false;
    int unexpected = 0;  // questions or dialogs with no answer queued

    // The texts shown, in order.
    QStringList Texts() const;
};

}  // namespace valmora::testing
