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
    static constexpr ScreenId kId = ScreenId::About;  // the manager's name for this screen
    explicit FrmAbout(ScreenManager& screens);

    void Form_Load() override;

    QWidget* picIcon;              // the program's icon
    QLabel* lblTitle;              // the program's title
    QLabel* lblVersion;            // "Version " and the three numbers
    QLabel* lblDescription;        // what the program does
    QLabel* lblDisclaimer;         // the terms it comes with
    QPushButton* cmdOK;            // "OK": closes the box
    QPushButton* cmdSysInfo;       // "&System Info...": starts the tool
    std::array<QFrame*, 2> Line1;  // etched rule above the buttons

    // Where "System Info..." looks for the tool: the registry (empty on this
    // platform), whether a file exists, and the full path of a program found
    // on PATH (empty when there is none). Replaceable, for tests.
    sysinfo::KeyStore* Registry;                                 // registry to read the tool's path from
    std::function<bool(const std::string&)> FileExists;          // is there a file at this path
    std::function<std::string(const std::string&)> FindProgram;  // program's full path on PATH, or empty

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

    ScreenManager& screens_;  // unloads the box; dialogs
};

}  // namespace valmora
