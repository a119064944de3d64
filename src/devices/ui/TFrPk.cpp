#include "devices/ui/TFrPk.h"

#include "devices/DeviceListLayout.h"
#include "devices/SwitchListCells.h"
#include "devices/ui/DeviceListParts.h"
#include "devices/ui/DrawnCellDelegate.h"
#include "devices/ui/FormControls.h"
#include "devices/ui/GridColumns.h"
#include "devices/ui/TFQRepPK.h"
#include "devices/ui/TFQRepTract.h"
#include "devices/ui/TFpkEdit.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/TFDM.h"
#include "foundation/ui/WaitCursor.h"
#include "platform/ui/DatasetGrid.h"
#include "platform/ui/NamedWidget.h"
#include "site/ui/TFkvEdit.h"
#include "site/ui/TFskEdit.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Where the main window keeps the type of this screen's grids.
const QString kSettingsKey = QStringLiteral("fp");

// Drawn columns of the switch grid and of the panel grid.
constexpr int kEntranceColumn = 0;
constexpr int kSwitchAddressColumn = 3;
constexpr int kHouseColumn = 12;
constexpr int kEntranceNumberColumn = 13;
constexpr int kPanelAddressColumn = 2;
constexpr int kPanelTypeColumn = 4;

bool isKey(QEvent* event, std::initializer_list<int> keys) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

// The model of a grid with drawn columns over the data module's dataset.
DrawnCellsModel* drawnModel(Dataset* TFDM::*dataset) {
    return FDM ? new DrawnCellsModel(FDM->*dataset) : nullptr;
}

// The titled box holds its grid, which fills it.
QGroupBox* holding(QGroupBox* box, QWidget* grid) {
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(grid);
    return box;
}

// While a report is made: the hourglass, "Ждите..." and its button off; all
// come back on every way out, a failure included.
class ReportBusy {
  public:
    ReportBusy(QWidget* frame, QLabel* wait, QPushButton* button)
        : frame_(frame), wait_(wait), button_(button) {
        wait_->show();
        button_->setEnabled(false);
        frame_->repaint();
    }
    ~ReportBusy() {
        wait_->hide();
        button_->setEnabled(true);
        frame_->repaint();
    }
    ReportBusy(const ReportBusy&) = delete;
    ReportBusy& operator=(const ReportBusy&) = delete;

  private:
    WaitCursor cursor_;
    QWidget* frame_;
    QLabel* wait_;
    QPushButton* button_;
};

}  // namespace

TFrPk::TFrPk(QWidget* parent) : TScreenFrame(QStringLiteral("FrPk1"), QString(), parent) {
    setFrameShape(QFrame::NoFrame);
    // The grids share exactly what the header and the totals leave.
    layout()->setContentsMargins(0, 0, 0, 0);
    layout()->setSpacing(0);
    // The grids' heights follow the frame's (FrameResize), so they must not
    // hold the frame at its last height.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
    ButBack = Named(BitPrev, "ButBack");
    VvodObj = Named(BitNext, "VvodObj");
    QVBoxLayout* content = ContentLayout();
    content->setSpacing(0);
    content->addWidget(buildHead());
    content->addWidget(buildSwitchGrid());
    content->addWidget(buildPanelGrid());
    content->addStretch();
    content->addWidget(buildTotals());
    wireControls();
    showBoldToggle(false);
}

// ---------------------------------------------------------------- building

QFrame* TFrPk::buildHead() {
    PanelHead = Named(new QFrame(this), "PanelHead");
    PanelHead->setFrameShape(QFrame::StyledPanel);
    PanelHead->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* caption = new QLabel(QStringLiteral("Действующий объект"), PanelHead);
    LIdent = Named(new ElidedLabel(PanelHead), "LIdent");
    SetBold(LIdent, true);
    LAdres = Named(new ElidedLabel(PanelHead), "LAdres");
    // The frame's back and next buttons stand in the header, as on the
    // other device screens.
    for (QLayout* l : findChildren<QLayout*>()) {
        l->removeWidget(ButBack);
        l->removeWidget(VvodObj);
    }
    auto* object = new QHBoxLayout;
    object->addWidget(caption);
    ElidedLabel::AddToRow(object, LIdent);
    ElidedLabel::AddToRow(object, LAdres);
    object->addStretch();
    object->addWidget(ButBack);
    object->addWidget(VvodObj);

    BitskEdit = MakeButton(PanelHead, "BitskEdit", QStringLiteral("Подъездные параметры"));
    BitpkEdit = MakeButton(PanelHead, "BitpkEdit", QStringLiteral("Общие параметры и тракты"));
    BitkvEdit = MakeButton(PanelHead, "BitkvEdit", QStringLiteral("Коды вызова квартир и трубки"));
    auto* editors = new QHBoxLayout;
    for (QPushButton* b : {BitskEdit, BitpkEdit, BitkvEdit}) editors->addWidget(b);
    editors->addStretch();

    BitKlemm = MakeButton(PanelHead, "BitKlemm", QStringLiteral("Печать распределений подъезда"));
    BitTract =
        MakeButton(PanelHead, "BitTract", QStringLiteral("Печать трактов для всех подъездов"));
    LabWait = Named(new QLabel(QStringLiteral("Ждите..."), PanelHead), "LabWait");
    SetBold(LabWait, true);
    LabWait->hide();
    P3_Fs = MakeBoldToggle(PanelHead);
    auto* prints = new QHBoxLayout;
    prints->addWidget(BitKlemm);
    prints->addWidget(BitTract);
    prints->addWidget(LabWait);
    prints->addStretch();
    prints->addWidget(P3_Fs);

    auto* rows = new QVBoxLayout(PanelHead);
    rows->setContentsMargins(6, 4, 6, 4);
    rows->addLayout(object);
    rows->addLayout(editors);
    rows->addLayout(prints);
    return PanelHead;
}

