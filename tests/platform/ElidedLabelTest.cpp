// A label showing a text from the file: however long the text, the window
// it stands in keeps its width; what does not fit is left out, and the whole
// text stays its text and its tool tip. In a row, a name takes the row's
// free room before it leaves anything out. The tool tip follows the text
// however it was set: QLabel::setText is not virtual.

#include "platform/ui/ElidedLabel.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QPushButton>
#include <QToolTip>
#include <QWidget>

#include <functional>

namespace ElidedLabelTestUnit {

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

// The ways a screen sets a label's text.
const struct {
    const char* how;
    std::function<void(ElidedLabel*, const QString&)> set;
} kElidedLabelSetters[] = {
    {"ElidedLabel::setText", [](ElidedLabel* l, const QString& t) { l->setText(t); }},
    {"QLabel::setText through a QLabel*",
     [](ElidedLabel* l, const QString& t) { static_cast<QLabel*>(l)->setText(t); }},
    {"a connection to QLabel::setText",
     [](ElidedLabel* l, const QString& t) {
         QObject relay;
         QObject::connect(&relay, &QObject::objectNameChanged, l, &QLabel::setText);
         relay.setObjectName(t);
     }},
};

// The tool tip the operator sees on the label.
QString ShownToolTip(ElidedLabel* label) {
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), label->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(label, &help);
    const QString shown = QToolTip::text();
    QToolTip::hideText();
    return shown;
}

// The object's row of a screen: a caption, the address and the name, the
// row's stretch, two buttons. The address is longer than the room a label
// asks for; the row has room for it.
TEST(ElidedLabel, ANameTakesTheFreeRoomOfItsRowAndItsToolTipFollowsItsText) {
    const QString address =
        QStringLiteral("г. Москва, ул. Академика Королёва, д. 12, корп. 3, стр. 1");
    const QString name = QStringLiteral("Дом на Садовой");
    const QString longName(10000, QChar(0x0416));
    for (const auto& way : kElidedLabelSetters) {
        SCOPED_TRACE(way.how);
        QWidget window;
        auto* row = new QHBoxLayout(&window);
        row->addWidget(new QLabel(QStringLiteral("Действующий объект"), &window));
        auto* addressLabel = new ElidedLabel(&window);
        auto* nameLabel = new ElidedLabel(&window);
        ElidedLabel::AddToRow(row, addressLabel);
        row->addSpacing(12);
        ElidedLabel::AddToRow(row, nameLabel);
        row->addStretch();
        row->addWidget(new QPushButton(QStringLiteral("Далее"), &window));
        const QFontMetrics metrics(addressLabel->font());
        ASSERT_GT(metrics.horizontalAdvance(address), addressLabel->sizeHint().width() + 1)
            << "an address longer than the room a label asks for";
        window.resize(300 + metrics.horizontalAdvance(address + name), 60);
        window.show();
        const int width = window.width();

        way.set(addressLabel, address);
        way.set(nameLabel, name);
        QCoreApplication::processEvents();
        EXPECT_EQ(address, addressLabel->ShownText()) << addressLabel->width();
        EXPECT_EQ(name, nameLabel->ShownText());
        EXPECT_EQ(address, addressLabel->toolTip());
        EXPECT_EQ(address, ShownToolTip(addressLabel));
        // The row's stretch keeps what the names leave: the names stay together.
        EXPECT_LE(nameLabel->x(), addressLabel->geometry().right() + 40);

        way.set(nameLabel, longName);
        QCoreApplication::processEvents();
        EXPECT_EQ(width, window.width());
        EXPECT_TRUE(nameLabel->ShownText().contains(kEllipsis));
        EXPECT_TRUE(nameLabel->toolTip() == longName);
        EXPECT_TRUE(ShownToolTip(nameLabel) == longName);

        // Set while hidden: the tool tip shown is still the whole text.
        window.hide();
        way.set(nameLabel, name);
        window.show();
        EXPECT_EQ(name, ShownToolTip(nameLabel));
    }
}

}  // namespace
}  // namespace ElidedLabelTestUnit
