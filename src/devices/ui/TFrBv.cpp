#include "devices/ui/TFrBv.h"

#include "devices/DeviceChange.h"
#include "devices/DeviceListLayout.h"
#include "devices/SwitchListCells.h"
#include "devices/ui/DeviceListParts.h"
#include "devices/ui/DrawnCellDelegate.h"
#include "devices/ui/FormControls.h"
#include "devices/ui/GridColumns.h"
#include "devices/ui/TFbvEdit.h"
#include "foundation/TFDM.h"
#include "platform/ui/DatasetGrid.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Where the main window keeps the type of this screen's grids.
const QString kBvSettingsKey = QStringLiteral("fb");

constexpr int kBvPanelAddressColumn = 1;
constexpr int kBvPanelTypeColumn = 2;
constexpr int kBvSwitchAddressColumn = 0;

// A centred drawn column of a grid.
void DrawColumn(DatasetGrid* grid, DrawnCellsModel* model, int column,
                DrawnCellsModel::RowText text) {
    if (model) model->SetCellText(column, std::move(text));
    grid->setItemDelegateForColumn(
        column, new DrawnCellDelegate(DrawnCellDelegate::Place::Centred, false, grid));
}

}  // namespace

TFrBv::TFrBv(QWidget* parent)
    : TScreenFrame(QStringLiteral("FrBv1"), QStringLiteral("Конфигурирование блоков вызова"),
                   parent) {
    setFrameShape(QFrame::NoFrame);
    // The grids share exactly what the header and the totals leave, and follow
    // the frame's height rather than hold it.
    layout()->setContentsMargins(0, 0, 0, 0);
    layout()->setSpacing(0);
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
    QVBoxLayout* content = ContentLayout();
    content->setSpacing(0);
    content->addWidget(buildHeader());
    buildGrids();
    content->addWidget(DBGrid1);
    content->addWidget(DBGrid2);
    content->addStretch();
    content->addWidget(buildTotals());
}

QFrame* TFrBv::buildHeader() {
    PanelHead = new QFrame(this);
    PanelHead->setObjectName(QStringLiteral("PanelHead"));
    PanelHead->setFrameShape(QFrame::StyledPanel);
    PanelHead->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    TxIdent = MakeNameLabel(PanelHead, "TxIdent", QString());
    SetBold(TxIdent, true);
    TxAdres = MakeNameLabel(PanelHead, "TxAdres", QString());
    // The frame's back and next buttons stand in the header.
    for (QLayout* l : findChildren<QLayout*>()) {
        l->removeWidget(BitPrev);
        l->removeWidget(BitNext);
    }
    auto* object = new QHBoxLayout;
    object->addWidget(new QLabel(QStringLiteral("Действующий объект"), PanelHead));
    ElidedLabel::AddToRow(object, TxIdent);
    ElidedLabel::AddToRow(object, TxAdres);
    object->addStretch();
    object->addWidget(BitPrev);
    object->addWidget(BitNext);

    BitpkEdit = MakeButton(PanelHead, "BitpkEdit", QStringLiteral("Общие параметры БВ"));
    connect(BitpkEdit, &QPushButton::clicked, this, &TFrBv::BitpkEditClick);
    P3_Fs = MakeBoldToggle(PanelHead);
    connect(P3_Fs, &QToolButton::clicked, this, &TFrBv::P3_FsClick);
    auto* tools = new QHBoxLayout;
    tools->addWidget(BitpkEdit);
    tools->addStretch();
    tools->addWidget(P3_Fs);

    auto* rows = new QVBoxLayout(PanelHead);
    rows->setContentsMargins(6, 4, 6, 4);
    rows->addLayout(object);
    rows->addLayout(tools);
    return PanelHead;
}