QGroupBox* TFrPk::buildSwitchGrid() {
    GBoxPk = Named(new QGroupBox(QStringLiteral("Список всех КМ"), this), "GBoxPk");
    DrawnCellsModel* model = drawnModel(&TFDM::Q_MNpk);
    DBGrid1 = MakeDatasetGrid(GBoxPk, "DBGrid1", model,
                              {{"house", "Дом, под."},
                               {"type_k", "Тип коммутатора"},
                               {"m.kod_d", "Префикс дома"},
                               {"k.n_net", "Сетевой адрес"},
                               {"sn_pk", "Серийный № КМ"},
                               {"p.v_dvr", "Количество БВ"},
                               {"n1kvr", "№ 1 кв."},
                               {"npkvr", "№ последней кв."},
                               {"p.v_kvr", "Количество квартир"},
                               {"d_key", "Доп.ключей"},
                               {"o_key", "Общ.ключей"},
                               {"type_n", "Тип нумерации"},
                               {"house", "Дом №"},
                               {"p.n_pod", "№ подъезда"},
                               {"p.nm_pod", "Наименование подъезда"}});
    if (model) {
        model->SetCellText(kEntranceColumn, [](const Dataset& ds, int row) {
            return EntranceCellText(RowValue(ds, row, "house"), RowValue(ds, row, "p.nm_pod"),
                                    RowValue(ds, row, "p.n_pod"));
        });
        model->SetCellText(kSwitchAddressColumn, [](const Dataset& ds, int row) {
            return SwitchCellText(RowValue(ds, row, "k.n_net"));
        });
    }
    DBGrid1->setItemDelegateForColumn(
        kEntranceColumn, new DrawnCellDelegate(DrawnCellDelegate::Place::Corner, false, DBGrid1));
    DBGrid1->setItemDelegateForColumn(
        kSwitchAddressColumn,
        new DrawnCellDelegate(DrawnCellDelegate::Place::Centred, true, DBGrid1));
    DBGrid1->setColumnHidden(kHouseColumn, true);
    DBGrid1->setColumnHidden(kEntranceNumberColumn, true);
    return holding(GBoxPk, DBGrid1);
}

QGroupBox* TFrPk::buildPanelGrid() {
    GBoxBv =
        Named(new QGroupBox(QStringLiteral("Блоки вызова, соответствующие КМ"), this), "GBoxBv");
    DrawnCellsModel* model = drawnModel(&TFDM::Q_MNbv);
    DBGrid2 = MakeDatasetGrid(GBoxBv, "DBGrid2", model,
                              {{"tract", "Тракт"},
                               {"n_pod", "Подъезд"},
                               {"b.n_nt0", "Сетевой адрес БВ"},
                               {"b.n_bv", "Название БВ, к данному КМ"},
                               {"b.bv_type", "Тип БВ"}});
    if (model) {
        model->SetCellText(kPanelAddressColumn, [](const Dataset& ds, int row) {
            return PanelCellText(RowValue(ds, row, "b.n_nt0"));
        });
        model->SetCellText(kPanelTypeColumn, [](const Dataset& ds, int row) {
            return PanelTypeText(RowValue(ds, row, "b.bv_type"));
        });
    }
    for (int column : {kPanelAddressColumn, kPanelTypeColumn})
        DBGrid2->setItemDelegateForColumn(
            column, new DrawnCellDelegate(DrawnCellDelegate::Place::Centred, false, DBGrid2));
    return holding(GBoxBv, DBGrid2);
}

