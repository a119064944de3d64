#include "platform/ui/ElidedLabel.h"

#include <QPainter>
#include <QStyle>

ElidedLabel::ElidedLabel(QWidget* parent, Qt::TextElideMode mode) : QLabel(parent), mode_(mode) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

ElidedLabel::ElidedLabel(const QString& text, QWidget* parent) : ElidedLabel(parent) {
    setText(text);
}

void ElidedLabel::setText(const QString& text) {
    QLabel::setText(text);
    setToolTip(text);
}

QString ElidedLabel::oneLine() const {
    QString line = text();
    for (QChar& c : line)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    return line;
}

int ElidedLabel::lineHeight() const {
    const QMargins m = contentsMargins();
    return fontMetrics().height() + m.top() + m.bottom() + 2 * margin();
}

// An ordinary name's room at most: the window, not the text, sets the width.
QSize ElidedLabel::sizeHint() const {
    const QMargins m = contentsMargins();
    const int most = fontMetrics().averageCharWidth() * kAskedCharacters;
    const int text = qMin(fontMetrics().horizontalAdvance(oneLine()), most);
    return {text + m.left() + m.right() + 2 * margin(), lineHeight()};
}

QSize ElidedLabel::minimumSizeHint() const {
    const QMargins m = contentsMargins();
    const int least = fontMetrics().averageCharWidth() * kLeastCharacters;
    const int text = qMin(fontMetrics().horizontalAdvance(oneLine()), least);
    return {text + m.left() + m.right() + 2 * margin(), lineHeight()};
}

QString ElidedLabel::ShownText() const {
    const QString line = oneLine();
    const int room = contentsRect().width() - 2 * margin();
    if (fontMetrics().horizontalAdvance(line) <= room) return line;
    return fontMetrics().elidedText(line, mode_, room);
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&painter, room, int(alignment()), palette(), isEnabled(), ShownText(),
                          foregroundRole());
}
