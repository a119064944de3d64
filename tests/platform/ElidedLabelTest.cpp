// A label showing a text from the file: however long the text, the window
// it stands in keeps its width; what does not fit is left out, and the whole
// text stays its text and its tool tip.

#include "platform/ui/ElidedLabel.h"

#include <gtest/gtest.h>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QWidget>

namespace {

constexpr QChar kEllipsis(0x2026);

TEST(ElidedLabel, ALongTextLeavesTheWindowItsWidth) {
    const struct {
        const char* what;
        QString text;
        bool cut;
    } rows[] = {
        {"an ordinary name", QStringLiteral("Дом 1"), false},
        {"ten thousand characters", QString(10000, QChar(0x0416)), true},
        {"a line break and a tab", QStringLiteral("Дом\n1\tкорпус"), false},
        {"markup", QStringLiteral("<b>Дом</b>"), false},
        {"ten thousand line breaks", QString(10000, QLatin1Char('\n')), true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        QWidget window;
        auto* layout = new QHBoxLayout(&window);
        auto* label = new ElidedLabel(&window);
        layout->addWidget(label);
        label->setText(row.text);
        window.resize(400, 60);
        window.show();
        window.adjustSize();
        const QFontMetrics metrics(label->font());

        EXPECT_TRUE(label->text() == row.text);
        EXPECT_TRUE(label->toolTip() == row.text);
        EXPECT_LE(window.sizeHint().width(), 100 + metrics.averageCharWidth() * 50);
        EXPECT_LE(window.minimumSizeHint().width(), 100 + metrics.averageCharWidth() * 10);
        EXPECT_LE(label->sizeHint().height(), metrics.height() + 4);
        window.resize(300, 60);
        const QString shown = label->ShownText();
        EXPECT_FALSE(shown.contains(QLatin1Char('\n')) || shown.contains(QLatin1Char('\t')))
            << shown.toStdString();
        EXPECT_LE(metrics.horizontalAdvance(shown), label->contentsRect().width());
        EXPECT_EQ(row.cut, shown.contains(kEllipsis)) << shown.left(80).toStdString();
        if (!row.cut) {
            EXPECT_EQ(row.text.size(), shown.size());
        }
    }
}

}  // namespace