QFrame* TFrPk::buildTotals() {
    totals_ = MakeTotalsBar(this, "P3_Itpk", "P3_Itbv", "P3_VKal");
    PanelTotals = totals_.panel;
    P3_Itpk = totals_.switches;
    P3_Itbv = totals_.panels;
    P3_VKal = totals_.gates;
    return PanelTotals;
}

void TFrPk::wireControls() {
    connect(BitpkEdit, &QPushButton::clicked, this, &TFrPk::BitpkEditClick);
    connect(BitskEdit, &QPushButton::clicked, this, &TFrPk::BitskEditClick);
    connect(BitkvEdit, &QPushButton::clicked, this, &TFrPk::BitkvEditClick);
    connect(BitKlemm, &QPushButton::clicked, this, &TFrPk::BitKlemmClick);
    connect(BitTract, &QPushButton::clicked, this, &TFrPk::BitTractClick);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &TFrPk::BitpkEditClick);
    GridKeys::DoubleClickBy(DBGrid1, GridKeys::kEnter);
    connect(P3_Fs, &QToolButton::clicked, this, &TFrPk::P3_FsDblClick);
    for (QWidget* w : {DBGrid1, DBGrid2}) w->installEventFilter(this);
    if (FDM) {
        connect(FDM->Q_Net, &Dataset::CurrentChanged, this, &TFrPk::ShowObjectHeader);
        connect(FDM->Q_Net, &Dataset::RowsReset, this, &TFrPk::ShowObjectHeader);
        connect(FDM->Q_Net, &Dataset::RowChanged, this, &TFrPk::ShowObjectHeader);
    }
}

// ---------------------------------------------------------------- screen

void TFrPk::PrepareScreen(const QString& dbFolder) {
    TScreenFrame::PrepareScreen(dbFolder);
    showBoldToggle(StoredGridsBold(this, kSettingsKey, GridsBold()));
    ShowObjectHeader();
    ShowDeviceTotals();
    FrameResize();
}

void TFrPk::ShowObjectHeader() {
    if (!FDM || FDM->Q_Net->IsEmpty()) {
        LIdent->clear();
        LAdres->clear();
        return;
    }
    LIdent->setText(FDM->Q_Net->FieldByName(QStringLiteral("ident")).AsString());
    LAdres->setText(FDM->Q_Net->FieldByName(QStringLiteral("adres")).AsString());
}

void TFrPk::ShowDeviceTotals() {
    ShowTotals(totals_);
}

void TFrPk::BitpkEditClick() {
    ShowWindow(FpkEdit);
}

void TFrPk::BitskEditClick() {
    ShowWindow(FskEdit);
}

void TFrPk::BitkvEditClick() {
    ShowWindow(FkvEdit);
}

void TFrPk::BitKlemmClick() {
    printReport(BitKlemm, [](QString* error) -> std::unique_ptr<TReportForm> {
        return TFQRepPK::Make(*FDM, error);
    });
}

void TFrPk::BitTractClick() {
    printReport(BitTract, [](QString* error) -> std::unique_ptr<TReportForm> {
        return TFQRepTract::Make(*FDM, error);
    });
}

void TFrPk::printReport(QPushButton* button, const ReportMaker& make) {
    if (!FDM) return;
    std::unique_ptr<TReportForm> report;
    QString error;
    {
        ReportBusy busy(this, LabWait, button);
        report = make(&error);
    }
    ShowReportPreview(std::move(report), error, window());
}

// ---------------------------------------------------------------- font and layout

void TFrPk::P3_FsDblClick() {
    showBoldToggle(!GridsShownBold(P3_Fs));
}

bool TFrPk::GridsBold() const {
    return DBGrid1->font().bold();
}

void TFrPk::showBoldToggle(bool gridsBold) {
    ShowGridsBold(P3_Fs, {DBGrid1, DBGrid2}, gridsBold);
    StoreGridType(P3_Fs, kSettingsKey);
}

void TFrPk::FrameResize() {
    SplitFrameHeight(this, PanelHead, PanelTotals, GBoxPk, GBoxBv);
}

void TFrPk::resizeEvent(QResizeEvent* event) {
    TScreenFrame::resizeEvent(event);
    FrameResize();
}

void TFrPk::showEvent(QShowEvent* event) {
    TScreenFrame::showEvent(event);
    FrameResize();
}

bool TFrPk::eventFilter(QObject* watched, QEvent* event) {
    // No row is deleted from the grids.
    if ((watched == DBGrid1 || watched == DBGrid2) && isKey(event, {Qt::Key_Delete})) return true;
    return TScreenFrame::eventFilter(watched, event);
}
