#include "recording_dialogs.h"

namespace valmora::testing {

void RecordingDialogs::Message(const QString& text, const QString& title) {
    shown.push_back({text, title, false, {}});
    if (onMessage) onMessage(shown.back());
}

bool RecordingDialogs::NoticeWithCheckBox(const QString& text, const QString& title, const QString& checkBox) {
    shown.push_back({text, title, false, checkBox});
    if (onMessage) onMessage(shown.back());
    if (tickCheckBox.empty()) return false;
    const bool tick = tickCheckBox.front();
    tickCheckBox.pop_front();
    return tick;
}

bool RecordingDialogs::AskYesNo(const QString& text, const QString& title) {
    shown.push_back({text, title, true, {}});
    if (answers.empty()) {
        ++unexpected;
        return false;
    }
    bool answer = answers.front();
    answers.pop_front();
    return answer;
}

QString RecordingDialogs::OpenFileName(const QString& title, const QString& folder, const QString& filter) {
    openDialogs << title + "|" + folder + "|" + filter;
    return NextFileName();
}

QString RecordingDialogs::SaveFileName(const QString& title, const QString& folder, const QString& filter) {
    saveDialogs << title + "|" + folder + "|" + filter;
    return NextFileName();
}

QString RecordingDialogs::NextFileName() {
    if (fileNames.empty()) {
        ++unexpected;
        return {};
    }
    QString name = fileNames.front();
    fileNames.pop_front();
    return name;
}

bool RecordingDialogs::StartProgram(const QString& path) {
    started << path;
    return startSucceeds;
}

QStringList RecordingDialogs::Texts() const {
    QStringList texts;
    for (const auto& s : shown) texts << s.text;
    return texts;
}

}  // namespace valmora::testing
