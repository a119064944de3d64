#pragma once
// The small parts the device forms are built from, named as the design names
// them so that tests find them, and the behaviours every device form shares.

#include <QString>

class QAction;
class QCheckBox;
class QEvent;
class QLabel;
class QMenu;
class QPushButton;
class QSpinBox;
class QWidget;

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption);
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text);
QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& caption);
QSpinBox* MakeSpin(QWidget* parent, const char* name, int minimum, int maximum, int value);
QAction* MakeMenuItem(QMenu* menu, const char* name, const QString& caption);

// Text drawn grey (a switched-off choice) or in the normal window-text colour.
void DrawGrey(QWidget* w, bool grey);
bool DrawnGrey(const QWidget* w);

// The help window is closed when the form loses the focus to another window of
// the program (not to the help viewer itself). Call from changeEvent.
void CloseHelpWhenLeft(QWidget* form, QEvent* event);
// Enter moves the focus to the next control of the form, Shift+Enter to the
// previous one; true when the event was such a key and is used up.
bool MoveFocusOnEnter(QWidget* form, QEvent* event);
