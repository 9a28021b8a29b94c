// "NPV Profile..." on the deterministic screen: enabled while the listed
// rates belong to the series (the IRR grid is enabled), it opens the NPV
// profile window of the series and its rates. An open window follows a new
// search and closes when the results are erased.
#pragma once

#include <QObject>

class QPushButton;
class QWidget;

namespace valmora {

struct Workspace;
namespace ui {
class Dialogs;
}
class NpvProfileWindow;

class NpvProfileLink : public QObject {
public:
    // `irrGrid` is the grid of listed rates; the window is a child of `owner`.
    NpvProfileLink(QPushButton* button, QWidget* irrGrid, Workspace& ws, ui::Dialogs& dialogs, QWidget* owner);

    // The window, once opened.
    NpvProfileWindow* Window() const { return window_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Open();
    void Draw();

    QPushButton* button_;
    QWidget* irrGrid_;
    Workspace& ws_;
    ui::Dialogs& dialogs_;
    QWidget* owner_;
    NpvProfileWindow* window_ = nullptr;
};

}  // namespace valmora
