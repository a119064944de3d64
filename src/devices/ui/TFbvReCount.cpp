#include "devices/ui/TFbvReCount.h"

#include "devices/DeviceChange.h"
#include "devices/ui/FormControls.h"
#include "foundation/TFDM.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TFbvReCount* FbvReCount = nullptr;

namespace {

const QString kKeepConciergeToConsole =
    QStringLiteral("Сохранить консьержа, остальные на ППО для каждого блока вызова");
const QString kKeepConciergeClearOthers = QStringLiteral("Сохранить консьержа, остальные обнулить");

QRadioButton* MakeChoice(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QRadioButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

bool ShownObjectHasConsole() {
    return FDM && HasCurrentRow(FDM->Q_Net) &&
           FDM->Q_Net->FieldByName(QStringLiteral("l_pok")).AsBool();
}

}  // namespace

TFbvReCount::TFbvReCount(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FbvReCount"));
    setWindowTitle(QStringLiteral("Условия расчета индексов трубок"));
    CB_Kons =
        MakeChoice(this, "CB_Kons",
                   QStringLiteral("Сохранить индивидуальные настройки  для каждого блока вызова"));
    CB_KnPo = MakeChoice(this, "CB_KnPo", kKeepConciergeToConsole);
    CB_ppo = MakeChoice(
        this, "CB_ppo",
        QStringLiteral(
            "Назначить всем блокам вызова индекс трубки для вызова пульта поста охраны"));
    CB_null = MakeChoice(this, "CB_null", QStringLiteral("Обнулить индексы трубок"));
    BitOk = MakeButton(this, "BitOk", QStringLiteral("Пересчитать"));
    BitCancel = MakeButton(this, "BitCancel", QStringLiteral("Отмена"));
    connect(BitOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitOk);
    buttons->addWidget(BitCancel);
    auto* layout = new QVBoxLayout(this);
    for (QRadioButton* b : {CB_Kons, CB_KnPo, CB_ppo, CB_null}) layout->addWidget(b);
    layout->addLayout(buttons);
}

void TFbvReCount::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
}

void TFbvReCount::FormActivate() {
    for (QRadioButton* b : {CB_Kons, CB_KnPo, CB_ppo, CB_null}) {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
    const bool console = ShownObjectHasConsole();
    CB_ppo->setEnabled(console);
    CB_KnPo->setText(console ? kKeepConciergeToConsole : kKeepConciergeClearOthers);
}

std::optional<HandsetIndexMode> TFbvReCount::ChosenMode() const {
    if (CB_Kons->isChecked()) return HandsetIndexMode::Individual;
    if (CB_ppo->isChecked()) return HandsetIndexMode::SecurityPost;
    if (CB_null->isChecked()) return HandsetIndexMode::Clear;
    if (CB_KnPo->isChecked()) return HandsetIndexMode::KeepConcierge;
    return std::nullopt;
}
