#include "devices/ui/TFrBv.h"

#include "devices/DeviceChange.h"
#include "devices/DeviceListLayout.h"
#include "devices/ui/CodedCellDelegate.h"
#include "devices/ui/FormControls.h"
#include "devices/ui/GridColumns.h"
#include "devices/ui/TFbvEdit.h"
#include "foundation/TFDM.h"
#include "platform/DatasetModel.h"
#include "platform/ui/DatasetGrid.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kBoldOff = QStringLiteral("ж");  // grids in normal type, a click makes them bold
const QString kBoldOn = QStringLiteral("н");

void SetBold(QWidget* w, bool bold) {
    QFont f = w->font();
    f.setBold(bold);
    w->setFont(f);
}

QLabel* TotalValue(QWidget* parent, const char* name) {
    QLabel* l = MakeLabel(parent, name, QStringLiteral("0"));
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(40);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

}  // namespace

TFrBv::TFrBv(QWidget* parent)
    : TScreenFrame(QStringLiteral("FrBv1"), QStringLiteral("Конфигурирование блоков вызова"),
                   parent) {
    QVBoxLayout* content = ContentLayout();
    content->addWidget(buildHeader());
    buildGrids();
    content->addWidget(DBGrid1);
    content->addWidget(DBGrid2);
    content->addWidget(buildTotals());
}

QWidget* TFrBv::buildHeader() {
    PanelHead = new QGroupBox(QStringLiteral("Действующий объект"), this);
    PanelHead->setObjectName(QStringLiteral("PanelHead"));
    TxAdres = MakeLabel(PanelHead, "TxAdres", QString());
    TxIdent = MakeLabel(PanelHead, "TxIdent", QString());
    SetBold(TxIdent, true);
    P3_Fs = MakeLabel(PanelHead, "P3_Fs", kBoldOff);
    SetBold(P3_Fs, true);
    P3_Fs->setCursor(Qt::PointingHandCursor);
    P3_Fs->installEventFilter(this);
    BitpkEdit = MakeButton(PanelHead, "BitpkEdit", QStringLiteral("Общие параметры БВ"));
    connect(BitpkEdit, &QPushButton::clicked, this, &TFrBv::BitpkEditClick);
    auto* layout = new QHBoxLayout(PanelHead);
    layout->addWidget(TxIdent);
    layout->addSpacing(16);
    layout->addWidget(TxAdres, 1);
    layout->addWidget(P3_Fs);
    layout->addSpacing(8);
    layout->addWidget(BitpkEdit);
    return PanelHead;
}

void TFrBv::buildGrids() {
    Dataset* panels = FDM ? FDM->Q_bv : nullptr;
    Dataset* switches = FDM ? FDM->Q_Bpk : nullptr;
    DBGrid1 = MakeDatasetGrid(this, "DBGrid1", panels,
                              {{QStringLiteral("n_bv"), QStringLiteral("Наименование БВ")},
                               {QStringLiteral("n_nt0"), QStringLiteral("Сетевой адрес")},
                               {QStringLiteral("bv_type"), QStringLiteral("Тип БВ")},
                               {QStringLiteral("sn_bv"), QStringLiteral("Серийный № БВ")}});
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
    PanelAddress = new CodedCellDelegate(
        [](const QVariant& v) { return PanelAddressText(v.toInt()); }, DBGrid1);
    PanelKind =
        new CodedCellDelegate([](const QVariant& v) { return PanelKindText(v.toInt()); }, DBGrid1);
    SwitchAddress = new CodedCellDelegate(
        [](const QVariant& v) { return SwitchAddressText(v.toInt()); }, DBGrid2);
    DBGrid1->setItemDelegateForColumn(1, PanelAddress);
    DBGrid1->setItemDelegateForColumn(2, PanelKind);
    DBGrid2->setItemDelegateForColumn(0, SwitchAddress);
    for (DatasetGrid* grid : {DBGrid1, DBGrid2}) {
        // The grids share what the header and the totals leave by FrameResize's
        // rule alone, whatever their rows would like.
        grid->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
        grid->installEventFilter(this);
    }
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &TFrBv::BitpkEditClick);
}

QWidget* TFrBv::buildTotals() {
    PanelTotals = new QWidget(this);
    PanelTotals->setObjectName(QStringLiteral("PanelTotals"));
    TxKm = TotalValue(PanelTotals, "TxKm");
    TxBv = TotalValue(PanelTotals, "TxBv");
    TxKal = TotalValue(PanelTotals, "TxKal");
    auto* layout = new QHBoxLayout(PanelTotals);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Итого"), PanelTotals));
    layout->addSpacing(12);
    layout->addWidget(new QLabel(QStringLiteral("КМ"), PanelTotals));
    layout->addWidget(TxKm);
    layout->addWidget(new QLabel(QStringLiteral("БВ"), PanelTotals));
    layout->addWidget(TxBv);
    layout->addWidget(new QLabel(QStringLiteral("Калиток"), PanelTotals));
    layout->addWidget(TxKal);
    layout->addStretch();
    return PanelTotals;
}

void TFrBv::PrepareScreen(const QString& dbFolder) {
    TScreenFrame::PrepareScreen(dbFolder);
    showObject();
    ShowDeviceTotals();
}

void TFrBv::showObject() {
    const bool object = FDM && HasCurrentRow(FDM->Q_Net);
    TxAdres->setText(object ? FDM->Q_Net->FieldByName(QStringLiteral("adres")).AsString()
                            : QString());
    TxIdent->setText(object ? FDM->Q_Net->FieldByName(QStringLiteral("ident")).AsString()
                            : QString());
}

void TFrBv::ShowDeviceTotals() {
    const DeviceTotals t = ReadDeviceTotals();
    TxKm->setText(QString::number(t.switches));
    TxBv->setText(QString::number(t.panels));
    TxKal->setText(QString::number(t.gates));
}

void TFrBv::BitpkEditClick() {
    if (!FbvEdit || !FDM || !HasCurrentRow(FDM->Q_bv)) return;
    FbvEdit->SnTag = 0;
    FbvEdit->show();
    FbvEdit->raise();
    FbvEdit->LoadPanel();
}

bool TFrBv::GridsBold() const {
    return P3_Fs->text() == kBoldOn;
}

void TFrBv::P3_FsClick() {
    const bool bold = !GridsBold();
    for (DatasetGrid* grid : {DBGrid1, DBGrid2}) SetBold(grid, bold);
    P3_Fs->setText(bold ? kBoldOn : kBoldOff);
    SetBold(P3_Fs, !bold);
}

void TFrBv::FrameResize() {
    if (!isVisible()) return;
    // The header's share holds everything above the grids and the back/next
    // row below them; the layout hands the grids what is left in the
    // proportion of the split.
    const int chrome = height() - DBGrid1->height() - DBGrid2->height() - PanelTotals->height();
    const GridHeights h = SplitGridHeights(height(), chrome, PanelTotals->height());
    QVBoxLayout* content = ContentLayout();
    content->setStretchFactor(DBGrid1, qMax(1, h.upper));
    content->setStretchFactor(DBGrid2, qMax(1, h.lower));
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
    if (watched == P3_Fs && event->type() == QEvent::MouseButtonRelease) {
        P3_FsClick();
        return true;
    }
    if (event->type() != QEvent::KeyPress) return TScreenFrame::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Delete) return true;
    const bool opens = key == Qt::Key_Return || key == Qt::Key_Enter ||
                       (watched == DBGrid1 && key == Qt::Key_Space);
    if (opens) {
        BitpkEditClick();
        return true;
    }
    return TScreenFrame::eventFilter(watched, event);
}
