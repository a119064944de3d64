#include "config/ui/EditorWidgets.h"

#include "foundation/BitAndStr.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

QScrollArea* ScrollingArea(QWidget* content, QWidget* parent) {
    auto* area = new QScrollArea(parent);
    // The page's controls take the focus, and the area scrolls to the one that
    // has it; the area itself is no stop.
    area->setFocusPolicy(Qt::NoFocus);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidget(content);
    return area;
}

QWidget* ScrollingPage(QWidget* page, QLayout* foot) {
    auto* body = new QWidget(page);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ScrollingArea(body, page), 1);
    if (foot) {
        foot->setContentsMargins(9, 2, 9, 4);
        layout->addLayout(foot);
    }
    return body;
}

QSpinBox* AddSpin(QFormLayout* form, const char* name, const QString& label, int lo, int hi) {
    auto* spin = Named(new QSpinBox(form->parentWidget()), name);
    spin->setRange(lo, hi);
    form->addRow(label, spin);
    return spin;
}

CheckList::CheckList(const char* name, const QStringList& items, int perRow, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QLatin1String(name));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(2);
    for (int i = 0; i < items.size(); ++i) {
        auto* box = new QCheckBox(items[i], this);
        box->setObjectName(QStringLiteral("%1_%2").arg(objectName()).arg(i));
        grid->addWidget(box, i / perRow, i % perRow);
        items_ << box;
    }
    grid->setColumnStretch(perRow, 1);  // the items stay together on the left
}

void SetChecks(CheckList* list, const QString& items) {
    for (int i = 0; i < list->Count(); ++i)
        list->Item(i)->setChecked(i < items.size() && items.at(i) == QLatin1Char('1'));
}

QString Checks(const CheckList* list) {
    QString items;
    for (int i = 0; i < list->Count(); ++i)
        items += list->Item(i)->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
    return items;
}

int CheckedCount(const CheckList* list) {
    return int(Checks(list).count(QLatin1Char('1')));
}

QStringList FlagItems() {
    QStringList items;
    for (int i = 1; i <= 16; ++i) items << IntToStrZ(i, 2);
    return items;
}

void ApplyAccessLock(QWidget* panel, QLabel* codeLabel, bool unlocked) {
    panel->setEnabled(unlocked);
    QPalette text = codeLabel->palette();
    const QColor windowText = QApplication::palette().color(QPalette::Active, QPalette::WindowText);
    text.setColor(QPalette::WindowText, unlocked ? QColor(Qt::gray) : windowText);
    codeLabel->setPalette(text);
}

namespace {

class RaisedWhileFocused : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            static_cast<QPushButton*>(watched)->setFlat(event->type() == QEvent::FocusOut);
        return false;
    }
};

}  // namespace

void RaiseFlatButtonOnFocus(QPushButton* flat) {
    flat->installEventFilter(new RaisedWhileFocused(flat));
}
