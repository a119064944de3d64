#include "support/ScreenShots.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QWidget>

QString SaveScreen(QWidget& widget, const QString& name) {
    QCoreApplication::processEvents();
    const QString dir = QStringLiteral(ARM_BIN_DIR "/../screens");
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    return widget.grab().toImage().save(path) ? path : QString();
}
