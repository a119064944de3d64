#include "support/ScreenShots.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QWidget>

#include <gtest/gtest.h>

QString SaveScreen(QWidget& widget, const QString& name) {
    QCoreApplication::processEvents();
    const QString dir = QStringLiteral(ARM_BIN_DIR "/../screens");
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    return widget.grab().toImage().save(path) ? path : QString();
}

void ExpectNoClippedText(QWidget* widget) {
    QCoreApplication::processEvents();
    for (QLabel* l : widget->findChildren<QLabel*>()) {
        if (l->isVisible() && !l->text().isEmpty()) {
            EXPECT_GE(l->width(), l->sizeHint().width()) << l->text().toStdString();
        }
    }
    for (QAbstractButton* b : widget->findChildren<QAbstractButton*>()) {
        if (b->isVisible()) {
            EXPECT_GE(b->width(), b->sizeHint().width()) << b->text().toStdString();
        }
    }
}
