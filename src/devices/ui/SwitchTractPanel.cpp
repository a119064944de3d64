#include "devices/ui/SwitchTractPanel.h"

#include "devices/ui/FormControls.h"
#include "devices/ui/GridColumns.h"
#include "foundation/ui/WaitCursor.h"
#include "platform/DatasetModel.h"
#include "platform/ui/DatasetGrid.h"
#include "platform/ui/GridKeys.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// Rows of the panel grid, the tract column and the check lists line up.
constexpr int kTractRowHeight = 22;
constexpr int kHeaderHeight = 24;

// The editor of a tract cell passes its keys through the panel's filter.
class TractCellDelegate : public QStyledItemDelegate {
  public:
    TractCellDelegate(QObject* filter, QObject* parent)
        : QStyledItemDelegate(parent), filter_(filter) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (editor) editor->installEventFilter(filter_);
        return editor;
    }

  private:
    QObject* filter_;
};

void LineUpRows(QTableView* table) {
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(kTractRowHeight);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setFixedHeight(kHeaderHeight);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

QListWidget* MakeMaskList(QWidget* parent, const char* name, const QString& hint) {
    auto* list = new KeyboardGrid<QListWidget>(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setToolTip(hint);
    list->setUniformItemSizes(true);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setFixedWidth(120);
    return list;
}

QLabel* Caption(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setFixedHeight(kHeaderHeight);
    label->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    return label;
}

}  // namespace

SwitchTractPanel::SwitchTractPanel(QWidget* parent, EnterMovesFocus* enter)
    : QGroupBox(QStringLiteral("Тракты и маски камер"), parent) {
    setObjectName(QStringLiteral("PanelTract"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildLists());
    layout->addWidget(buildButtons());
    layout->addWidget(buildRanges(enter));
    layout->addStretch();
}

QWidget* SwitchTractPanel::buildLists() {
    auto* box = new QWidget(this);
    DBGrid2 = MakeDatasetGrid(box, "DBGrid2", FDM ? FDM->Q_MNbv : nullptr,
                              {{QStringLiteral("b.n_nt0"), QStringLiteral("№ сетевой")},
                               {QStringLiteral("b.n_bv"), QStringLiteral("БВ")}});
    DBGrid2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid2->horizontalHeader()->setStretchLastSection(true);
    DBGrid2->setMinimumWidth(320);
    DBGrid2->installEventFilter(this);
    LineUpRows(DBGrid2);

    SGTract = new KeyboardGrid<QTableWidget>(0, 1, box);
    SGTract->setObjectName(QStringLiteral("SGTract"));
    SGTract->setHorizontalHeaderLabels({QStringLiteral("Тракт")});
    SGTract->horizontalHeader()->setStretchLastSection(true);
    SGTract->setFixedWidth(80);
    SGTract->setItemDelegate(new TractCellDelegate(this, SGTract));
    SGTract->installEventFilter(this);
    LineUpRows(SGTract);
    connect(SGTract, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem* item) { SGTractSetEditText(item->row()); });

    ChMskBv = MakeMaskList(box, "ChMskBv", QStringLiteral("Маска камер, подключенных к КМ от БВ"));
    ChMskPo = MakeMaskList(box, "ChMskPo",
                           QStringLiteral("Маска камер, подключенных к СПО в режиме панорамы"));
    connect(ChMskBv, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { maskClicked(item, false); });
    connect(ChMskPo, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { maskClicked(item, true); });

    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(0);
    grid->addWidget(DBGrid2, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(SGTract, 0, 1, 2, 1, Qt::AlignTop);
    grid->addWidget(Caption(box, QStringLiteral("Маска камер БВ")), 0, 2);
    grid->addWidget(ChMskBv, 1, 2, Qt::AlignTop);
    grid->addWidget(Caption(box, QStringLiteral("Маска камер ППО")), 0, 3);
    grid->addWidget(ChMskPo, 1, 3, Qt::AlignTop);
    grid->setColumnStretch(0, 1);
    fitHeights();
    return box;
}

QWidget* SwitchTractPanel::buildButtons() {
    auto* box = new QWidget(this);
    BitSaveTrack = MakeButton(box, "BitSaveTrack", QStringLiteral("Сохранить тракты"));
    BitSaveMask = MakeButton(box, "BitSaveMask", QStringLiteral("Маски"));
    BitRetryTr = MakeButton(box, "BitRetryTr", QStringLiteral("Перераспределить тракты на КМ"));
    BitRetryTrAll =
        MakeButton(box, "BitRetryTrAll", QStringLiteral("Перераспределить тракты на всех КМ"));
    connect(BitSaveTrack, &QPushButton::clicked, this, &SwitchTractPanel::BitSaveTrackClick);
    connect(BitSaveMask, &QPushButton::clicked, this, &SwitchTractPanel::BitSaveMaskClick);
    connect(BitRetryTr, &QPushButton::clicked, this, &SwitchTractPanel::BitRetryTrClick);
    connect(BitRetryTrAll, &QPushButton::clicked, this, &SwitchTractPanel::BitRetryTrAllClick);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 4, 0, 0);
    grid->addWidget(BitSaveTrack, 0, 0);
    grid->addWidget(BitSaveMask, 0, 1);
    grid->addWidget(BitRetryTr, 1, 0);
    grid->addWidget(BitRetryTrAll, 1, 1);
    return box;
}

QWidget* SwitchTractPanel::buildRanges(EnterMovesFocus* enter) {
    auto* box = new QGroupBox(QStringLiteral("Тракты объекта по диапазонам"), this);
    E_k1 = MakeSpin(box, "E_k1", 1, 8, 6);
    E_k2 = MakeSpin(box, "E_k2", 1, 8, 8);
    E_p1 = MakeSpin(box, "E_p1", 1, 8, 1);
    E_p2 = MakeSpin(box, "E_p2", 1, 8, 2);
    for (QSpinBox* spin : {E_k1, E_k2, E_p1, E_p2}) enter->Watch(spin);
    connect(E_k1, &QSpinBox::valueChanged, this, &SwitchTractPanel::E_k1Change);
    BitAvtoTr = MakeButton(box, "BitAvtoTr", QStringLiteral("Пересчитать тракты объекта"));
    connect(BitAvtoTr, &QPushButton::clicked, this, &SwitchTractPanel::BitAvtoTrClick);
    auto* grid = new QGridLayout(box);
    grid->addWidget(new QLabel(QStringLiteral("БВ калиток: с"), box), 0, 0);
    grid->addWidget(E_k1, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("по"), box), 0, 2);
    grid->addWidget(E_k2, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("БВ подъездов: с"), box), 1, 0);
    grid->addWidget(E_p1, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("по"), box), 1, 2);
    grid->addWidget(E_p2, 1, 3);
    grid->addWidget(BitAvtoTr, 0, 4, 2, 1);
    grid->setColumnStretch(4, 1);
    return box;
}

