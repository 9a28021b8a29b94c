// The deterministic screen's series in and out: paste from a spreadsheet,
// open and save a CSV file of the cash flows, copy the result grids and
// export the results.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

#include <cmath>
#include <memory>

#include "core/reading/cash_flow_reader.h"
#include "core/reporting/results_csv.h"
#include "core/solver/text_rules.h"
#include "screens/common/qt_strings.h"
#include "screens/common/text_files.h"
#include "screens/deterministic/form1.h"
#include "ui/decimal_separator.h"
#include "ui/dialogs.h"
#include "ui/grid.h"
#include "ui/up_down.h"

namespace valmora {
namespace {

const QString kSeriesFilter = "Cash flows (*.csv)|*.csv|Text files (*.txt)|*.txt|All Files (*.*)|*.*";
const QString kCsvFilter = "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*";
// A series file of 72 payments is a few KiB; anything near this is not one.
constexpr qint64 kMostSeriesBytes = 1 << 20;

// How the screen reads copied cells and files: one column or one row.
CashFlowReading ScreenReading(const std::string& source) {
    CashFlowReading how;
    how.source = source;
    how.chooseColumn = "copy one column or one row of it";
    how.useDecimalComma = "";
    return how;
}

// Where the locale writes decimal commas, a text is read with them first
// ("1.000,5" is 1000.5), and as the command line reads it when that fails
// ("1716.5"); elsewhere as the command line reads it. A text both ways read,
// to different numbers ("1.000": 1000 or 1?), is refused: a point typed into
// a box is a decimal point, so neither reading can be taken silently.
CashFlowText ReadInLocale(std::string_view bytes, const std::string& source) {
    const CashFlowReading how = ScreenReading(source);
    if (!ui::DecimalComma()) return ReadCashFlowText(bytes, how);
    CashFlowReading comma = how;
    comma.decimalComma = true;
    CashFlowText read = ReadCashFlowText(bytes, comma);
    CashFlowText plain = ReadCashFlowText(bytes, how);
    if (read.Ok() && plain.Ok() && read.values != plain.values) {
        read.values.clear();
        read.error = source +
                     ": its points may be thousands points or decimal points (1.000 is 1000 or 1). Write "
                     "the numbers without thousands points, or with a decimal comma (1000 or 1,5)";
        return read;
    }
    if (read.Ok()) return read;
    return plain.Ok() ? plain : read;
}

QAction* AddAction(QWidget* to, const QString& text, const QList<QKeySequence>& keys, QObject* receiver,
                   std::function<void()> run) {
    auto* action = new QAction(text, to);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WidgetShortcut);
    QObject::connect(action, &QAction::triggered, receiver, std::move(run));
    to->addAction(action);
    return action;
}

QString TooMany(int count, int first) {
    const int room = kMostScreenPayments - first + 1;
    QString text = QString::number(count) + (count == 1 ? " payment" : " payments");
    return (first > 1 ? "From payment " + QString::number(first) + " on, at most " + QString::number(room) +
                            " payments fit, not " + text
                      : "The screen takes at most " + QString::number(kMostScreenPayments) + " payments, not " + text) +
           ": nothing was changed. valmora-cli irr reads series of up to " + QString::number(kMaxPayments) +
           " payments.";
}

}  // namespace

void Form1::BuildSeriesCommands() {
    MSHFlexGrid1->setContextMenuPolicy(Qt::ActionsContextMenu);
    AddAction(MSHFlexGrid1, "&Paste", QKeySequence::keyBindings(QKeySequence::Paste), this,
              [this] { PastePayments(); });
    AddAction(MSHFlexGrid1, "&Open Series...", {}, this, [this] { OpenSeries(); });
    AddAction(MSHFlexGrid1, "&Save Series...", {}, this, [this] { SaveSeries(); });
    for (ui::Grid* grid : {MSHFlexGrid2, MSHFlexGrid4}) {
        grid->setContextMenuPolicy(Qt::ActionsContextMenu);
        AddAction(grid, "&Copy", QKeySequence::keyBindings(QKeySequence::Copy), this, [this, grid] { CopyGrid(grid); });
        exportActions_ << AddAction(grid, "&Export Results...", {}, this, [this] { ExportResults(); });
        exportActions_.back()->setEnabled(false);
    }
    // Anywhere on the screen.
    connect(new QShortcut(QKeySequence::Open, this), &QShortcut::activated, this, [this] { OpenSeries(); });
    connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this, [this] { SaveSeries(); });
    connect(Command6, &QPushButton::clicked, this, [this] { OpenSeries(); });
    connect(Command7, &QPushButton::clicked, this, [this] { SaveSeries(); });
    connect(Command8, &QPushButton::clicked, this, [this] { ExportResults(); });
    Text1->installEventFilter(this);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Text1) return Screen::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
        PasteIntoInvestment();
        return true;
    }
    if (event->type() == QEvent::ContextMenu) {
        std::unique_ptr<QMenu> menu(Text1->createStandardContextMenu());
        // The box's own "Paste" is the action that names the paste keys.
        const QString pasteKeys = "\t" + QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
        for (QAction* action : menu->actions()) {
            if (action->objectName() != "edit-paste" && !action->text().endsWith(pasteKeys)) continue;
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this] { PasteIntoInvestment(); });
        }
        menu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return false;
}

