#pragma once
// Controls the device forms build the same way, and the editors' keyboard
// and help conventions.

#include "foundation/TFDM.h"  // ProgressFn
#include "platform/ui/ElidedLabel.h"
#include "platform/ui/EnterMovesFocus.h"

#include <QObject>
#include <QString>

class QAction;
class QCheckBox;
class QEvent;
class QLabel;
class QMenu;
class QPushButton;
class QSpinBox;
class QWidget;

// A push button named name that never becomes the dialog's default button.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption);
// Shows a form that stays open beside the others (an editor opened from a
// screen or another editor) and brings it to the front; nothing without one.
void ShowWindow(QWidget* form);
// A spin edit named name with its limits, value and arrow step.
QSpinBox* MakeSpin(QWidget* parent, const char* name, int min, int max, int value, int step = 1);
// A label, a check box and a menu item named as the design names them.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text);
// A label showing a name read from the file: a long one leaves the window its width.
ElidedLabel* MakeNameLabel(QWidget* parent, const char* name, const QString& text);
QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& caption);
QAction* MakeMenuItem(QMenu* menu, const char* name, const QString& caption);

// The widget's text in bold or in normal type.
void SetBold(QWidget* w, bool bold);
// Text drawn grey (a switched-off choice) or in the normal window-text colour.
void DrawGrey(QWidget* w, bool grey);
bool DrawnGrey(const QWidget* w);

// The progress window's gauge for a core loop, with the hourglass for as long
// as the gauge is shown.
ProgressFn BusyProgress();

// For a form's changeEvent: when the form loses the focus to another window
// of the program, the help window it may have opened is closed.
void CloseHelpOnDeactivate(QWidget* form, QEvent* event);
