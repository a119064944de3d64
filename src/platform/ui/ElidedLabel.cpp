#include "platform/ui/ElidedLabel.h"

#include <QBoxLayout>
#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QWidgetItem>

namespace {

// A name's place in a row: no wider than its whole text, read from the label
// each time the row is laid out, so that a text set through QLabel counts.
class ElidedLabelRowItem : public QWidgetItem {
  public:
    explicit ElidedLabelRowItem(ElidedLabel* label) : QWidgetItem(label), label_(label) {}

    QSize maximumSize() const override {
        QSize most = QWidgetItem::maximumSize();
        if (isEmpty()) return most;
        const int whole = qMax(label_->WholeTextWidth(), minimumSize().width());
        most.setWidth(qMin(most.width(), whole));
        return most;
    }

  private:
    const ElidedLabel* label_;
};

}  // namespace

ElidedLabel::ElidedLabel(QWidget* parent, Qt::TextElideMode mode) : QLabel(parent), mode_(mode) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

ElidedLabel::ElidedLabel(const QString& text, QWidget* parent) : ElidedLabel(parent) {
    setText(text);
}

// The row's stretch goes to its names first, each up to its text (the row
// item's maximum); what they leave is the row's own stretch's.
void ElidedLabel::AddToRow(QBoxLayout* row, ElidedLabel* label) {
    row->addItem(new ElidedLabelRowItem(label));
    row->setStretchFactor(label, 1);
}

void ElidedLabel::setText(const QString& text) {
    QLabel::setText(text);
    followText();
}

void ElidedLabel::followText() {
    const QString whole = text();
    if (toolTip() != whole) setToolTip(whole);
}

bool ElidedLabel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) followText();
    return QLabel::event(event);
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

int ElidedLabel::sidesWidth() const {
    const QMargins m = contentsMargins();
    return m.left() + m.right() + 2 * margin();
}

QSize ElidedLabel::withSides(int textWidth) const {
    return {textWidth + sidesWidth(), lineHeight()};
}

int ElidedLabel::WholeTextWidth() const {
    return fontMetrics().horizontalAdvance(oneLine()) + sidesWidth();
}

// An ordinary name's room at most: the window, not the text, sets the width.
QSize ElidedLabel::sizeHint() const {
    const int most = fontMetrics().averageCharWidth() * kAskedCharacters;
    return withSides(qMin(fontMetrics().horizontalAdvance(oneLine()), most));
}

QSize ElidedLabel::minimumSizeHint() const {
    const int least = fontMetrics().averageCharWidth() * kLeastCharacters;
    return withSides(qMin(fontMetrics().horizontalAdvance(oneLine()), least));
}

QString ElidedLabel::ShownText() const {
    const QString line = oneLine();
    const int room = contentsRect().width() - 2 * margin();
    if (fontMetrics().horizontalAdvance(line) <= room) return line;
    return fontMetrics().elidedText(line, mode_, room);
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    followText();
    QPainter painter(this);
    drawFrame(&painter);
    const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&painter, room, int(alignment()), palette(), isEnabled(), ShownText(),
                          foregroundRole());
}
