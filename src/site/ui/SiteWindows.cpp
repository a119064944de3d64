#include "site/ui/SiteWindows.h"

#include <QApplication>
#include <QWidget>

QWidget* WindowNamed(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name) return w;
    return nullptr;
}

bool ShowWindowNamed(const QString& name) {
    QWidget* w = WindowNamed(name);
    if (!w) return false;
    w->show();
    w->raise();
    w->activateWindow();
    return true;
}
