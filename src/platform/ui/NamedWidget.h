#pragma once
// Forms build their controls in code and name each after its design name, so
// that tests, settings and the help find a control by the name it had.

#include <QLatin1String>
#include <QWidget>

template <class W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}
