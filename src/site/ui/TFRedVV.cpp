#include "site/ui/TFRedVV.h"

#include "foundation/HelpLauncher.h"
#include "platform/ui/ElidedLabel.h"
#include "site/CallCodes.h"
#include "site/ui/SiteControls.h"

#include <QApplication>
#include <QCursor>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

TFRedVV* FRedVV = nullptr;

namespace {

ElidedLabel* valueLabel(QWidget* parent, const char* name) {
    auto* label = new ElidedLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setMinimumWidth(160);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

}  // namespace

TFRedVV::TFRedVV(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FRedVV"));
    setWindowTitle(QStringLiteral("Исправление кода вызова"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    LHead =
        new QLabel(QStringLiteral("Найдены совпадающие коды вызова. Измените один из них"), this);
    LHead->setObjectName(QStringLiteral("LHead"));
    DBTextHouse = valueLabel(this, "DBTextHouse");
    DBTextKvr = valueLabel(this, "DBTextKvr");
    DBTextKod = valueLabel(this, "DBTextKod");
    DBTextOther = valueLabel(this, "DBTextOther");
    EQRab = new QLineEdit(this);
    EQRab->setObjectName(QStringLiteral("EQRab"));
    EQRab->setMaxLength(CallCodes::kMaxLength);
    // Digits and "." only: the code is dialled on the call panel's keys.
    EQRab->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]{0,5}")), EQRab));
    EQRab->setFixedWidth(90);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Дом:"), DBTextHouse);
    fields->addRow(QStringLiteral("Квартира:"), DBTextKvr);
    fields->addRow(QStringLiteral("Код вызова:"), DBTextKod);
    fields->addRow(QStringLiteral("Совпадает с квартирой:"), DBTextOther);
    fields->addRow(QStringLiteral("Новый код для нее:"), EQRab);

    OKBtn = SiteControls::Button(this, "OKBtn", QStringLiteral("Сохранить"));
    OKBtn->setDefault(true);
    BitIgnore = SiteControls::Button(this, "BitIgnore", QStringLiteral("Игнорировать"));
    BitBtn1 = SiteControls::Button(this, "BitBtn1", QStringLiteral("Игнорировать ВСЕ"));
    N1 = SiteControls::Button(this, "N1", QStringLiteral("Справка"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(OKBtn);
    buttons->addWidget(BitIgnore);
    buttons->addWidget(BitBtn1);
    buttons->addStretch();
    buttons->addWidget(N1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LHead);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(OKBtn, &QPushButton::clicked, this, &TFRedVV::OKBtnClick);
    connect(BitIgnore, &QPushButton::clicked, this, &TFRedVV::BitIgnoreClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TFRedVV::BitBtn1Click);
    connect(N1, &QPushButton::clicked, this, &TFRedVV::N1Click);
    connect(EQRab, &QLineEdit::returnPressed, this, &TFRedVV::OKBtnClick);
}

void TFRedVV::ShowRepeat(const CallCodeRepeat& repeat) {
    repeat_ = repeat;
    DBTextHouse->setText(repeat.house);
    DBTextKvr->setText(repeat.nKvr);
    DBTextKod->setText(repeat.pKvr);
    DBTextOther->setText(repeat.otherNKvr);
    EQRab->setText(repeat.otherPKvr);
    EQRab->selectAll();
    EQRab->setFocus();
}

CorrectionMark TFRedVV::Correct(const CallCodeRepeat& repeat) {
    ShowRepeat(repeat);
    // Closed by the window's own button it counts as "Игнорировать".
    mark_ = 1;
    // The generation runs under the hourglass; the operator is asked here.
    QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    exec();
    QApplication::restoreOverrideCursor();
    return static_cast<CorrectionMark>(mark_);
}

void TFRedVV::OKBtnClick() {
    mark_ = 0;
    CallCodes::SaveCorrectedCode(repeat_.idDom, repeat_.otherIdKvr, EQRab->text());
    accept();
}

void TFRedVV::BitIgnoreClick() {
    mark_ = 1;
    reject();
}

void TFRedVV::BitBtn1Click() {
    mark_ = 2;
    reject();
}

void TFRedVV::N1Click() {
    AppHelp().ShowTopic(kHelpTopic);
}

void TFRedVV::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        BitIgnoreClick();
        return;
    }
    if (event->key() == Qt::Key_F1) {
        N1Click();
        return;
    }
    QDialog::keyPressEvent(event);
}
