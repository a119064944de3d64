#include "devices/ui/TFbvApp.h"

#include "devices/DeviceChange.h"
#include "devices/HardwareAccess.h"
#include "devices/ui/FormControls.h"
#include "foundation/HelpLauncher.h"
#include "foundation/TFDM.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TFbvApp* FbvApp = nullptr;

TFbvApp::TFbvApp(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FbvApp"));
    setWindowTitle(QStringLiteral("Аппаратные настройки БВ"));

    PanelProtected = new QWidget(this);
    PanelProtected->setObjectName(QStringLiteral("PanelProtected"));
    KFilt = MakeSpin(PanelProtected, "KFilt", 0, 255, 0);
    BlatoBv = MakeSpin(PanelProtected, "BlatoBv", 0, 255, 0);
    auto* blato = new QHBoxLayout;
    blato->addWidget(BlatoBv);
    blato->addWidget(new QLabel(QStringLiteral("0,03 сек"), PanelProtected));
    auto* protectedForm = new QFormLayout(PanelProtected);
    protectedForm->setContentsMargins(0, 0, 0, 0);
    protectedForm->addRow(QStringLiteral("Маска фильтрации ключей"), KFilt);
    protectedForm->addRow(QStringLiteral("Таймаут на акцепатацию крайних уровней"), blato);

    Reserv = MakeCheck(this, "Reserv", QStringLiteral("Резервный бит"));
    ReservKey = MakeSpin(this, "ReservKey", 0, 255, 0);
    LabelPass =
        MakeLabel(this, "LabelPass", QStringLiteral("Введите пароль для изменения параметров"));
    PassEdit = new QLineEdit(this);
    PassEdit->setObjectName(QStringLiteral("PassEdit"));
    PassEdit->setEchoMode(QLineEdit::Password);
    connect(PassEdit, &QLineEdit::textChanged, this, &TFbvApp::PassEditKeyUp);

    BitSave = MakeButton(this, "BitSave", QStringLiteral("Сохранить"));
    BitCancel = MakeButton(this, "BitCancel", QStringLiteral("Отмена"));
    ButHelp = MakeButton(this, "ButHelp", QStringLiteral("Помощь"));
    connect(BitSave, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ButHelp, &QPushButton::clicked, this, &TFbvApp::ButHelpClick);
    auto* f1 = new QAction(this);
    f1->setShortcut(Qt::Key_F1);
    addAction(f1);
    connect(f1, &QAction::triggered, this, &TFbvApp::ButHelpClick);

    auto* free = new QFormLayout;
    free->addRow(QString(), Reserv);
    free->addRow(QStringLiteral("Резервный байт общих ключей"), ReservKey);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButHelp);
    buttons->addStretch();
    buttons->addWidget(BitSave);
    buttons->addWidget(BitCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LabelPass);
    layout->addWidget(PassEdit);
    layout->addWidget(PanelProtected);
    layout->addLayout(free);
    layout->addLayout(buttons);
    PassEditKeyUp();
}

void TFbvApp::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
}

void TFbvApp::FormActivate() {
    if (!FDM || !HasCurrentRow(FDM->Q_bv)) return;
    CallPanelRecord r;
    QString error;
    if (!ReadCallPanel(FDM->ConnectionDB(),
                       FDM->Q_bv->FieldByName(QStringLiteral("id_bv")).AsLargeInt(), &r, &error))
        return;
    KFilt->setValue(r.hardware.kfilt);
    BlatoBv->setValue(r.hardware.blato);
    Reserv->setChecked(r.hardware.lrez);
    ReservKey->setValue(r.hardware.rsrv);
    PassEditKeyUp();
}

void TFbvApp::PassEditKeyUp() {
    const bool unlocked = HardwareUnlocked(PassEdit->text());
    PanelProtected->setEnabled(unlocked);
    DrawGrey(LabelPass, unlocked);
}

PanelHardware TFbvApp::Values() const {
    return {KFilt->value(), BlatoBv->value(), Reserv->isChecked(), ReservKey->value()};
}

void TFbvApp::ButHelpClick() {
    AppHelp().ShowTopic(kHelpTopic);
}

void TFbvApp::changeEvent(QEvent* event) {
    CloseHelpOnDeactivate(this, event);
    QDialog::changeEvent(event);
}
