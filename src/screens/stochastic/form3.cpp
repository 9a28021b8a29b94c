// The stochastic screen: building it, connecting its controls, loading it
// and leaving it. form3_controls.cpp builds the controls, form3_setup.cpp
// handles the distribution set-up, form3_output.cpp the simulation settings
// and the output file, form3_run.cpp the run.
#include "screens/stochastic/form3.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

#include "core/simulation/simulation_settings.h"
#include "screens/common/evaluation_screens.h"
#include "screens/stochastic/form3_boxes.h"
#include "ui/controls.h"
#include "ui/grid.h"

namespace valmora {

using form3_boxes::Plain;

const QString Form3::kFileFilter = "Experiments (*.exp)|*.exp|Data Files (*.dat)|*.dat|All Files (*.*)|*.*";

Form3::Form3(ScreenManager& screens) : Screen("IRR - Stochastic", 10215, 8580), screens_(screens), ws_(screens.Ws()) {
    BuildFrame();
    BuildHurdle(SSTab1->widget(1));
    Connect();
}

void Form3::Connect() {
    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(Text2, &QLineEdit::textChanged, this, [this] { Text2_Change(); });
    connect(Text13, &QLineEdit::textChanged, this, [this] { Text13_Change(); });
    connect(HScroll2, &QScrollBar::valueChanged, this, [this] { HScroll2_Change(); });
    connect(Text3, &QLineEdit::textChanged, this, [this] { Text3_Change(); });
    connect(Text4, &QLineEdit::textChanged, this, [this] { Text4_Change(); });
    connect(Option1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option1_Click();
    });
    connect(Option2, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option2_Click();
    });
    connect(Option3, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option3_Click();
    });
    connect(Option6, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option6_Click();
    });
    connect(Option7, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option7_Click();
    });
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(SSTab1, &QTabWidget::currentChanged, this, [this] { SSTab1_Click(); });
    connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
    connect(Text6, &QLineEdit::textChanged, this, [this] { Text6_Change(); });
    connect(Text9, &QLineEdit::textChanged, this, [this] { Text9_Change(); });
    connect(Text10, &QLineEdit::textChanged, this, [this] { Text10_Change(); });
    connect(Option4, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option4_Click();
    });
    connect(Option5, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option5_Click();
    });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    // After each input's own handler: the last run's results follow.
    for (QLineEdit* box : {Text1, Text2, Text13, Text3, Text4, Text6, Text9, Text10, Text14})
        connect(box, &QLineEdit::textChanged, this, [this] { FollowInputs(); });
    for (QRadioButton* option : {Option1, Option2, Option3, Option6, Option7})
        connect(option, &QRadioButton::toggled, this, [this] { FollowInputs(); });
    connect(SSTab1, &QTabWidget::currentChanged, this, [this] { FollowInputs(); });
}

void Form3::Form_Load() {
    const SimulationSettings defaults;
    SSTab1->setCurrentIndex(0);
    Label26->hide();
    Text1->setText(Plain(defaults.investment));
    ws_.SimInvestment = defaults.investment;
    ws_.IrrChoice = static_cast<std::int16_t>(defaults.irrRule);
    MSHFlexGrid1->SetCurrent(1, 0);
    MSHFlexGrid2->SetCurrent(0, 0);
    Label13->setText("Initial investment = " + Plain(ws_.SimInvestment));
    Text2->setText(QString::number(defaults.payments));
    ws_.SimNumPayments = static_cast<std::int16_t>(defaults.payments);
    Label14->setText("Number of Payments = " + QString::number(defaults.payments));
    Text6->setText(QString::number(defaults.simulations));
    ws_.NumSimulations = static_cast<std::int16_t>(defaults.simulations);
    Label19->setText("Neg. payments OK");
    ws_.PeriodsPerYear = static_cast<std::int16_t>(defaults.search.periodsPerYear);
    MSHFlexGrid2->SetCols(1);
    ws_.SaveToFile = defaults.saveToFile ? 1 : 0;
    ws_.AllowNegPayments = defaults.allowNegativePayments ? 1 : 0;
    ws_.Tolerance = defaults.search.tolerance;
    ws_.Increment = defaults.search.increment;
    ui::FocusAndSelectAll(Text1);
}

void Form3::showEvent(QShowEvent* event) {
    Screen::showEvent(event);
    PointHintArrowAtTab();
}

void Form3::Command1_Click() { ReturnToStart(screens_, kId); }

void Form3::Command2_Click() {
    ConfirmExit(screens_, kId, "Sure you want to exit this stochastic simulation?",
                "Want to solve a determistic problem?", ScreenId::Form1);
}

// Closing the window by its frame goes back to the start screen.
bool Form3::FrameClosed() {
    Command1_Click();
    return false;
}

}  // namespace valmora
