#include "screens/shell/frm_about.h"

#include <QFrame>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

#include "screens/common/qt_strings.h"
#include "screens/shell/system_info.h"
#include "ui/focus.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/fonts.h"
#include "ui/twips.h"

namespace valmora {
namespace {

// The program's icon: a cash-flow diagram in miniature, the investment going
// down from the time axis and three payments coming back up.
class AppIcon : public QWidget {
public:
    explicit AppIcon(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        const double w = box.width();
        const double h = box.height();

        QLinearGradient face(box.topLeft(), box.bottomLeft());
        face.setColorAt(0, QColor(40, 96, 168));
        face.setColorAt(1, QColor(16, 48, 104));
        p.setPen(QPen(QColor(10, 30, 70), 1));
        p.setBrush(face);
        p.drawRoundedRect(box, w * 0.16, h * 0.16);

        // The investment goes down twice as far as each payment comes up.
        const double axis = box.top() + h * 0.40;
        const double up = h * 0.23;
        const double left = box.left() + w * 0.16;
        const double right = box.right() - w * 0.14;
        const double bar = w * 0.11;
        const double step = (right - left - bar) / 3;

        p.setPen(Qt::NoPen);
        p.setBrush(QColor(236, 96, 80));
        p.drawRect(QRectF(left, axis, bar, 2 * up));
        p.setBrush(QColor(255, 208, 64));
        for (int i = 1; i <= 3; ++i) p.drawRect(QRectF(left + i * step, axis - up, bar, up));

        p.setPen(QPen(Qt::white, std::max(1.0, h / 24)));
        p.drawLine(QPointF(box.left() + w * 0.08, axis), QPointF(box.right() - w * 0.06, axis));
    }
};

// The etched separator: a dark line with a light one just below it.
std::array<QFrame*, 2> EtchedLine(QWidget* parent, int x1, int x2, int y) {
    std::array<QFrame*, 2> lines{ui::NewLine(parent, x1, y, x2, y), ui::NewLine(parent, x1, y, x2, y)};
    const QColor colours[] = {QColor(128, 128, 128), QColor(255, 255, 255)};
    for (int i = 0; i < 2; ++i) {
        QPalette palette = lines[i]->palette();
        palette.setColor(QPalette::WindowText, colours[i]);
        lines[i]->setPalette(palette);
    }
    lines[1]->move(lines[0]->x(), lines[0]->y() + 1);
    return lines;
}

sysinfo::KeyStore* NoRegistry() {
    static sysinfo::EmptyKeyStore store;
    return &store;
}

}  // namespace

FrmAbout::FrmAbout(ScreenManager& screens)
    : Screen("About", 6360, 3840),
      Registry(NoRegistry()),
      FileExists([](const std::string& path) { return sysinfo::FileExists(path); }),
      FindProgram([](const std::string& program) { return sysinfo::FindOnPath(program); }),
      screens_(screens) {
    QWidget* c = Client();

    picIcon = new AppIcon(c);
    ui::Place(picIcon, 240, 240, 540, 540);
    picIcon->setAccessibleName("Program icon");

    lblTitle = ui::NewLabel(c, QString(), 1050, 240, 5070, 480, ui::SansSerif(13.5, true));
    lblVersion = ui::NewLabel(c, QString(), 1050, 780, 5070, 255);
    lblDescription = ui::NewLabel(c, "Solves the deterministic and stochastic IRR problem.", 1050, 1125, 5070, 510);

    Line1 = EtchedLine(c, 120, 6240, 1800);

    lblDisclaimer = ui::NewLabel(c,
                                 "Warning: ... Use as is.  No warranty implied.  Let me know if any bugs exist."
                                 "\n\nThe Valmora developers, valmora@example.com",
                                 240, 2040, 4320, 1575);

    cmdOK = ui::NewButton(c, "OK", 4800, 2760, 1320, 375);
    cmdSysInfo = ui::NewButton(c, "&System Info...", 4800, 3240, 1320, 375);

    ui::SetTabOrder({cmdOK, cmdSysInfo});
    cmdOK->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });
}

void FrmAbout::Form_Load() {
    setWindowTitle("About " + ui::kProgramTitle);
    lblVersion->setText("Version " + QString::number(kVersionMajor) + "." + QString::number(kVersionMinor) + "." +
                        QString::number(kVersionRevision));
    lblTitle->setText(ui::kProgramTitle);
}

void FrmAbout::cmdOK_Click() { screens_.Unload(kId); }

void FrmAbout::cmdSysInfo_Click() { StartSysInfo(); }

// The tool named by the registry, by its full path (started without looking
// for it first) or by its folder (only when MSINFO32.EXE is there); else a
// system-information program of the desktop; else a message.
void FrmAbout::StartSysInfo() {
    try {
        QString path;
        if (GetKeyValue(sysinfo::kLocalMachine, Local(sysinfo::kToolKey), Local(sysinfo::kToolValue), path)) {
            // the full path, as it is
        } else if (GetKeyValue(sysinfo::kLocalMachine, Local(sysinfo::kFolderKey), Local(sysinfo::kFolderValue),
                               path) &&
                   FileExists(Local(path + Local(sysinfo::kToolFile)))) {
            path += Local(sysinfo::kToolFile);
        } else {
            path = DesktopTool();
        }
        if (!path.isEmpty() && screens_.Dialogs().StartProgram(path)) return;
    } catch (...) {
        // a lookup that could not be made counts as a tool that is not there
    }
    screens_.Dialogs().Message("System Information Is Unavailable At This Time");
}

bool FrmAbout::GetKeyValue(std::uint32_t KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal) {
    std::string value = Local(KeyVal);
    const bool read = sysinfo::GetKeyValue(*Registry, KeyRoot, Local(KeyName), Local(SubKeyRef), value);
    KeyVal = Local(value);
    return read;
}

QString FrmAbout::DesktopTool() const {
    for (std::string_view tool : sysinfo::kDesktopTools) {
        const std::string path = FindProgram(std::string(tool));
        if (!path.empty()) return Local(path);
    }
    return {};
}

bool FrmAbout::FrameClosed() {
    screens_.Unload(kId);
    return true;
}

}  // namespace valmora
