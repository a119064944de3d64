#include "platform/ui/PathLabel.h"

#include <QPainter>
#include <QStyle>

PathLabel::PathLabel(QWidget* parent) : QLabel(parent) {
    setTextInteractionFlags(Qt::TextSelectableByMouse);
}

void PathLabel::setText(const QString& path) {
    QLabel::setText(path);
    setToolTip(path);
}

// Room for the end of a name: the window, not the path, sets the width.
QSize PathLabel::minimumSizeHint() const {
    return {fontMetrics().averageCharWidth() * 12, QLabel::minimumSizeHint().height()};
}

QString PathLabel::ShownText() const {
    const int room = contentsRect().width();
    if (fontMetrics().horizontalAdvance(text()) <= room) return text();
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, room);
}

void PathLabel::paintEvent(QPaintEvent* event) {
    const QString shown = ShownText();
    if (shown == text()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    style()->drawItemText(&painter, contentsRect(), int(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}
