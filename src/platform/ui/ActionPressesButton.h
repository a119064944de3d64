#pragma once
// A menu command that stands for a push button which takes no focus: the
// command presses the button, and it is enabled exactly while the button is,
// so that its key does what a click would do and nothing when a click could
// not.

class QAction;
class QPushButton;

void ActionPressesButton(QAction* action, QPushButton* button);