void TFrBv::buildGrids() {
    auto* panels = FDM ? new DrawnCellsModel(FDM->Q_bv) : nullptr;
    DBGrid1 = MakeDatasetGrid(this, "DBGrid1", panels,
                              {{QStringLiteral("n_bv"), QStringLiteral("Наименование БВ")},
                               {QStringLiteral("n_nt0"), QStringLiteral("Сетевой адрес")},
                               {QStringLiteral("bv_type"), QStringLiteral("Тип БВ")},
                               {QStringLiteral("sn_bv"), QStringLiteral("Серийный № БВ")}});
    DrawColumn(DBGrid1, panels, kBvPanelAddressColumn, [](const Dataset& ds, int row) {
        return PanelCellText(RowValue(ds, row, "n_nt0"));
    });
    DrawColumn(DBGrid1, panels, kBvPanelTypeColumn, [](const Dataset& ds, int row) {
        return PanelTypeText(RowValue(ds, row, "bv_type"));
    });
    auto* switches = FDM ? new DrawnCellsModel(FDM->Q_Bpk) : nullptr;
    DBGrid2 =
        MakeDatasetGrid(this, "DBGrid2", switches,
                        {{QStringLiteral("k.n_net"), QStringLiteral("Сетевой адрес КМ")},
                         {QStringLiteral("house"), QStringLiteral("Дом №")},
                         {QStringLiteral("p.n_pod"), QStringLiteral("№ подъезда")},
                         {QStringLiteral("n1kvr"), QStringLiteral("1 кв.")},
                         {QStringLiteral("npkvr"), QStringLiteral("Посл.кв.")},
                         {QStringLiteral("p.v_kvr"), QStringLiteral("К-во кв.")},
                         {QStringLiteral("type_n"), QStringLiteral("Гостин.№")},
                         {QStringLiteral("d.kod_d"), QStringLiteral("Префикс д.")},
                         {QStringLiteral("p.nm_pod"), QStringLiteral("Наименование подъезда")}});
    DrawColumn(DBGrid2, switches, kBvSwitchAddressColumn, [](const Dataset& ds, int row) {
        return SwitchCellText(RowValue(ds, row, "k.n_net"));
    });
    for (DatasetGrid* grid : {DBGrid1, DBGrid2}) grid->installEventFilter(this);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &TFrBv::BitpkEditClick);
    GridKeys::DoubleClickBy(DBGrid1, GridKeys::kEnterOrSpace);
}

QFrame* TFrBv::buildTotals() {
    totals_ = MakeTotalsBar(this, "TxKm", "TxBv", "TxKal");
    PanelTotals = totals_.panel;
    TxKm = totals_.switches;
    TxBv = totals_.panels;
    TxKal = totals_.gates;
    return PanelTotals;
}

void TFrBv::PrepareScreen(const QString& dbFolder) {
    TScreenFrame::PrepareScreen(dbFolder);
    showGridType(StoredGridsBold(this, kBvSettingsKey, GridsBold()));
    showObject();
    ShowDeviceTotals();
    FrameResize();
}

void TFrBv::showObject() {
    const bool object = FDM && HasCurrentRow(FDM->Q_Net);
    TxIdent->setText(object ? FDM->Q_Net->FieldByName(QStringLiteral("ident")).AsString()
                            : QString());
    TxAdres->setText(object ? FDM->Q_Net->FieldByName(QStringLiteral("adres")).AsString()
                            : QString());
}

void TFrBv::ShowDeviceTotals() {
    ShowTotals(totals_);
}

void TFrBv::BitpkEditClick() {
    if (!FbvEdit || !FDM || !HasCurrentRow(FDM->Q_bv)) return;
    FbvEdit->SnTag = 0;
    ShowWindow(FbvEdit);
    FbvEdit->LoadPanel();
}

bool TFrBv::GridsBold() const {
    return GridsShownBold(P3_Fs);
}

void TFrBv::P3_FsClick() {
    showGridType(!GridsBold());
}

void TFrBv::showGridType(bool bold) {
    ShowGridsBold(P3_Fs, {DBGrid1, DBGrid2}, bold);
    StoreGridType(P3_Fs, kBvSettingsKey);
}

void TFrBv::FrameResize() {
    SplitFrameHeight(this, PanelHead, PanelTotals, DBGrid1, DBGrid2);
}

void TFrBv::resizeEvent(QResizeEvent* event) {
    TScreenFrame::resizeEvent(event);
    FrameResize();
}

void TFrBv::showEvent(QShowEvent* event) {
    TScreenFrame::showEvent(event);
    FrameResize();
}

bool TFrBv::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return TScreenFrame::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Delete) return true;  // no row is deleted from the grids
    // Enter in the lower grid opens the panel's editor too.
    if (watched != DBGrid2 || (key != Qt::Key_Return && key != Qt::Key_Enter))
        return TScreenFrame::eventFilter(watched, event);
    BitpkEditClick();
    return true;
}