// The numbers on the clipboard, one column or one row; a refusal said.
std::optional<std::vector<double>> Form1::CopiedNumbers() {
    const CashFlowText read = ReadInLocale(Std(QApplication::clipboard()->text()), "the copied text");
    if (read.Ok()) return read.values;
    screens_.Dialogs().Message(Q(read.error), "Paste");
    return std::nullopt;
}

bool Form1::PasteIntoInvestment() {
    const std::optional<std::vector<double>> copied = CopiedNumbers();
    if (!copied) return true;
    const std::vector<double>& values = *copied;
    if (values.size() == 1) {
        // One number goes where the cursor is, as typed.
        const QString before = Text1->text();
        Text1->insert(ui::InLocale(FaithfulText(values[0])));
        if (Text1->text() == before) screens_.Dialogs().Beep();
        return true;
    }
    // Several: the investment (its size: -1000 and 1000 both mean 1000
    // invested) and the payments.
    const int payments = static_cast<int>(values.size()) - 1;
    if (payments > kMostScreenPayments) {
        screens_.Dialogs().Message(TooMany(payments, 1), "Paste");
        return true;
    }
    ShowSeries(std::fabs(values[0]), std::span(values).subspan(1));
    return true;
}

void Form1::PastePayments() {
    const std::optional<std::vector<double>> copied = CopiedNumbers();
    if (!copied) return;
    ui::Grid* grid = MSHFlexGrid1;
    const int first = grid->Row() == 1 && grid->Col() >= 1 ? grid->Col() : 1;
    const int count = static_cast<int>(copied->size());
    const int last = first + count - 1;
    if (last > kMostScreenPayments) {
        screens_.Dialogs().Message(TooMany(count, first), "Paste");
        return;
    }
    if (last > ws_.NumPayments) UpDown1->SetValue(last);
    for (int k = first; k <= last; ++k) {
        grid->SetText(1, k, Q(FaithfulText((*copied)[static_cast<std::size_t>(k - first)])));
        grid->SetCellColor(1, k, QColor(255, 255, 255));
    }
    ForgetResults();
    grid->SetCurrent(1, last);
    EnterPaymentCell();
}

void Form1::ShowSeries(double investment, std::span<const double> payments) {
    UpDown1->SetValue(static_cast<int>(payments.size()));
    Text1->setText(ui::InLocale(FaithfulText(investment)));
    ui::Grid* grid = MSHFlexGrid1;
    for (std::size_t k = 0; k < payments.size(); ++k) {
        const int col = static_cast<int>(k) + 1;
        grid->SetText(1, col, Q(FaithfulText(payments[k])));
        grid->SetCellColor(1, col, QColor(255, 255, 255));
    }
    ForgetResults();
    grid->SetCurrent(1, 1);
    EnterPaymentCell();
    // The next step is "Payments entered...".
    Command1->setFocus();
}

void Form1::OpenSeries() {
    const auto file = OpenTextFile(screens_.Dialogs(), "Open Series", kSeriesFilter, kMostSeriesBytes);
    if (!file) return;
    const std::string bytes = file->bytes.toStdString();
    const CashFlowText read = ReadInLocale(bytes, "the file");
    QString problem;
    const int payments = static_cast<int>(read.values.size()) - 1;
    if (!read.Ok()) problem = Q(read.error);
    else if (payments < 1) problem = "it holds one cash flow: a series is the investment and at least one payment";
    else if (payments > kMostScreenPayments)
        problem = "it holds " + QString::number(payments) + " payments and the screen takes at most " +
                  QString::number(kMostScreenPayments) + ". valmora-cli irr --file reads series of up to " +
                  QString::number(kMaxPayments) + " payments";
    if (!problem.isEmpty()) {
        screens_.Dialogs().Message("The file " + file->path + " was not opened: " + problem + ".", "Open Series");
        return;
    }
    // The file holds P0 as a flow (negative for an investment); the box
    // holds the amount invested.
    ShowSeries(-read.values[0], std::span(read.values).subspan(1));
}

void Form1::SaveSeries() {
    const std::optional<std::vector<double>> series = ReadSeries();
    if (!series) return;
    SaveTextFile(screens_.Dialogs(), "Save Series", kSeriesFilter, "csv",
                 QByteArray::fromStdString(SeriesCsv(*series)));
}

void Form1::CopyGrid(const ui::Grid* grid) {
    QString text;
    for (int r = 0; r < grid->Rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid->Cols(); ++c) cells << grid->Shown(r, c).trimmed();
        text += cells.join('\t') + "\n";
    }
    QApplication::clipboard()->setText(text);
}

void Form1::ExportResults() {
    if (!results_ || !results_->search) return;
    const std::string csv = ResultsCsv(results_->analysis, results_->settings, *results_->search);
    SaveTextFile(screens_.Dialogs(), "Export Results", kCsvFilter, "csv", QByteArray::fromStdString(csv));
}

void Form1::ShowNotes(const QStringList& notes, QString line) {
    if (line.isEmpty() && !notes.isEmpty()) line = notes.front();
    Label15->setToolTip(ui::NumbersInLocale(notes.join("\n")));
    Label15->setText(Label15->fontMetrics().elidedText(ui::NumbersInLocale(line), Qt::ElideRight, Label15->width()));
}

}  // namespace valmora
