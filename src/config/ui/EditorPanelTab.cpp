#include "config/ui/EditorPanelTab.h"

#include "config/EditorValueChecks.h"

#include "config/ui/CallCodeGrid.h"
#include "config/ui/EditorGrid.h"
#include "config/ui/EditorWidgets.h"
#include "foundation/BitAndStr.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int kPanelBase = 64;  // a panel's number is its network number - 64

// MsPod rows: the switch, served or not, the apartment count, AI and AH.
enum EntranceGridRow { kServedRow = 1, kCountRow = 2, kAiRow = 3, kAhRow = 4 };

QCheckBox* check(QGridLayout* grid, const char* name, const QString& text, int at) {
    auto* box = Named(new QCheckBox(text, grid->parentWidget()), name);
    grid->addWidget(box, at / 2, at % 2);
    return box;
}

}  // namespace

EditorPanelTab::EditorPanelTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabCBV1"));
    auto* bottom = new QHBoxLayout;
    L_bv_net = Named(new QLabel(this), "L_bv_net");
    BitSaveBv = Named(new QPushButton(QStringLiteral("Сохранить БВ"), this), "BitSaveBv");
    bottom->addWidget(new QLabel(QStringLiteral("Номер БВ:"), this));
    bottom->addWidget(L_bv_net);
    bottom->addStretch();
    bottom->addWidget(BitSaveBv);

    auto* page = new QVBoxLayout(ScrollingPage(this, bottom));
    page->addWidget(buildParams());
    page->addWidget(buildEntrances());
    page->addWidget(buildCodes());
    page->addStretch();
    SetSepDevice(sepDevice_);
}

QWidget* EditorPanelTab::buildParams() {
    auto* box = new QGroupBox(QStringLiteral("Основные параметры"), this);
    auto* row = new QHBoxLayout(box);
    auto* form = new QFormLayout;
    SL = AddSpin(form, "SL", QStringLiteral("Уровень звука"), 0, 15);
    OT = AddSpin(form, "OT", QStringLiteral("Время открывания двери, с"), 1, 16);
    KFilt = AddSpin(form, "KFilt", QStringLiteral("Маска фильтра ключей"), 0, 255);
    BlatoBv = AddSpin(form, "BlatoBv", QStringLiteral("Тайм-аут крайних уровней"), -1, 255);
    ADRCS = AddSpin(form, "ADRCS", QStringLiteral("Трубка БВ на посту охраны"), -1, 65535);
    row->addLayout(form);

    auto* flags = new QGridLayout;
    Bell = check(flags, "Bell", QStringLiteral("Отзвонка разрешена"), 0);
    Auto = check(flags, "Auto", QStringLiteral("Автодобавление ключей"), 1);
    Nrcs = check(flags, "Nrcs", QStringLiteral("Переадресация при ошибке набора"), 2);
    DSoc = check(flags, "DSoc", QStringLiteral("Скрытый показ кодов открывания"), 3);
    PH_0 = check(flags, "PH_0", QStringLiteral("Автоподсветка выключена"), 4);
    PH_1 = check(flags, "PH_1", QStringLiteral("Подсветка включена"), 5);
    Scud = check(flags, "Scud", QStringLiteral("Журнал включен"), 6);
    ReservBv = check(flags, "ReservBv", QStringLiteral("Резервный бит"), 7);
    connect(PH_0, &QCheckBox::toggled, this, &EditorPanelTab::PH_0Click);
    row->addLayout(flags);

    auto* codes = new QVBoxLayout;
    codes->addWidget(new QLabel(QStringLiteral("Коды открывания двери"), box));
    Ocode = new EditorGrid("Ocode", 5, 2, 0, 0, box);
    Ocode->SetInput(EditorGrid::Input::Code5);
    Ocode->FitColumns(64);
    Ocode->FitHeight(2);
    codes->addWidget(Ocode);
    codes->addStretch();
    row->addLayout(codes, 1);
    return box;
}

