#include "keys/ui/TFKeyInKv.h"

#include "foundation/HelpLauncher.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TFProgress.h"
#include "foundation/ui/WaitCursor.h"
#include "platform/Dialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TFKeyInKv* FKeyInKv = nullptr;

namespace {
constexpr int kWide = 1000000;  // a field without limits of its own
}  // namespace

TFKeyInKv::TFKeyInKv(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FKeyInKv"));
    setWindowTitle(QStringLiteral("Условия заливки ключей в квартиры подъезда"));
    buildFilePanel();
    buildEntrancePanel();

    CBOb = new QCheckBox(QStringLiteral("В общие"), this);
    CBOb->setObjectName(QStringLiteral("CBOb"));
    OKBtn = new QPushButton(QStringLiteral("Записать"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setAutoDefault(false);
    CancelBtn = new QPushButton(QStringLiteral("Отмена"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CBOb);
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* panels = new QHBoxLayout;
    panels->addWidget(PanelFile);
    panels->addWidget(PanelPod);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panels);
    layout->addLayout(buttons);

    NHelp = new QAction(QStringLiteral("Помощь"), this);
    NHelp->setObjectName(QStringLiteral("NHelp"));
    NHelp->setShortcut(QKeySequence(Qt::Key_F1));
    NReOpen = new QAction(QStringLiteral("Обновить"), this);
    NReOpen->setObjectName(QStringLiteral("NReOpen"));
    NReOpen->setShortcut(QKeySequence(Qt::Key_F5));
    addAction(NHelp);
    addAction(NReOpen);

    connect(NHelp, &QAction::triggered, this, [] { AppHelp().ShowTopic(kHelpTopic); });
    connect(NReOpen, &QAction::triggered, this, [] {
        if (!FDM) return;
        WaitCursor wait;
        if (!FDM->OpenAllTables(ProgressGauge()))
            Dialogs::Error(QStringLiteral("Ошибка"), FDM->LastError());
    });
    connect(CBOb, &QCheckBox::clicked, this, &TFKeyInKv::CBObClick);
    connect(OKBtn, &QPushButton::clicked, this, &TFKeyInKv::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TFKeyInKv::CancelBtnClick);
    connect(Ind_1, &QSpinBox::editingFinished, this, &TFKeyInKv::Ind_poExit);
    connect(Ind_po, &QSpinBox::editingFinished, this, &TFKeyInKv::Ind_poExit);
    // However the dialog closes (Esc too), the next showing computes afresh.
    connect(this, &QDialog::finished, this, [this] {
        Conditions.Finish();
        AppHelp().CloseViewer();
    });
    showMode();
}

QSpinBox* TFKeyInKv::valueField(const char* name, bool editable) {
    auto* field = new QSpinBox(this);
    field->setObjectName(QString::fromLatin1(name));
    field->setRange(-kWide, kWide);
    field->setReadOnly(!editable);
    if (!editable) field->setButtonSymbols(QAbstractSpinBox::NoButtons);
    field->setMinimumWidth(72);
    return field;
}

void TFKeyInKv::buildFilePanel() {
    PanelFile = new QGroupBox(QStringLiteral("Файл Mirel"), this);
    PanelFile->setObjectName(QStringLiteral("PanelFile"));
    KolIndIsx = valueField("KolIndIsx", false);
    KolKeys = valueField("KolKeys", false);
    Ind_1 = valueField("Ind_1", true);
    Ind_po = valueField("Ind_po", true);
    KolIndItog = valueField("KolIndItog", false);
    LKolIndIsx = new QLabel(QStringLiteral("Количество индексов в исходном файле"), PanelFile);
    LKolKeys = new QLabel(QStringLiteral("Количество ключей в исходном файле"), PanelFile);
    auto* grid = new QGridLayout(PanelFile);
    grid->addWidget(LKolIndIsx, 0, 0, 1, 3);
    grid->addWidget(KolIndIsx, 0, 3);
    grid->addWidget(LKolKeys, 1, 0, 1, 3);
    grid->addWidget(KolKeys, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("записать с"), PanelFile), 2, 0);
    grid->addWidget(Ind_1, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("по"), PanelFile), 2, 2, Qt::AlignRight);
    grid->addWidget(Ind_po, 2, 3);
    grid->addWidget(new QLabel(QStringLiteral("Итого индексов для записи"), PanelFile), 3, 0, 1, 3);
    grid->addWidget(KolIndItog, 3, 3);
    grid->setRowStretch(4, 1);
}

