#include "ui/controls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include <vector>

#include "ui/button.h"
#include "ui/contrast.h"
#include "ui/fonts.h"
#include "ui/grid.h"
#include "ui/twips.h"

namespace valmora::ui {
namespace {

// Keeps a text box readable when its text is wider than the box: a box
// that only shows results, and any box once the focus has left it, shows the
// start of the text (a number's leading digits, not its last ones), and the
// tool tip holds the whole text. A tool tip the box was given for itself is
// left alone. A box being typed into keeps its cursor where the typing is.
class StartOfTextShown : public QObject {
public:
    explicit StartOfTextShown(QLineEdit* edit) : QObject(edit), edit_(edit) {
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textChanged, this, [this] { Update(); });
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) {
            // A message box or menu over the box leaves its cursor alone.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) edit_->setCursorPosition(0);
        } else if (event->type() == QEvent::Resize || event->type() == QEvent::FontChange) {
            Update();
        }
        return false;
    }

private:
    void Update() {
        if (!edit_->isEnabled() || edit_->isReadOnly()) edit_->setCursorPosition(0);
        const QString tip = edit_->toolTip();
        if (!tip.isEmpty() && tip != shownTip_) return;
        const int frame = edit_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit_);
        const QMargins margins = edit_->textMargins();
        const int room = edit_->width() - 2 * (frame + 2) - margins.left() - margins.right();
        shownTip_ = edit_->fontMetrics().horizontalAdvance(edit_->text()) > room ? edit_->text() : QString();
        edit_->setToolTip(shownTip_);
    }

    QLineEdit* edit_;
    QString shownTip_;
};

// Keeps a widget's text colour readable against what it stands on, through
// changes of the palette.
class ReadableTextColor : public QObject {
public:
    ReadableTextColor(QWidget* widget, const QColor& wanted) : QObject(widget), widget_(widget), wanted_(wanted) {
        widget->installEventFilter(this);
    }

    void Want(const QColor& wanted) {
        wanted_ = wanted;
        Apply();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (!applying_ &&
            (type == QEvent::PaletteChange || type == QEvent::ApplicationPaletteChange || type == QEvent::ParentChange))
            Apply();
        return false;
    }

private:
    // The widget's own background when it paints one, else its parent's.
    QColor Background() const {
        const QWidget* under = widget_;
        while (!under->autoFillBackground() && under->parentWidget() && !under->isWindow())
            under = under->parentWidget();
        return under->palette().color(under->backgroundRole());
    }

    void Apply() {
        applying_ = true;
        const QColor back = Background();
        const QColor text = ReadableVariant(wanted_, back);
        QPalette palette = widget_->palette();
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
            palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(QPalette::Disabled, QPalette::WindowText, DisabledText(text, back));
        widget_->setPalette(palette);
        applying_ = false;
    }

    QWidget* widget_;
    QColor wanted_;
    bool applying_ = false;
};

// A widget with a style sheet keeps the palette it had when the sheet was
// applied, and hears nothing of a new one: the application's windows do.
// When one of them does (a light theme, a dark one), the sheets of the
// widgets inside it are applied again, once the window has taken the new
// palette, so that they and their controls follow.
class StyleSheetsFollowPalette : public QObject {
public:
    static void Add(QWidget* widget) {
        static QPointer<StyleSheetsFollowPalette> follower;
        if (!follower) {
            follower = new StyleSheetsFollowPalette(qApp);
            qApp->installEventFilter(follower);
        }
        follower->widgets_.push_back(widget);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ApplicationPaletteChange || !watched->isWidgetType() ||
            !static_cast<QWidget*>(watched)->isWindow())
            return false;
        QMetaObject::invokeMethod(
            this, [this, window = QPointer<QObject>(watched)] { Reapply(window); }, Qt::QueuedConnection);
        return false;
    }

private:
    using QObject::QObject;

    void Reapply(const QPointer<QObject>& window) {
        std::erase_if(widgets_, [](const QPointer<QWidget>& w) { return w.isNull(); });
        for (const QPointer<QWidget>& w : widgets_)
            if (window && w->window() == window) w->setStyleSheet(w->styleSheet());
    }

    std::vector<QPointer<QWidget>> widgets_;
};

