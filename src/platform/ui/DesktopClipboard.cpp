#include "platform/ui/DesktopClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

QString DesktopClipboard::Text() const {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text() : QString();
}

void DesktopClipboard::SetText(const QString& text) {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(text);
}
