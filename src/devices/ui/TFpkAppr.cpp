#include "devices/ui/TFpkAppr.h"

#include "devices/HardwareAccess.h"
#include "devices/ui/FormControls.h"
#include "foundation/HelpLauncher.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TFpkAppr* FpkAppr = nullptr;

namespace {

// Grey where the design draws a label grey, the window text colour elsewhere.
void DrawLabelGrey(QLabel* label, bool grey) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText,
               label->parentWidget()->palette().color(grey ? QPalette::Disabled : QPalette::Active,
                                                      QPalette::WindowText));
    label->setPalette(p);
}

}  // namespace

TFpkAppr::TFpkAppr(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FpkAppr"));
    setWindowTitle(QStringLiteral("Аппаратные настройки КМ"));
    enter_ = new EnterMovesFocus(this);

    BitOk = MakeButton(this, "BitOk", QStringLiteral("Сохранить"));
    BitCancel = MakeButton(this, "BitCancel", QStringLiteral("Отмена"));
    MHelp = MakeButton(this, "MHelp", QStringLiteral("Помощь"));
    connect(BitOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitCancel, &QPushButton::clicked, this, &TFpkAppr::reject);
    connect(MHelp, &QPushButton::clicked, this, &TFpkAppr::MHelpClick);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(MHelp);
    buttons->addStretch();
    buttons->addWidget(BitOk);
    buttons->addWidget(BitCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildTimeouts());
    layout->addWidget(buildThresholds());
    layout->addLayout(buttons);
    for (QSpinBox* spin : findChildren<QSpinBox*>()) enter_->Watch(spin);
    enter_->Watch(PassEdit);
    Fill(SwitchParams{});
    PassEditKeyUp();
}

QSpinBox* TFpkAppr::addSpin(QGridLayout* grid, int row, const char* name, const QString& caption,
                            const QString& unit, int max, int value, int step) {
    QWidget* owner = grid->parentWidget();
    QSpinBox* spin = MakeSpin(owner, name, 0, max, value, step);
    spin->setFixedWidth(90);
    grid->addWidget(new QLabel(caption, owner), row, 0);
    grid->addWidget(spin, row, 1);
    grid->addWidget(new QLabel(unit, owner), row, 2);
    return spin;
}

QWidget* TFpkAppr::buildTimeouts() {
    auto* box = new QWidget(this);
    auto* heading = new QGroupBox(QStringLiteral("Таймауты контроля снятой трубки"), box);
    auto* grid = new QGridLayout(heading);
    PTTO = addSpin(grid, 0, "PTTO", QStringLiteral("обратного вызова после разговора"),
                   QStringLiteral("секунд"), 255, 5);
    EDT = addSpin(grid, 1, "EDT", QStringLiteral("на блокирование"), QStringLiteral("минут"),
                  kMostBlockingMinutes, 5, 5);
    DET = addSpin(grid, 2, "DET", QStringLiteral("на разблокирование"), QStringLiteral("минут"),
                  kMostBlockingMinutes, 5, 5);
    Edge = addSpin(grid, 3, "Edge", QStringLiteral("Граница между секциями буфера"),
                   QStringLiteral("0-15"), 15, 0);

    auto* reserve = new QWidget(box);
    auto* reserveGrid = new QGridLayout(reserve);
    reserveGrid->setContentsMargins(0, 0, 0, 0);
    Reserv = addSpin(reserveGrid, 0, "Reserv", QStringLiteral("Резервное значение"),
                     QStringLiteral("0-15"), 15, 0);
    Reserv->setToolTip(QStringLiteral("Резервное значение из 4-х бит в 6-й секции КФ для КМ"));

    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(heading);
    layout->addWidget(reserve);
    return box;
}

QWidget* TFpkAppr::buildThresholds() {
    auto* box = new QWidget(this);
    Panel1 = new QGroupBox(box);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    LTimePass = new QLabel(QStringLiteral("Пороги АЦП"), Panel1);
    LTimePass->setObjectName(QStringLiteral("LTimePass"));
    auto* grid = new QGridLayout;
    QSpinBox** thresholds[] = {&ACP1, &ACP2, &ACP3, &ACP4};
    const char* names[] = {"ACP1", "ACP2", "ACP3", "ACP4"};
    const int defaults[] = {64, 128, 192, 0};
    for (int i = 0; i < 4; ++i) {
        *thresholds[i] = MakeSpin(Panel1, names[i], 0, 255, defaults[i]);
        grid->addWidget(new QLabel(QStringLiteral("AE%1").arg(i + 1), Panel1), 0, 2 * i);
        grid->addWidget(*thresholds[i], 0, 2 * i + 1);
    }
    auto* panel = new QVBoxLayout(Panel1);
    panel->addWidget(LTimePass);
    panel->addLayout(grid);

    LPass = new QLabel(QStringLiteral("Введите пароль для изменения порогов АЦП"), box);
    LPass->setObjectName(QStringLiteral("LPass"));
    PassEdit = new QLineEdit(box);
    PassEdit->setObjectName(QStringLiteral("PassEdit"));
    PassEdit->setEchoMode(QLineEdit::Password);
    PassEdit->setMaxLength(20);
    connect(PassEdit, &QLineEdit::textChanged, this, &TFpkAppr::PassEditKeyUp);
    auto* code = new QHBoxLayout;
    code->addWidget(LPass);
    code->addWidget(PassEdit);

    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Panel1);
    layout->addLayout(code);
    return box;
}

void TFpkAppr::Fill(const SwitchParams& p) {
    opened_ = p;
    PTTO->setValue(p.set.t_po);
    EDT->setValue(p.edt);
    DET->setValue(p.det);
    Edge->setValue(p.set.edge);
    Reserv->setValue(p.rsrv);
    ACP1->setValue(p.set.acp1);
    ACP2->setValue(p.set.acp2);
    ACP3->setValue(p.set.acp3);
    ACP4->setValue(p.set.acp4);
}

void TFpkAppr::Values(SwitchParams* p) const {
    p->set.t_po = PTTO->value();
    p->edt = EDT->value();
    p->det = DET->value();
    p->set.edge = Edge->value();
    p->rsrv = Reserv->value();
    p->set.acp1 = ACP1->value();
    p->set.acp2 = ACP2->value();
    p->set.acp3 = ACP3->value();
    p->set.acp4 = ACP4->value();
}

bool TFpkAppr::ThresholdsLocked() const {
    return !Panel1->isEnabled();
}

// Checked on every change of the code field, typed or pasted; the field keeps
// its text between showings, so an unlocked dialog stays unlocked.
void TFpkAppr::PassEditKeyUp() {
    const bool unlocked = HardwareUnlocked(PassEdit->text());
    Panel1->setEnabled(unlocked);
    DrawLabelGrey(LPass, unlocked);
    DrawLabelGrey(LTimePass, !unlocked);
}

void TFpkAppr::MHelpClick() {
    AppHelp().ShowTopic(kHelpTopic);
}

void TFpkAppr::reject() {
    Fill(opened_);
    QDialog::reject();
}

void TFpkAppr::changeEvent(QEvent* event) {
    CloseHelpOnDeactivate(this, event);
    QDialog::changeEvent(event);
}
