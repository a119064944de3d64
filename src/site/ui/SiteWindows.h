#pragma once
// Forms of other subsystems the site registry's editors open: reached by
// their object name among the program's windows, so that the site registry
// does not depend on the subsystems that build them.

#include <QString>

class QWidget;

// The program's window named name, or nullptr.
QWidget* WindowNamed(const QString& name);
// Shows it (not modal) and brings it to the front; false when there is none.
bool ShowWindowNamed(const QString& name);
