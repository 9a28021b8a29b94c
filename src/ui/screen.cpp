#include "ui/screen.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/fonts.h"
#include "ui/keyboard_aids.h"
#include "ui/on_screen.h"
#include "ui/twips.h"

namespace valmora::ui {
namespace {

// Holds the client area: as large as it is where the display has the room,
// scrolling it where it has not.
class ScrollingClient : public QScrollArea {
public:
    explicit ScrollingClient(QWidget* window) : QScrollArea(window) {
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(false);
        // The controls take the focus, not the area; it follows them.
        setFocusPolicy(Qt::NoFocus);
        horizontalScrollBar()->setAccessibleName("Scroll the screen sideways");
        verticalScrollBar()->setAccessibleName("Scroll the screen up and down");
    }

    QSize sizeHint() const override {
        if (!widget()) return QScrollArea::sizeHint();
        const QSize want = widget()->size();
        QSize room = ClientRoom(window()).size();
        if (const QLayout* layout = window()->layout(); layout && layout->menuBar())
            room.rheight() -= layout->menuBar()->sizeHint().height();
        if (room.isEmpty()) return want;
        // A bar across takes height, a bar down takes width; either may call
        // for the other.
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        QSize hint = want;
        bool across = false, down = false;
        for (int pass = 0; pass < 2; ++pass) {
            if (!across && hint.width() > room.width()) {
                across = true;
                hint.rheight() += bar;
            }
            if (!down && hint.height() > room.height()) {
                down = true;
                hint.rwidth() += bar;
            }
        }
        return hint.boundedTo(room);
    }

    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    // A bar only where the client does not fit: left to itself, an area
    // that has grown to its client's size may keep the bars it had while
    // smaller.
    void resizeEvent(QResizeEvent* event) override {
        if (widget()) {
            const QSize want = widget()->size();
            // The area's own size: the viewport's resizing comes here too.
            const QSize room = size();
            const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
            bool across = want.width() > room.width();
            const bool down = want.height() > room.height() || (across && want.height() > room.height() - bar);
            across = across || (down && want.width() > room.width() - bar);
            setHorizontalScrollBarPolicy(across ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
            setVerticalScrollBarPolicy(down ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        }
        QScrollArea::resizeEvent(event);
    }
};

}  // namespace

Screen::Screen(const QString& caption, int clientWidthTwips, int clientHeightTwips) {
    KeyboardAids::Install();
    setWindowTitle(caption);
    setFont(SansSerif());
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    layout_->setSizeConstraint(QLayout::SetFixedSize);
    client_ = new QWidget;
    client_->setFixedSize(TwipsSize(clientWidthTwips, clientHeightTwips));
    area_ = new ScrollingClient(this);
    area_->setWidget(client_);
    layout_->addWidget(area_);
    KeepOnScreen(this);
    // Tab onto a control out of view scrolls it into view.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && client_->isAncestorOf(now)) area_->ensureWidgetVisible(now);
    });
}

void Screen::SetMenuBar(QMenuBar* menuBar) { layout_->setMenuBar(menuBar); }

void Screen::closeEvent(QCloseEvent* event) {
    if (FrameClosed()) event->accept();
    else event->ignore();
}

}  // namespace valmora::ui
