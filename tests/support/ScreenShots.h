#pragma once
// Pictures of forms as the operator sees them, for a look at the layout:
// build/screens/<name>.png (not part of the sources); and the checks that a
// form fits the screen the tests run on.

#include <QSize>
#include <QString>

#include <functional>

class QTabWidget;
class QWidget;

// The test screen: the size the README starts the program on.
inline constexpr QSize kTestScreen{1280, 800};
// What a window may take of it: the screen less a task bar and a title bar.
inline constexpr QSize kWindowRoom{1280, 760};

// Shows each other page of the window's visible tab widgets in turn, runs look
// on it, and shows the page that was shown again.
void OnEveryOtherPage(QWidget* window, const std::function<void(QTabWidget*, int page)>& look);

// Renders the widget and saves it; returns the file written, empty on failure.
QString SaveScreen(QWidget& widget, const QString& name);

// Fails the test for every visible label or button of the widget whose text
// does not fit it.
void ExpectNoClippedText(QWidget* widget);

// Fails the test when the window cannot be made small enough for
// kWindowRoom, or when it stands past the edge of its screen.
void ExpectFitsTheScreen(const QWidget* window, const QString& what);
// Fails the test for every visible control of the window with a design name
// (its objectName) that lies outside what the operator can see: past the
// window's edge, or cut off by the widget it stands in. A control in a
// scroll area is reached by scrolling, so there the scroll area counts.
// Returns how many named controls were looked at.
int ExpectNamedControlsVisible(const QWidget* window, const QString& what);
