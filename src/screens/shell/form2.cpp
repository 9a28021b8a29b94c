#include "screens/shell/form2.h"

#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

#include "screens/shell/start_pictures.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/focus.h"
#include "ui/fonts.h"
#include "ui/twips.h"

namespace valmora {
namespace {

const QColor kYellow(255, 255, 0);

}  // namespace

Form2::Form2(ScreenManager& screens) : Screen("Start", 9780, 7860), screens_(screens) {
    QWidget* c = Client();

    Label1 = ui::NewLabel(
        c,
        "This program permits a user to calculate the Internal Rate of Return (IRR) for an investment.  "
        "IRR is defined as the rate of interest that equates the present value of the entire series of cash "
        "flows to zero.   Consider the investment shown to the right consisting of an initial investment of "
        "$1,000 returning three equal payments of $500 each.  This simple, pure investment yields a single "
        "IRR = 23.375%",
        240, 120, 6015, 1440, ui::SansSerif(9.75));

    Image2 = new CashFlowDiagram(c);
    ui::Place(Image2, 6480, 120, 3075, 2760);
    Image2->setAccessibleName("Cash-flow diagram: an investment of 1000, then three payments of 500");

    Label4 = ui::NewLabel(
        c,
        "Payments could be deterministic or stochastic.  If the user KNOWS with certainty the payments will be "
        "constant, the IRR problem is deterministic.  If the payments are uncertain but derived from a known "
        "distribution, then the problem becomes stochastic.",
        240, 1800, 6045, 1080, ui::Arial(9.75));

    Label2 = ui::NewLabel(
        c,
        "The program solves the equation shown to the right.    The compounding periods MUST concide with the "
        "payment periods.",
        240, 3120, 3135, 975, ui::SansSerif(9.75));

    Image1 = new EquationPicture(c);
    ui::Place(Image1, 3600, 3000, 5985, 1335);
    Image1->setAccessibleName("The equation solved: the present value of the cash flows equals zero");

    Label3 = ui::NewLabel(
        c,
        "The user may select payments that are deterministic or stochastic.  The stochastic payment selection "
        "will require the user to select either a uniform, normal, or exponential density function (with "
        "associated parameters) in creating the payment schedule.  For a stochastic analysis, the user will have "
        "to output the IRRs to file and then read the file into a probability distribution fitting program to "
        "develop the equation for the IRR  PDF (Probability Density Function).",
        240, 4560, 9375, 1215, ui::SansSerif(9.75));

    Command3 =
        ui::NewButton(c, "More Discussion of IRRs, Types of Investments, and Project Balances", 240, 6000, 9375, 375);

    Frame1 = ui::NewFrame(c, "Payment Generation Method", 2640, 6600, 6495, 1095, ui::SansSerif(9.75, true));
    Frame1->hide();
    Option1 = ui::NewOption(Frame1, "Deterministic (manual)", 720, 480, 2175, 375);
    Option2 = ui::NewOption(Frame1, "Stochastic (select distribution)", 3480, 480, 2655, 375);

    Command1 = ui::NewButton(c, "Continue", 360, 6720, 1335, 375);
    ui::SetFaceColor(Command1, kYellow);
    Command2 = ui::NewButton(c, "E&xit", 360, 7320, 1335, 375);

    MenuBar = new QMenuBar(this);
    QMenu* file = MenuBar->addMenu("&File");
    MExit = file->addAction("E&xit");
    QMenu* about = MenuBar->addMenu("&About");
    MAboutIRR = about->addAction("About Valmora");
    SetMenuBar(MenuBar);

    ui::SetTabOrder({Command1, Option1, Option2, Command2, Command3});
    Command1->setFocus();

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Option1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option1_Click();
    });
    connect(Option2, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option2_Click();
    });
    connect(MExit, &QAction::triggered, this, [this] { MExit_Click(); });
    connect(MAboutIRR, &QAction::triggered, this, [this] { MAboutIRR_Click(); });
}

void Form2::Form_Load() { ui::ClearOptions({Option1, Option2}); }

void Form2::ReturnedTo() {
    Command2->setFocus();
    ui::ClearOptions({Option1, Option2});
}

void Form2::RevealModeChoice() {
    Frame1->show();
    ui::SetFaceColor(Command1, QColor());
    Command1->setEnabled(false);
}

void Form2::Command1_Click() { RevealModeChoice(); }

void Form2::Command2_Click() {
    screens_.Ws().Answer = screens_.Dialogs().AskYesNo("Sure you want to exit?", "Exit?");
    if (screens_.Ws().Answer) screens_.End();
}

void Form2::Command3_Click() { screens_.Show(ScreenId::Form5); }

void Form2::Option1_Click() {
    screens_.Hide(kId);
    screens_.Show(ScreenId::Form1);
}

void Form2::Option2_Click() {
    screens_.Show(ScreenId::Form3);
    screens_.Hide(kId);
}

void Form2::MExit_Click() { screens_.End(); }

void Form2::MAboutIRR_Click() { screens_.Show(ScreenId::About); }

// Closing the start screen by its frame ends the program, as File > Exit does.
bool Form2::FrameClosed() {
    screens_.End();
    return true;
}

}  // namespace valmora