// Sets `role` to `face` and `textRole` to a colour that reads on it.
void SetFaceAndText(QWidget* widget, QPalette::ColorRole role, QPalette::ColorRole textRole, const QColor& face) {
    QPalette palette = widget->palette();
    const QColor text = ReadableText(face, QApplication::palette(widget).color(textRole));
    palette.setColor(role, face);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) palette.setColor(group, textRole, text);
    palette.setColor(QPalette::Disabled, textRole, DisabledText(text, face));
    widget->setPalette(palette);
}

}  // namespace

QLabel* NewLabel(QWidget* parent, const QString& text, int left, int top, int width, int height) {
    return NewLabel(parent, text, left, top, width, height, SansSerif());
}

QLabel* NewLabel(QWidget* parent, const QString& text, int left, int top, int width, int height, const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(label, left, top, width, height);
    return label;
}

QLineEdit* NewTextBox(QWidget* parent, const QString& text, int left, int top, int width, int height) {
    auto* edit = new QLineEdit(text, parent);
    edit->setFont(SansSerif());
    edit->setAlignment(Qt::AlignCenter);
    edit->setTextMargins(0, 0, 0, 0);
    Place(edit, left, top, width, height);
    new StartOfTextShown(edit);
    return edit;
}

QPushButton* NewButton(QWidget* parent, const QString& caption, int left, int top, int width, int height) {
    auto* button = new Button(caption, parent);
    button->setFont(SansSerif());
    button->setAutoDefault(false);
    Place(button, left, top, width, height);
    return button;
}

QRadioButton* NewOption(QWidget* parent, const QString& caption, int left, int top, int width, int height) {
    auto* option = new QRadioButton(caption, parent);
    option->setFont(SansSerif());
    Place(option, left, top, width, height);
    return option;
}

QCheckBox* NewCheckBox(QWidget* parent, const QString& caption, int left, int top, int width, int height) {
    auto* box = new QCheckBox(caption, parent);
    box->setFont(SansSerif());
    Place(box, left, top, width, height);
    return box;
}

QGroupBox* NewFrame(QWidget* parent, const QString& caption, int left, int top, int width, int height,
                    const QFont& font) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setFont(font);
    // The caption sits on the frame's top line.
    frame->setStyleSheet(
        "QGroupBox { border: 1px solid palette(mid); margin-top: 0.6em; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; }");
    FollowPaletteDespiteStyleSheet(frame);
    Place(frame, left, top, width, height);
    return frame;
}

Grid* NewGrid(QWidget* parent, int left, int top, int width, int height) {
    auto* grid = new Grid(parent);
    grid->setFont(SansSerif());
    Place(grid, left, top, width, height);
    return grid;
}

QFrame* NewLine(QWidget* parent, int x1, int y1, int x2, int y2) {
    auto* line = new QFrame(parent);
    const bool horizontal = y1 == y2;
    line->setFrameShape(horizontal ? QFrame::HLine : QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::WindowText);
    if (horizontal) line->setGeometry(Twips(x1), Twips(y1), Twips(x2 - x1), 1);
    else line->setGeometry(Twips(x1), Twips(y1), 1, Twips(y2 - y1));
    return line;
}

void ClearOptions(std::initializer_list<QRadioButton*> options) {
    for (QRadioButton* option : options) {
        // An exclusive button refuses to clear itself; lift that for the moment.
        const bool exclusive = option->autoExclusive();
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(exclusive);
    }
}

void SetFaceColor(QAbstractButton* button, const QColor& color) {
    // No colour of its own: the button follows the palette again.
    if (!color.isValid()) button->setPalette(QPalette());
    else SetFaceAndText(button, QPalette::Button, QPalette::ButtonText, color);
}

QColor FaceColor(const QAbstractButton* button) { return button->palette().color(QPalette::Button); }

void SetBackColor(QWidget* widget, const QColor& color) {
    SetFaceAndText(widget, QPalette::Window, QPalette::WindowText, color);
    widget->setAutoFillBackground(true);
}

void SetTextColor(QWidget* widget, const QColor& color) {
    ReadableTextColor* keeper = nullptr;
    for (QObject* child : widget->children())
        if (auto* found = dynamic_cast<ReadableTextColor*>(child)) keeper = found;
    if (!keeper) keeper = new ReadableTextColor(widget, color);
    keeper->Want(color);
}

void FollowPaletteDespiteStyleSheet(QWidget* widget) { StyleSheetsFollowPalette::Add(widget); }

void FocusAndSelectAll(QLineEdit* edit) {
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

}  // namespace valmora::ui
