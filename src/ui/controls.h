// Small helpers over Qt widgets for what the screens do to their controls.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <initializer_list>

class QAbstractButton;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace valmora::ui {

class Grid;

// Controls placed at twips positions inside `parent`, in "MS Sans Serif"
// 8.25 pt unless a font is given.
QLabel* NewLabel(QWidget* parent, const QString& text, int left, int top, int width, int height);
QLabel* NewLabel(QWidget* parent, const QString& text, int left, int top, int width, int height, const QFont& font);
// A text box with its text centred. A text wider than the box shows its
// start (in a box that only shows results, or once the focus has left the
// box), and the whole of it as the tool tip.
QLineEdit* NewTextBox(QWidget* parent, const QString& text, int left, int top, int width, int height);
QPushButton* NewButton(QWidget* parent, const QString& caption, int left, int top, int width, int height);
QRadioButton* NewOption(QWidget* parent, const QString& caption, int left, int top, int width, int height);
QCheckBox* NewCheckBox(QWidget* parent, const QString& caption, int left, int top, int width, int height);
// A frame whose caption has `font`; its controls keep the normal font.
QGroupBox* NewFrame(QWidget* parent, const QString& caption, int left, int top, int width, int height,
                    const QFont& font);
// A grid in the normal font.
Grid* NewGrid(QWidget* parent, int left, int top, int width, int height);
// A straight line from (x1, y1) to (x2, y2), horizontal or vertical.
QFrame* NewLine(QWidget* parent, int x1, int y1, int x2, int y2);

// Clears option buttons without running their click handlers.
void ClearOptions(std::initializer_list<QRadioButton*> options);

// The face colour of a button, with a caption colour that reads on it: the
// palette's own when it does (black on yellow in a light palette), black or
// white otherwise, and a fainter one while the button is disabled. An
// invalid colour gives back the system's face and caption colours.
void SetFaceColor(QAbstractButton* button, const QColor& color);
QColor FaceColor(const QAbstractButton* button);

// The background of a label or frame, with a text colour that reads on it
// as SetFaceColor chooses one.
void SetBackColor(QWidget* widget, const QColor& color);

// The text colour of a label or frame: `color`, made lighter or darker as
// little as it takes to read against the background it stands on, again
// whenever the palette changes (a dark theme, a light one).
void SetTextColor(QWidget* widget, const QColor& color);

// A widget with a style sheet keeps the palette it had when the sheet was
// applied; this one takes the application's new palette whenever it changes.
void FollowPaletteDespiteStyleSheet(QWidget* widget);

// Gives a text box the focus and selects its whole text, as Home then
// Shift+End do, so that the next keystroke replaces it.
void FocusAndSelectAll(QLineEdit* edit);

}  // namespace valmora::ui