void TFKeyInKv::buildEntrancePanel() {
    PanelPod = new QGroupBox(QStringLiteral("Подъезд"), this);
    PanelPod->setObjectName(QStringLiteral("PanelPod"));
    KolKvIsx = valueField("KolKvIsx", false);
    Kv_c = valueField("Kv_c", false);
    Kv_po = valueField("Kv_po", false);
    Kv_n1 = valueField("Kv_n1", true);
    Kv_np = valueField("Kv_np", false);
    KolKvItog = valueField("KolKvItog", false);
    KvEn1 = new ElidedLabel(PanelPod);
    KvEn1->setObjectName(QStringLiteral("KvEn1"));
    KvEnp = new ElidedLabel(PanelPod);
    KvEnp->setObjectName(QStringLiteral("KvEnp"));
    for (QLabel* number : {KvEn1, KvEnp}) number->setMinimumWidth(48);
    auto* grid = new QGridLayout(PanelPod);
    grid->addWidget(new QLabel(QStringLiteral("Количество квартир в подъезде"), PanelPod), 0, 0, 1,
                    3);
    grid->addWidget(KolKvIsx, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("номера с"), PanelPod), 1, 0);
    grid->addWidget(Kv_c, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("по"), PanelPod), 1, 2, Qt::AlignRight);
    grid->addWidget(Kv_po, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("записать начиная с  квартиры №"), PanelPod), 2, 0);
    grid->addWidget(Kv_n1, 2, 1);
    grid->addWidget(KvEn1, 2, 2, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("по"), PanelPod), 3, 0, Qt::AlignRight);
    grid->addWidget(Kv_np, 3, 1);
    grid->addWidget(KvEnp, 3, 2, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Итого квартир для записи"), PanelPod), 4, 0, 1, 3);
    grid->addWidget(KolKvItog, 4, 3);
    grid->setRowStretch(5, 1);

    const std::pair<PourField, QSpinBox*> all[] = {{PourField::KolIndIsx, KolIndIsx},
                                                   {PourField::KolKeys, KolKeys},
                                                   {PourField::Ind_1, Ind_1},
                                                   {PourField::Ind_po, Ind_po},
                                                   {PourField::KolIndItog, KolIndItog},
                                                   {PourField::KolKvIsx, KolKvIsx},
                                                   {PourField::Kv_n1, Kv_n1},
                                                   {PourField::Kv_np, Kv_np},
                                                   {PourField::KolKvItog, KolKvItog},
                                                   {PourField::Kv_c, Kv_c},
                                                   {PourField::Kv_po, Kv_po}};
    for (const auto& [field, box] : all) {
        fields_[int(field)] = box;
        if (box->isReadOnly()) continue;
        connect(box, &QSpinBox::valueChanged, this,
                [this, field = field](int value) { fieldEdited(field, value); });
    }
}

void TFKeyInKv::SetSource(int indexCount, int keyCount, int firstIndex) {
    Conditions.Set(PourField::KolIndIsx, indexCount);
    Conditions.Set(PourField::KolKeys, keyCount);
    Conditions.Set(PourField::Ind_1, firstIndex);
    showFields();
}

void TFKeyInKv::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TFKeyInKv::FormActivate() {
    if (Conditions.Computed()) return;
    if (FDM) Conditions.SetEntrance(ReadPourEntrance(*FDM));
    Conditions.Activate();
    showMode();
    showFields();
}

// Common keys need no apartments: the entrance's panel is out of use and the
// file's key count stands where its index count stood.
void TFKeyInKv::showMode() {
    const bool common = Conditions.Common();
    CBOb->setChecked(common);
    PanelPod->setEnabled(!common);
    LKolKeys->setVisible(common);
    KolKeys->setVisible(common);
    LKolIndIsx->setVisible(!common);
    KolIndIsx->setVisible(!common);
}

void TFKeyInKv::CBObClick() {
    if (FDM) Conditions.SetEntrance(ReadPourEntrance(*FDM));
    Conditions.SetCommon(CBOb->isChecked());
    showMode();
    showFields();
}

void TFKeyInKv::fieldEdited(PourField field, int value) {
    if (showing_) return;
    Conditions.Set(field, value);
    showFields();
}

void TFKeyInKv::Ind_poExit() {
    Conditions.IndexLeft();
    showFields();
}

void TFKeyInKv::showFields() {
    showing_ = true;
    for (int i = 0; i < KeyPourConditions::kFieldCount; ++i) {
        const auto field = PourField(i);
        QSpinBox* box = fields_[i];
        const int low = Conditions.Minimum(field);
        const int high = Conditions.Maximum(field);
        if (low != high && low < high)
            box->setRange(low, high);
        else
            box->setRange(-kWide, kWide);
        box->setValue(Conditions.Value(field));
    }
    KvEn1->setText(Conditions.KvEn1());
    KvEnp->setText(Conditions.KvEnp());
    showing_ = false;
}

void TFKeyInKv::OKBtnClick() {
    Conditions.Finish();
    accept();
}

void TFKeyInKv::CancelBtnClick() {
    Conditions.Finish();
    reject();
}