// ---------------------------------------------------------------- showing

void SwitchTractPanel::Reload() {
    showAfresh(FDM ? CurrentSwitchColumn() : SwitchColumn{});
}

// The lists start empty, so that nothing shown before counts as a change.
void SwitchTractPanel::showAfresh(SwitchColumn sw) {
    model_.Clear();
    model_.SetSwitch(sw);
    model_.SetMasksChanged(false);
    ShowTracts();
}

void SwitchTractPanel::ShowTracts() {
    if (FDM) ShowModelTracts(model_);
    render();
}

void SwitchTractPanel::render() {
    rendering_ = true;
    SGTract->setRowCount(model_.Count());
    ChMskBv->clear();
    ChMskPo->clear();
    for (int i = 0; i < model_.Count(); ++i) {
        SGTract->setItem(i, 0, new QTableWidgetItem(model_.TractText(i)));
        for (QListWidget* list : {ChMskBv, ChMskPo}) {
            auto* item = new QListWidgetItem(model_.TractText(i), list);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            item->setSizeHint(QSize(0, kTractRowHeight));
        }
    }
    ChMskPo->setEnabled(model_.Console());
    rendering_ = false;
    renderChecks();
    fitHeights();
}

void SwitchTractPanel::renderChecks() {
    rendering_ = true;
    for (int i = 0; i < model_.Count(); ++i) {
        ChMskBv->item(i)->setCheckState(model_.Row(i).switchMask ? Qt::Checked : Qt::Unchecked);
        ChMskPo->item(i)->setCheckState(model_.Row(i).consoleMask ? Qt::Checked : Qt::Unchecked);
    }
    rendering_ = false;
}

