#include "foundation/ui/TAboutBox.h"

#include "foundation/HelpLauncher.h"
#include "foundation/VersionInfo.h"
#include "platform/ui/GridKeys.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TAboutBox* AboutBox = nullptr;

namespace {
// A list at least as wide as its widest line, so that no value is cut off.
void fitWidthToItems(QListWidget* list) {
    constexpr int kPadding = 8;
    list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() + kPadding);
}
}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("О программе"));
    resize(460, 300);

    auto* title = new QLabel(QStringLiteral("Информация о программном продукте"), this);
    title->setObjectName(QStringLiteral("ProductName"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->setAlignment(Qt::AlignCenter);

    ListKeys = new KeyboardGrid<QListWidget>(this);
    ListKeys->setObjectName(QStringLiteral("ListBox1"));
    ListValues = new KeyboardGrid<QListWidget>(this);
    ListValues->setObjectName(QStringLiteral("ListBox2"));
    const AboutLists lists = MakeAboutLists(ProgramVersionStrings());
    ListKeys->addItems(lists.keys);
    ListValues->addItems(lists.values);
    fitWidthToItems(ListKeys);
    fitWidthToItems(ListValues);

    OKButton = new QPushButton(QStringLiteral("Да"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    ButHelp = new QPushButton(QStringLiteral("Помощь"), this);
    ButHelp->setObjectName(QStringLiteral("ButHelp"));

    auto* listsRow = new QHBoxLayout;
    listsRow->addWidget(ListKeys);
    listsRow->addWidget(ListValues, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(ButHelp);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(listsRow);
    layout->addLayout(buttons);

    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButHelp, &QPushButton::clicked, this, [] { AppHelp().ShowTopic(1); });
}

void TAboutBox::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow()) close();
    QDialog::changeEvent(event);
}
