#include "screens/deterministic/decide_window.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/decision/decision.h"
#include "core/solver/number_format.h"
#include "core/solver/text_rules.h"
#include "screens/common/number_box.h"
#include "screens/common/qt_strings.h"
#include "ui/decimal_separator.h"

namespace valmora {
namespace {

QString Periods(std::optional<int> period) { return period ? QString::number(*period) : QString("none"); }

// An amount as the balances show it, in exponent form when far too long.
QString Amount(double value) {
    const std::string text = FormatBalance(value);
    return Q(text.size() <= 24 ? text : GeneralText(value));
}

}  // namespace

DecideWindow::DecideWindow(ui::Dialogs& dialogs, QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("Decide");
    RatesNote = new QLabel(this);
    HurdleBox = new QLineEdit(this);
    HurdleBox->setPlaceholderText(ui::NumbersInLocale("e.g. 0.15"));
    FinanceBox = new QLineEdit(this);
    FinanceBox->setPlaceholderText("the hurdle rate");
    ReinvestBox = new QLineEdit(this);
    ReinvestBox->setPlaceholderText("the hurdle rate");
    for (QLineEdit* box : {HurdleBox, FinanceBox, ReinvestBox}) {
        AcceptOnlyNumbers(box, dialogs);
        connect(box, &QLineEdit::textChanged, this, [this] { Recompute(); });
    }
    NpvValue = new QLabel(this);
    MirrValue = new QLabel(this);
    PaybackValue = new QLabel(this);
    DiscountedValue = new QLabel(this);
    Irrs = new QTableWidget(0, 4, this);
    Irrs->setHorizontalHeaderLabels({"IRR", "Stream PV at R", "Stream", "Verdict"});
    Irrs->setAccessibleName("IRRs judged at the hurdle rate");
    Irrs->verticalHeader()->hide();
    Irrs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Irrs->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // Tab leaves the table for the next control.
    Irrs->setTabKeyNavigation(false);
    Sentence = new QLabel(this);
    Sentence->setWordWrap(true);
    Sentence->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = Sentence->font();
    bold.setBold(true);
    Sentence->setFont(bold);
    CloseButton = new QPushButton("&Close", this);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);

    auto* inputs = new QFormLayout;
    auto* hurdleLabel = new QLabel("&Hurdle rate R (cost of capital):", this);
    hurdleLabel->setBuddy(HurdleBox);
    inputs->addRow(hurdleLabel, HurdleBox);
    auto* financeLabel = new QLabel("&Finance rate F (negative flows, for MIRR):", this);
    financeLabel->setBuddy(FinanceBox);
    inputs->addRow(financeLabel, FinanceBox);
    auto* reinvestLabel = new QLabel("&Reinvestment rate G (positive flows, for MIRR):", this);
    reinvestLabel->setBuddy(ReinvestBox);
    inputs->addRow(reinvestLabel, ReinvestBox);
    auto* figures = new QFormLayout;
    figures->addRow("NPV at R:", NpvValue);
    figures->addRow("MIRR:", MirrValue);
    figures->addRow("Payback (periods):", PaybackValue);
    figures->addRow("Discounted payback at R:", DiscountedValue);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RatesNote);
    layout->addLayout(inputs);
    layout->addLayout(figures);
    layout->addWidget(Irrs, 1);
    layout->addWidget(Sentence);
    layout->addLayout(buttons);
    resize(560, 460);
    Clear("Enter the hurdle rate: the return the money could earn elsewhere.");
}

void DecideWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) close();
    else QWidget::keyPressEvent(event);
}

void DecideWindow::closeEvent(QCloseEvent* event) {
    if (HurdleChanged) HurdleChanged(std::nullopt);
    QWidget::closeEvent(event);
}

void DecideWindow::SetSeries(std::vector<double> flows, std::vector<double> rates, int periodsPerYear) {
    flows_ = std::move(flows);
    rates_ = std::move(rates);
    periodsPerYear_ = std::max(periodsPerYear, 1);
    RatesNote->setText(
        periodsPerYear_ > 1
            ? QString("Rates are annual (API), with %1 periods a year, as the IRRs are listed.").arg(periodsPerYear_)
            : QString("Rates are per period, as the IRRs are listed."));
    Recompute();
}

void DecideWindow::Clear(const QString& why) {
    for (QLabel* value : {NpvValue, MirrValue, PaybackValue, DiscountedValue}) value->clear();
    Irrs->setRowCount(0);
    Sentence->setText(why);
}

void DecideWindow::Recompute() {
    const auto hurdle = FiniteNumber(TypedNumber(HurdleBox));
    if (HurdleChanged) HurdleChanged(hurdle);
    if (!hurdle) return Clear("Enter the hurdle rate: the return the money could earn elsewhere.");
    DecisionRates rates{*hurdle, *hurdle, *hurdle, periodsPerYear_};
    for (auto [box, rate] : {std::pair{FinanceBox, &rates.finance}, std::pair{ReinvestBox, &rates.reinvest}}) {
        if (box->text().isEmpty()) continue;
        const auto typed = FiniteNumber(TypedNumber(box));
        if (!typed) return Clear("Complete the rate typed, or empty the box to use the hurdle rate.");
        *rate = *typed;
    }
    if (const std::string refusal = CheckDecisionRates(rates); !refusal.empty())
        return Clear(ui::NumbersInLocale(Q(refusal) + "."));
    const Decision d = Decide(flows_, rates_, rates);
    NpvValue->setText(ui::InLocale(Amount(d.npv)) + "  (" + Q(std::string(VerdictText(d.verdict))) + ")");
    MirrValue->setText(d.mirr.rate ? ui::InLocale(FormatRate(*d.mirr.rate)) : Q(d.mirr.refusal));
    PaybackValue->setText(Periods(d.payback));
    DiscountedValue->setText(Periods(d.discountedPayback));
    Irrs->setRowCount(static_cast<int>(d.irrs.size()));
    for (int r = 0; r < static_cast<int>(d.irrs.size()); ++r) {
        const IrrReading& reading = d.irrs[static_cast<std::size_t>(r)];
        const QString cells[] = {
            Q(FormatRate(reading.irr)), Amount(reading.streamPv), Q(std::string(StreamText(reading.stream))),
            Q(std::string(VerdictText(reading.verdict)) + (reading.certain ? "" : " (uncertain)"))};
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem(ui::InLocale(cells[c]));
            item->setTextAlignment(Qt::AlignCenter);
            Irrs->setItem(r, c, item);
        }
    }
    Sentence->setText(ui::NumbersInLocale(Q(DecisionSentence(d))));
}

}  // namespace valmora
