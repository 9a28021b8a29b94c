// A screen of the program: a top-level window whose client area has a fixed
// size in twips, with its controls placed inside at twips positions. The
// first screen installs the keyboard aids (Enter on buttons, the focus ring)
// for the whole program.
//
// A screen never opens larger than the available area of its display: where
// the client area does not fit, it scrolls, and the control that gets the
// focus is scrolled into view.
#pragma once

#include <QWidget>

class QMenuBar;
class QScrollArea;
class QVBoxLayout;

namespace valmora::ui {

class Screen : public QWidget {
    Q_OBJECT
public:
    Screen(const QString& caption, int clientWidthTwips, int clientHeightTwips);

    // The area the controls are placed in.
    QWidget* Client() const { return client_; }
    // What holds the client area, and scrolls it on a display too small.
    QScrollArea* ClientArea() const { return area_; }
    // Puts a menu bar above the client area.
    void SetMenuBar(QMenuBar* menuBar);

    // Runs when the screen is loaded, before it is first shown.
    virtual void Form_Load() {}
    // Runs when the user comes back here from a screen that goes away (its
    // "<< Back"), after this one is shown again.
    virtual void ReturnedTo() {}

    bool CentredOnce() const { return centred_; }
    void MarkCentred() { centred_ = true; }

protected:
    // The user closed the window by its frame. The default closes it.
    virtual bool FrameClosed() { return true; }
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* client_;
    QScrollArea* area_;
    QVBoxLayout* layout_;
    bool centred_ = false;
};

}  // namespace valmora::ui
