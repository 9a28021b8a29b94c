// The About box: which program and version this is, what it does, the terms
// it comes with, and a way into the system's own System Information tool.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/version.h"  // kVersionMajor, kVersionMinor, kVersionRevision
#include "screens/common/screen_manager.h"
#include "ui/screen.h"

class QFrame;
class QLabel;
class QPushButton;

namespace valmora {

namespace sysinfo {
class KeyStore;
}  // namespace sysinfo

class FrmAbout : public ui::Screen {
public:
    static constexpr ScreenId kId = ScreenId::About;
    explicit FrmAbout(ScreenManager& screens);

    void Form_Load() override;

    QWidget* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QLabel* lblDisclaimer;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;
    std::array<QFrame*, 2> Line1;

    // Where "System Info..." looks for the tool: the registry (empty on this
    // platform), whether a file exists, and the full path of a program found
    // on PATH (empty when there is none). Replaceable, for tests.
    sysinfo::KeyStore* Registry;
    std::function<bool(const std::string&)> FileExists;
    std::function<std::string(const std::string&)> FindProgram;

protected:
    // Closing the box by its frame unloads it, as OK does.
    bool FrameClosed() override;

private:
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void StartSysInfo();
    bool GetKeyValue(std::uint32_t KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal);
    // The first of the desktop's system-information programs found, or empty.
    QString DesktopTool() const;

    ScreenManager& screens_;
};

}  // namespace valmora