// Heights follow the row count, so that the rows stand side by side.
void SwitchTractPanel::fitHeights() {
    const int rows = kTractRowHeight * model_.Count();
    for (QTableView* table : {static_cast<QTableView*>(DBGrid2), static_cast<QTableView*>(SGTract)})
        table->setFixedHeight(kHeaderHeight + rows + 2 * table->frameWidth());
    for (QListWidget* list : {ChMskBv, ChMskPo})
        list->setFixedHeight(std::max(rows, kTractRowHeight) + 2 * list->frameWidth());
}

// ---------------------------------------------------------------- masks

void SwitchTractPanel::maskClicked(QListWidgetItem* item, bool console) {
    if (rendering_) return;
    const int row = item->listWidget()->row(item);
    if (console)
        ChMskPoClickCheck(row);
    else
        ChMskBvClickCheck(row);
}

void SwitchTractPanel::ChMskBvClickCheck(int row) {
    model_.ClickSwitchMask(row, ChMskBv->item(row)->checkState() == Qt::Checked);
    renderChecks();
}

void SwitchTractPanel::ChMskPoClickCheck(int row) {
    model_.ClickConsoleMask(row, ChMskPo->item(row)->checkState() == Qt::Checked);
    renderChecks();
}

void SwitchTractPanel::SaveMasks() {
    if (!mayWrite()) return;
    if (SaveShownMasks(model_, held()).ok) model_.SetMasksChanged(false);
    ShowTracts();
}

// ---------------------------------------------------------------- tracts

QStringList SwitchTractPanel::typedCells() const {
    QStringList cells;
    for (int i = 0; i < SGTract->rowCount(); ++i) {
        const QTableWidgetItem* item = SGTract->item(i, 0);
        cells << (item ? item->text() : QString());
    }
    return cells;
}

void SwitchTractPanel::SGTractSetEditText(int row) {
    if (rendering_ || !FDM) return;
    QTableWidgetItem* item = SGTract->item(row, 0);
    const QString cell = TractCell::Edited(item->text(), TractCount(FDM->ConnectionDB()));
    if (cell == item->text()) return;
    rendering_ = true;
    item->setText(cell);
    rendering_ = false;
}

void SwitchTractPanel::BitSaveTrackClick() {
    if (!mayWrite()) return;
    if (SaveShownTypedTracts(model_, typedCells(), held()).ok) showAfresh(model_.Switch());
}

void SwitchTractPanel::BitRetryTrClick() {
    if (!mayWrite()) return;
    {
        WaitCursor wait;
        ReassignShownTracts(model_, held());
    }
    ShowTracts();
}

void SwitchTractPanel::BitRetryTrAllClick() {
    if (!mayWrite()) return;
    ReassignObjectTracts(model_, BusyProgress(), held());
    ShowTracts();
}

// ---------------------------------------------------------------- ranges

TractRanges SwitchTractPanel::Ranges() const {
    return {E_k1->value(), E_k2->value(), E_p1->value(), E_p2->value()};
}

void SwitchTractPanel::showRanges(const TractRanges& r) {
    for (QSpinBox* spin : {E_k1, E_k2, E_p1, E_p2}) spin->blockSignals(true);
    E_k1->setValue(r.k1);
    E_k2->setValue(r.k2);
    E_p1->setValue(r.p1);
    E_p2->setValue(r.p2);
    for (QSpinBox* spin : {E_k1, E_k2, E_p1, E_p2}) spin->blockSignals(false);
}

void SwitchTractPanel::MaxDoors(qint64 idNet) {
    if (!FDM) return;
    const int kolTractPK = TractCount(FDM->ConnectionDB());
    E_k2->setMaximum(kolTractPK);
    E_p2->setMaximum(kolTractPK);
    showRanges(CurrentObjectRanges(E_p1->value()));
    rangesObject_ = idNet;
}

void SwitchTractPanel::E_k1Change() {
    if (!FDM) return;
    showRanges(Ranges().GateStartChanged(TractCount(FDM->ConnectionDB())));
}

void SwitchTractPanel::BitAvtoTrClick() {
    if (!mayWrite()) return;
    NumberObjectTracts(model_, Ranges(), BusyProgress(), held());
    ShowTracts();
}

// ---------------------------------------------------------------- keys

bool SwitchTractPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QGroupBox::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    // Rows of the panel grid are never deleted.
    if (watched == DBGrid2) return key->key() == Qt::Key_Delete;
    const QString text = key->text();
    if (text.size() == 1 && text[0].isPrint() && !TractCell::KeyAllowed(text[0])) return true;
    return QGroupBox::eventFilter(watched, event);
}
