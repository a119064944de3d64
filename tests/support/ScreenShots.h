#pragma once
// Pictures of forms as the operator sees them, for a look at the layout:
// build/screens/<name>.png (not part of the sources).

#include <QString>

class QWidget;

// Renders the widget and saves it; returns the file written, empty on failure.
QString SaveScreen(QWidget& widget, const QString& name);

// Fails the test for every visible label or button of the widget whose text
// does not fit it.
void ExpectNoClippedText(QWidget* widget);