QWidget* EditorPanelTab::buildEntrances() {
    auto* box = new QGroupBox(QStringLiteral("Подъезды"), this);
    auto* layout = new QHBoxLayout(box);
    MsPod = new EditorGrid("MsPod", 2, 5, 1, 1, box);
    MsPod->SetRowInput(kServedRow, EditorGrid::Input::Mask);
    for (int row : {kCountRow, kAiRow, kAhRow}) MsPod->SetRowInput(row, EditorGrid::Input::Number);
    MsPod->FitHeight(5);
    connect(MsPod, &EditorGrid::currentCellChanged, this,
            [this](int row, int column) { ShowBvEntranceCodes(column, row); });
    connect(MsPod, &EditorGrid::cellTyped, this, &EditorPanelTab::msPodTyped);
    auto* form = new QFormLayout;
    AI = AddSpin(form, "AI", QStringLiteral("AI"), 0, 255);
    AH = AddSpin(form, "AH", QStringLiteral("AH"), 0, 255);
    BitASave = Named(new QPushButton(QStringLiteral("Записать AI, AH"), box), "BitASave");
    form->addRow(BitASave);
    connect(AI, &QSpinBox::valueChanged, this, &EditorPanelTab::AChange);
    connect(AH, &QSpinBox::valueChanged, this, &EditorPanelTab::AChange);
    connect(BitASave, &QPushButton::clicked, this, &EditorPanelTab::BitASaveClick);
    layout->addWidget(MsPod, 1);
    layout->addLayout(form);
    return box;
}

QWidget* EditorPanelTab::buildCodes() {
    auto* box = new QGroupBox(QStringLiteral("Коды вызова подъезда"), this);
    auto* layout = new QGridLayout(box);
    KodBv = new CallCodeGrid("KodBv", false, box);
    KodBv->Counts = [this] { return PanelEntranceCounts(entrances_); };
    FArc = Named(new QCheckBox(QStringLiteral("Упакованные коды"), box), "FArc");
    EInc = Named(new QLineEdit(box), "EInc");
    EInc->setMaximumWidth(40);
    LError = Named(new QLabel(box), "LError");
    Mask = new CheckList("Mask", FlagItems(), 8, box);
    Mask->setToolTip(QStringLiteral("Флаги глобального разрешения для квартир"));
    MVal = new CheckList("MVal", FlagItems(), 8, box);
    MVal->setToolTip(QStringLiteral("Маска флагов, установленных по умолчанию для квартир"));
    KodBv->CarriedFlags = [this] { return CheckedCount(Mask); };
    auto* options = new QHBoxLayout;
    options->addWidget(FArc);
    options->addWidget(new QLabel(QStringLiteral("Инкремент:"), box));
    options->addWidget(EInc);
    options->addWidget(LError, 1);
    auto* flags = new QFormLayout;
    flags->addRow(QStringLiteral("Флаги квартир"), Mask);
    flags->addRow(QStringLiteral("По умолчанию"), MVal);
    layout->addWidget(KodBv, 0, 0);
    layout->addLayout(options, 1, 0);
    layout->addLayout(flags, 2, 0);
    return box;
}

void EditorPanelTab::SetSepDevice(int sepDevice) {
    sepDevice_ = qMax(sepDevice, 1);
    MsPod->SetColCount(sepDevice_ + 1);
}

void EditorPanelTab::Clear() {
    MsPod->ClearData();
    MsPod->SetColumnTitles({QStringLiteral("п"), QStringLiteral("м"), QStringLiteral("к-во"),
                            QStringLiteral("AI"), QStringLiteral("AH")});
    for (int c = 1; c < MsPod->ColCount(); ++c) MsPod->SetCell(c, 0, QString::number(c - 1));
    MsPod->FitColumns(28);
    Ocode->ClearData();
    KodBv->Clear();
    entrances_ = DecodeBvEntranceMask(QString(), sepDevice_);
    LError->clear();
    EInc->clear();
    L_bv_net->clear();
}

