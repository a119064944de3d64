#include "netlink/ui/TFCOM.h"

#include "platform/ui/GridKeys.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TFCOM* FCOM = nullptr;

TFCOM::TFCOM(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FCOM"));
    setWindowTitle(QStringLiteral("Выбор СОМ порта"));
    ListCdev = new KeyboardGrid<QListWidget>(this);
    ListCdev->setObjectName(QStringLiteral("ListCdev"));
    ListCdev->addItem(QStringLiteral("Листинг COM портов"));
    BitYes = new QPushButton(QStringLiteral("Да"), this);
    BitYes->setObjectName(QStringLiteral("BitYes"));
    BitYes->setDefault(true);
    BitNo = new QPushButton(QStringLiteral("Отмена"), this);
    BitNo->setObjectName(QStringLiteral("BitNo"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitYes);
    buttons->addWidget(BitNo);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListCdev, 1);
    layout->addLayout(buttons);
    resize(360, 240);

    connect(BitYes, &QPushButton::clicked, this, &TFCOM::BitYesClick);
    connect(BitNo, &QPushButton::clicked, this, &TFCOM::BitNoClick);
    connect(ListCdev, &QListWidget::itemDoubleClicked, this, &TFCOM::BitYesClick);
    GridKeys::DoubleClickBy(ListCdev, GridKeys::kEnter);
}

int TFCOM::SelectedRow() const {
    const QList<QListWidgetItem*> selected = ListCdev->selectedItems();
    return selected.isEmpty() ? -1 : ListCdev->row(selected.first());
}

int TFCOM::ChoosePort(const QStringList& ports, int preselected) {
    ListCdev->clear();
    ListCdev->addItems(ports);
    if (preselected >= 0 && preselected < ListCdev->count()) ListCdev->setCurrentRow(preselected);
    // The search shows the hourglass; the choice is the operator's.
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    exec();
    QGuiApplication::restoreOverrideCursor();
    return SelectedRow();
}

void TFCOM::BitYesClick() {
    accept();
}

void TFCOM::BitNoClick() {
    reject();
}

void TFCOM::reject() {
    ListCdev->clearSelection();
    QDialog::reject();
}
