#include "foundation/ui/TFDialog.h"

#include "foundation/HelpLauncher.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TFDialog* FDialog = nullptr;

TFDialog::TFDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FDialog"));
    setWindowTitle(QStringLiteral("Диалог"));
    setMinimumWidth(360);

    Answer = new QLabel(this);
    Answer->setObjectName(QStringLiteral("Answer"));
    Answer->setWordWrap(true);
    VEdit = new QSpinBox(this);
    VEdit->setObjectName(QStringLiteral("VEdit"));
    VEdit->setRange(0, 999999);
    Warning =
        new QLabel(QStringLiteral("Изменения сохранятся и пропишутся в зависимые таблицы!"), this);
    Warning->setObjectName(QStringLiteral("Label1"));
    Warning->setWordWrap(true);
    Warning->setStyleSheet(QStringLiteral("color: #a00000;"));

    BitYes = new QPushButton(QStringLiteral("Да"), this);
    BitYes->setObjectName(QStringLiteral("BitYes"));
    BitNo = new QPushButton(QStringLiteral("Нет"), this);
    BitNo->setObjectName(QStringLiteral("BitNo"));
    BitCancel = new QPushButton(QStringLiteral("Отмена"), this);
    BitCancel->setObjectName(QStringLiteral("BitCancel"));
    ButHelp = new QPushButton(QStringLiteral("Помощь"), this);
    ButHelp->setObjectName(QStringLiteral("ButHelp"));
    BitYes->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitYes);
    buttons->addWidget(BitNo);
    buttons->addWidget(BitCancel);
    buttons->addStretch();
    buttons->addWidget(ButHelp);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Answer);
    layout->addWidget(VEdit);
    layout->addWidget(Warning);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(BitYes, &QPushButton::clicked, this, [this] { finishWith(DlgAnswer::Yes); });
    connect(BitNo, &QPushButton::clicked, this, [this] { finishWith(DlgAnswer::No); });
    connect(BitCancel, &QPushButton::clicked, this, [this] { finishWith(DlgAnswer::Cancel); });
    connect(ButHelp, &QPushButton::clicked, this, [] { AppHelp().ShowTopic(103); });
}

DlgAnswer TFDialog::ShowModal() {
    result_ = DlgAnswer::Cancel;
    exec();
    return result_;
}

void TFDialog::finishWith(DlgAnswer answer) {
    result_ = answer;
    done(answer == DlgAnswer::Cancel ? QDialog::Rejected : QDialog::Accepted);
}

void TFDialog::showEvent(QShowEvent* event) {
    // The number field needs the taller window.
    setFixedHeight(VEdit->isVisibleTo(this) ? kHeightWithNumber : kHeightWithoutNumber);
    QDialog::showEvent(event);
}
