// The simulation settings and the output file on the second tab of the
// stochastic screen.
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "screens/common/evaluation_screens.h"
#include "screens/common/qt_strings.h"
#include "screens/stochastic/form3.h"
#include "screens/stochastic/form3_boxes.h"
#include "ui/dialogs.h"

namespace valmora {

using form3_boxes::Value;

void Form3::HScroll1_Change() {
    Text6->setText(QString::number(HScroll1->value()));
    Command4->setText("Begin Simulation(s)");
}

void Form3::Text6_Change() {
    if (auto n = ToInt16(Value(Text6->text()))) ws_.NumSimulations = *n;
}

void Form3::Text9_Change() { CheckSearchParameter(screens_, Text9, SearchParameter::Increment); }

void Form3::Text10_Change() { CheckSearchParameter(screens_, Text10, SearchParameter::Tolerance); }

void Form3::Option4_Click() {
    Command3->setEnabled(true);
    Command3->setFocus();
    ws_.SaveToFile = 1;
    fileChosen_ = false;
    Label9->setText("Save to File");
    Label9->setToolTip(QString());
    setWindowTitle("IRR - Stochastic - Save to File");
    Label16->show();
    Text8->show();
    Frame3->setEnabled(false);
    Frame5->setEnabled(false);
}

void Form3::Option5_Click() {
    Command3->setEnabled(false);
    ws_.SaveToFile = 0;
    fileChosen_ = false;
    Label9->setText("DO NOT save IRRs to file");
    Label9->setToolTip(QString());
    setWindowTitle("IRR - Stochastic - Do NOT Save to File");
    Label16->hide();
    Text8->hide();
    Frame3->setEnabled(true);
    Frame5->setEnabled(true);
    Command4->setEnabled(true);
}

void Form3::Command3_Click() {
    // This platform has no "c:\": the dialog starts in the user's home folder.
    const QString path = screens_.Dialogs().SaveFileName("IRR Output File Name", QDir::homePath(), kFileFilter);
    if (path.isEmpty()) {
        Command3->setFocus();
        // A file chosen before stays in force, as the label and caption say.
        if (fileChosen_) {
            screens_.Dialogs().Message("No other file was chosen.\rThe IRRs still go to " + Q(ws_.OutputPath),
                                       "Save to File?");
            return;
        }
        ws_.OutputPath.clear();
        screens_.Dialogs().Message("Select a file", "Save to File?");
        return;
    }
    ws_.OutputPath = Std(path);
    fileChosen_ = true;
    ShowOutputPath(path);
    setWindowTitle("IRR - Stochastic - " + path);
    Frame3->setEnabled(true);
    Frame5->setEnabled(true);
    Command4->setEnabled(true);
    HScroll1->setFocus();
}

// "Output Path\File Name =  " and the path; a path too long for the label
// goes on its second line, elided in the middle, whole in the tool tip.
void Form3::ShowOutputPath(const QString& path) {
    const QString prefix = "Output Path\\File Name =  ";
    const QFontMetrics metrics = Label9->fontMetrics();
    const int room = Label9->contentsRect().width();
    QString text = prefix + path;
    if (metrics.horizontalAdvance(text) > room) text = prefix + "\n" + metrics.elidedText(path, Qt::ElideMiddle, room);
    Label9->setText(text);
    Label9->setToolTip(path);
}

void Form3::Command5_Click() {
    screens_.Show(ScreenId::Form4);
    screens_.Hide(kId);
}

void Form3::ReturnFromIrrSelection() {
    FollowInputs();
    Command5->setFocus();
}

}  // namespace valmora
