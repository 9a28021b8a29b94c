#include "ui/up_down.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

#include "core/solver/text_rules.h"
#include "ui/keyboard_aids.h"

namespace valmora::ui {
namespace {

// What assistive technology reads of a spinner: a spin box whose value is
// the spinner's, named after its box unless it has a name of its own.
class UpDownAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit UpDownAccessible(UpDown* upDown) : QAccessibleWidget(upDown, QAccessible::SpinBox) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return QString::number(Spinner()->Value());
        QString text = QAccessibleWidget::text(t);
        if (text.isEmpty() && (t == QAccessible::Name || t == QAccessible::Description)) {
            if (QAccessibleInterface* box = QAccessible::queryAccessibleInterface(Spinner()->Buddy()))
                text = box->text(t);
        }
        return text;
    }

    QVariant currentValue() const override { return Spinner()->Value(); }
    void setCurrentValue(const QVariant& value) override { Spinner()->SetValue(value.toInt()); }
    QVariant maximumValue() const override { return Spinner()->Maximum(); }
    QVariant minimumValue() const override { return Spinner()->Minimum(); }
    QVariant minimumStepSize() const override { return 1; }

private:
    UpDown* Spinner() const { return static_cast<UpDown*>(widget()); }
};

QAccessibleInterface* UpDownInterface(const QString& className, QObject* object) {
    if (className == QLatin1String(UpDown::staticMetaObject.className()) && object && object->isWidgetType())
        return new UpDownAccessible(static_cast<UpDown*>(object));
    return nullptr;
}

}  // namespace

UpDown::UpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent)
    : QWidget(parent), buddy_(buddy), minimum_(minimum), maximum_(maximum), value_(minimum) {
    static const bool installed = [] {
        QAccessible::installFactory(UpDownInterface);
        return true;
    }();
    Q_UNUSED(installed);
    setFocusPolicy(Qt::StrongFocus);
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setAccessibleName("Up");
    down_->setAccessibleName("Down");
    for (QToolButton* b : {up_, down_}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
    }
    connect(up_, &QToolButton::clicked, this, [this] {
        setFocus(Qt::MouseFocusReason);
        Step(1);
    });
    connect(down_, &QToolButton::clicked, this, [this] {
        setFocus(Qt::MouseFocusReason);
        Step(-1);
    });
}

void UpDown::SetValue(int value) {
    value = std::clamp(value, minimum_, maximum_);
    if (value == value_) return;
    value_ = value;
    Publish();
}

void UpDown::Publish() {
    buddy_->setText(QString::number(value_));
    QAccessibleValueChangeEvent change(this, value_);
    QAccessible::updateAccessibility(&change);
    emit Changed();
}

void UpDown::Step(int delta) {
    // A value typed into the box counts as the current one; one beyond the
    // range is left alone by the arrow that points further away from it.
    int current = value_;
    const std::string typed = buddy_->text().toStdString();
    if (valmora::IsNumeric(typed)) {
        if (auto v = valmora::ToInt16(valmora::LeadingValue(typed))) current = *v;
    }
    const int next = std::clamp(current + delta, minimum_, maximum_);
    if (next == current || (delta > 0) != (next > current)) return;
    value_ = next;
    Publish();
}

void UpDown::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up) Step(1);
    else if (event->key() == Qt::Key_Down) Step(-1);
    else QWidget::keyPressEvent(event);
}

void UpDown::resizeEvent(QResizeEvent*) {
    // The arrows leave a margin for the focus ring around them.
    const QRect inner = rect().adjusted(KeyboardAids::kRingWidth, KeyboardAids::kRingWidth, -KeyboardAids::kRingWidth,
                                        -KeyboardAids::kRingWidth);
    const int half = inner.height() / 2;
    up_->setGeometry(inner.left(), inner.top(), inner.width(), half);
    down_->setGeometry(inner.left(), inner.top() + half, inner.width(), inner.height() - half);
}

void UpDown::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        up_->setEnabled(isEnabled());
        down_->setEnabled(isEnabled());
    }
    QWidget::changeEvent(event);
}

}  // namespace valmora::ui