void EditorPanelTab::Show(const BvEditorValues& v, const std::optional<ConfigIdent>& ident) {
    const BvParamsValues& p = v.params;
    SL->setValue(int(p.SL));
    OT->setValue(int(p.OT));
    const std::pair<QCheckBox*, bool> boxes[] = {
        {Bell, p.Bell}, {Auto, p.Auto}, {Nrcs, p.Nrcs}, {DSoc, p.DSoc},
        {PH_0, p.PH_0}, {PH_1, p.PH_1}, {Scud, p.Scud}, {ReservBv, p.ReservBv}};
    for (const auto& [box, on] : boxes) box->setChecked(on);
    PH_0Click();
    KFilt->setValue(int(p.KFilt));
    BlatoBv->setValue(int(p.BlatoBv));
    ADRCS->setValue(int(p.ADRCS));
    for (int i = 0; i < kBvOpenCodes; ++i) Ocode->SetCell(i % 5, i / 5, p.Ocode[i]);

    entrances_ = v.entrances;
    for (int c = 1; c < MsPod->ColCount(); ++c) {
        const BvEntranceColumn col = entrances_.columns.value(c - 1);
        MsPod->SetCell(c, kServedRow, col.served);
        MsPod->SetCell(c, kCountRow, col.count);
        MsPod->SetCell(c, kAiRow, col.ai);
        MsPod->SetCell(c, kAhRow, col.ah);
    }
    KodBv->SetRecords(v.records);
    FArc->setChecked(v.packed);
    EInc->setText(v.increment);
    LError->setText(v.codeError);
    SetChecks(Mask, v.flags.dataMask);
    SetChecks(MVal, v.flags.defaultMask);
    if (ident && ident->nNet >= 0) L_bv_net->setText(IntToStrZ(ident->nNet - kPanelBase, 2));
    ShowBvEntranceCodes(1, 1);
}

void EditorPanelTab::Read(BvEditorValues& v) const {
    BvParamsValues& p = v.params;
    p.SL = SL->value();
    p.OT = OT->value();
    const std::pair<bool*, QCheckBox*> boxes[] = {
        {&p.Bell, Bell}, {&p.Auto, Auto}, {&p.Nrcs, Nrcs}, {&p.DSoc, DSoc},
        {&p.PH_0, PH_0}, {&p.PH_1, PH_1}, {&p.Scud, Scud}, {&p.ReservBv, ReservBv}};
    for (const auto& [on, box] : boxes) *on = box->isChecked();
    p.KFilt = KFilt->value();
    p.BlatoBv = BlatoBv->value();
    p.ADRCS = ADRCS->value();
    for (int i = 0; i < kBvOpenCodes; ++i) p.Ocode[i] = Ocode->Cell(i % 5, i / 5);
    v.entrances = entrances_;
    v.records = KodBv->Records();
    v.packed = FArc->isChecked();
    v.increment = EInc->text();
    v.flags.dataMask = Checks(Mask);
    v.flags.defaultMask = Checks(MVal);
}

void EditorPanelTab::ShowBvEntranceCodes(int column, int) {
    if (column < 1 || column >= MsPod->ColCount()) return;
    KodBv->ShowEntrance(column);
    const bool blank = PanelEntranceCounts(entrances_).value(column - 1) <= 0;
    const QSignalBlocker quietAi(AI), quietAh(AH);
    AI->setValue(blank ? 0 : MsPod->Cell(column, kAiRow).toInt());
    AH->setValue(blank ? 0 : MsPod->Cell(column, kAhRow).toInt());
    AI->setEnabled(!blank);
    AH->setEnabled(!blank);
    BitASave->setEnabled(false);
}

void EditorPanelTab::FocusRecord(int entrance, int column, int row) {
    MsPod->setCurrentCell(kServedRow, entrance);
    ShowBvEntranceCodes(entrance, kServedRow);
    KodBv->FocusCell(column, row);
}

void EditorPanelTab::PH_0Click() {
    PH_1->setEnabled(!PH_0->isChecked());
}

void EditorPanelTab::AChange() {
    BitASave->setEnabled(true);
}

void EditorPanelTab::BitASaveClick() {
    const int column = KodBv->Entrance();
    if (column < 1) return;
    MsPod->SetCell(column, kAiRow, QString::number(AI->value()));
    MsPod->SetCell(column, kAhRow, QString::number(AH->value()));
    msPodTyped(column, kAiRow);
    msPodTyped(column, kAhRow);
    BitASave->setEnabled(false);
}

void EditorPanelTab::msPodTyped(int column, int row) {
    if (column < 1 || column > entrances_.columns.size()) return;
    BvEntranceColumn& col = entrances_.columns[column - 1];
    const QString text = MsPod->Cell(column, row);
    switch (row) {
        case kServedRow:
            col.served = text;
            break;
        case kCountRow:
            col.count = text;
            break;
        case kAiRow:
            col.ai = text;
            break;
        default:
            col.ah = text;
            break;
    }
    if ((row == kServedRow || row == kCountRow) && column == KodBv->Entrance())
        ShowBvEntranceCodes(column, row);
}
