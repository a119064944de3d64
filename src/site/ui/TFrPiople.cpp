#include "site/ui/TFrPiople.h"

#include "foundation/MainWindowLogic.h"
#include "foundation/TFDM.h"
#include "foundation/ui/CharLimit.h"
#include "foundation/ui/GroundedWindow.h"
#include "platform/DatasetModel.h"
#include "platform/ui/DatasetGrid.h"
#include "platform/ui/EnterKey.h"
#include "platform/ui/GridKeys.h"
#include "site/ApartmentList.h"
#include "site/ArrowRepeat.h"
#include "site/SiteData.h"
#include "site/ui/SiteControls.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

using namespace SubscriberTexts;
namespace Controls = SiteControls;
using SiteControls::Button;

namespace {

TFrPiople* g_frPiople = nullptr;

// A surname with the initials of the first name and the patronymic.
QString withInitials(const QString& fam, const QString& nam, const QString& och) {
    QString shown = fam + QLatin1Char(' ');
    for (const QString& name : {nam.trimmed(), och.trimmed()})
        if (!name.isEmpty()) shown += name.left(1) + QLatin1Char('.');
    return shown;
}

const QStringList kChecks = {QStringLiteral("m_obr"), QStringLiteral("l_otz"),
                             QStringLiteral("l_pnp"), QStringLiteral("l_trub"),
                             QStringLiteral("l_vid"), QStringLiteral("m_blk"),
                             QStringLiteral("call")};

class ResidentsModel : public DatasetModel {
  public:
    using DatasetModel::DatasetModel;
    QVariant data(const QModelIndex& index, int role) const override {
        const int surname = ColumnOf(QStringLiteral("Fam"));
        if (index.isValid() && index.column() == surname && GetDataset()) {
            Dataset* ds = GetDataset();
            auto text = [ds, &index](const char* field) {
                return ds->Value(index.row(), ds->FieldIndex(QString::fromLatin1(field)))
                    .toString();
            };
            if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignTop);
            if (role == Qt::DisplayRole && !text("Fam").trimmed().isEmpty())
                return withInitials(text("Fam"), text("Nam"), text("Och"));
        }
        return DatasetModel::data(index, role);
    }
};

}  // namespace

TFrPiople::TFrPiople(QWidget* parent)
    : TScreenFrame(QStringLiteral("FrPiople1"), Screens::Find(14)->title, parent) {
    g_frPiople = this;
    repeat_ = new ArrowRepeat([this](int direction) { return stepRow(direction); },
                              [this] { ShowSubscriber(); }, this);
    repeat_->setObjectName(QStringLiteral("TmRun"));

    DBGrid1 = Named(new DatasetGrid(this), "DBGrid1");
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->installEventFilter(this);
    DBGrid1->horizontalHeader()->setSectionsClickable(true);

    Panel2 = Named(new QFrame(this), "Panel2");
    Panel2->setFrameShape(QFrame::StyledPanel);
    auto* panel = new QHBoxLayout(Panel2);
    panel->addWidget(buildNames());
    panel->addWidget(buildFlags());
    panel->addWidget(buildConsole());
    panel->addStretch();

    QVBoxLayout* content = ContentLayout();
    content->addWidget(DBGrid1, 1);
    content->addWidget(Panel2);
    content->addWidget(buildCommands());
    wireControls();
    // The list read anew under the shown screen (another object or file,
    // F5, rows removed): the fields show its current row again, or nothing,
    // and never keep a row the list no longer stands on.
    DropWorkWhenGroundMoves(this, [this] { showList(); });
}

TFrPiople::~TFrPiople() {
    if (g_frPiople == this) g_frPiople = nullptr;
}

TFrPiople* TFrPiople::Instance() {
    return g_frPiople;
}

// ---------------------------------------------------------------- building

QWidget* TFrPiople::buildNames() {
    auto* box = new QWidget(Panel2);
    LFam = Named(new QLabel(box), "LFam");
    LNam = Named(new QLabel(box), "LNam");
    LOch = Named(new QLabel(box), "LOch");
    LKv = Named(new QLabel(box), "LKv");
    LBv = Named(new QLabel(box), "LBv");
    EFam = Named(new QLineEdit(box), "EFam");
    ENam = Named(new QLineEdit(box), "ENam");
    EOch = Named(new QLineEdit(box), "EOch");
    for (QLineEdit* e : {EFam, ENam, EOch}) {
        LimitChars(e, ApartmentRowLimits::kNameWidth);
        e->setMinimumWidth(180);
    }
    // The apartment number keeps the width the rows hold ("пост охраны").
    E_kv = Named(new QLineEdit(box), "E_kv");
    LimitChars(E_kv, ApartmentWidths::kNumber);
    E_bv = Controls::MakeCodeEdit(box, "E_bv");
    row_.E_kv = E_kv;
    row_.E_bv = E_bv;
    auto* grid = new QGridLayout(box);
    const QList<QPair<QLabel*, QLineEdit*>> rows = {
        {LFam, EFam}, {LNam, ENam}, {LOch, EOch}, {LKv, E_kv}, {LBv, E_bv}};
    for (int i = 0; i < rows.size(); ++i) {
        grid->addWidget(rows[i].first, i, 0);
        grid->addWidget(rows[i].second, i, 1);
    }
    resetLabels();
    return box;
}

QWidget* TFrPiople::buildFlags() {
    Panel6 = Named(new QGroupBox(Panel2), "Panel6");
    E_kk = Named(new QSpinBox(Panel6), "E_kk");
    E_kk->setRange(0, ApartmentRowLimits::kMaxKeys);
    row_.E_kk = E_kk;
    Controls::MakePanelBoxes(Panel6, &row_);
    Call = row_.Call;
    C_otz = row_.C_otz;
    C_Video = row_.C_Video;
    C_Block = row_.C_Block;
    auto* layout = new QGridLayout(Panel6);
    layout->addWidget(new QLabel(QStringLiteral("Количество ключей "), Panel6), 0, 0);
    layout->addWidget(E_kk, 0, 1);
    int row = 1;
    for (QCheckBox* c : row_.PanelBoxes()) layout->addWidget(c, row++, 0, 1, 2);
    return Panel6;
}

QWidget* TFrPiople::buildConsole() {
    Panel3 = Named(new QGroupBox(QStringLiteral("Для ППО"), Panel2), "Panel3");
    Controls::MakeConsoleGroup(Panel3, &row_, false);
    C_obr = row_.C_obr;
    STime = row_.STime;
    TimeD = row_.TimeD;
    TimeN = row_.TimeN;
    CPnp = row_.CPnp;
    return Panel3;
}

QWidget* TFrPiople::buildCommands() {
    auto* box = new QWidget(this);
    BitSave = Button(box, "BitSave", QStringLiteral("Сохранить изменения"));
    BitSave->setEnabled(false);
    BitFind = Button(box, "BitFind", kStartSearch);
    LEdit = Named(new QLabel(kEditing, box), "LEdit");
    SortBeg = Button(box, "SortBeg", kSort);
    SortBeg->setAutoFillBackground(true);
    SortBeg->setToolTip(kSortKeyHint);
    // Reached by Tab, so that an order longer than it shows can be read with the arrows.
    SortView = Named(new KeyboardGrid<QListWidget>(box), "SortView");
    SortView->setMaximumHeight(48);
    Panel5 = Button(box, "Panel5", QStringLiteral("Снять ограничения"));
    BtnUp = Named(new QToolButton(box), "BtnUp");
    BtnUp->setArrowType(Qt::UpArrow);
    BtnUp->setToolTip(QStringLiteral("Переместиться на квартиру выше"));
    BtnDown = Named(new QToolButton(box), "BtnDown");
    BtnDown->setArrowType(Qt::DownArrow);
    BtnDown->setToolTip(QStringLiteral("Переместиться на квартиру ниже"));
    BitKey = Button(box, "BitKey", QStringLiteral("Перейти к ключам"));
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(BtnUp);
    layout->addWidget(BtnDown);
    layout->addWidget(BitSave);
    layout->addWidget(BitFind);
    layout->addWidget(LEdit);
    layout->addSpacing(12);
    layout->addWidget(SortBeg);
    layout->addWidget(SortView, 1);
    layout->addWidget(Panel5);
    layout->addWidget(BitKey);
    return box;
}

void TFrPiople::wireControls() {
    for (QLineEdit* e : {EFam, ENam, EOch, E_kv, E_bv})
        connect(e, &QLineEdit::textChanged, this, &TFrPiople::AnyChange);
    connect(E_kk, &QSpinBox::valueChanged, this, &TFrPiople::AnyChange);
    for (QCheckBox* c : {Call, C_otz, C_Video, C_Block, C_obr, CPnp})
        connect(c, &QCheckBox::clicked, this, &TFrPiople::AnyChange);
    connect(STime, &QCheckBox::clicked, this, &TFrPiople::STimeClick);
    for (QTimeEdit* picker : {TimeD, TimeN}) {
        connect(picker, &QTimeEdit::timeChanged, this, &TFrPiople::AnyChange);
        connect(picker, &QTimeEdit::editingFinished, picker,
                [picker] { Controls::RoundToTens(picker); });
    }
    connect(E_kk, &QSpinBox::editingFinished, this, &TFrPiople::E_kkExit);
    connect(BitSave, &QPushButton::clicked, this, &TFrPiople::BitSaveClick);
    connect(BitFind, &QPushButton::clicked, this, &TFrPiople::BitFindClick);
    connect(SortBeg, &QPushButton::clicked, this, &TFrPiople::SortBegClick);
    connect(Panel5, &QPushButton::clicked, this, &TFrPiople::Panel5Click);
    connect(DBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TFrPiople::DBGrid1TitleClick);
    // While sorting, Space on a column does what a click on its title does.
    GridKeys::TitleClickBy(DBGrid1, {Qt::Key_Space}, [this] { return sorting_; });
    connect(DBGrid1, &DatasetGrid::RowChosen, this, &TFrPiople::DBGrid1CellClick);
    connect(BtnUp, &QToolButton::pressed, repeat_, [this] { repeat_->Press(-1); });
    connect(BtnDown, &QToolButton::pressed, repeat_, [this] { repeat_->Press(+1); });
    for (QToolButton* b : {BtnUp, BtnDown})
        connect(b, &QToolButton::released, repeat_, &ArrowRepeat::Release);
    connect(BtnUp, &QToolButton::clicked, this, &TFrPiople::BtnUpClick);
    connect(BtnDown, &QToolButton::clicked, this, &TFrPiople::BtnDownClick);
    for (QWidget* w :
         std::initializer_list<QWidget*>{EFam, ENam, EOch, E_kv, E_bv, E_kk, Call, C_otz, C_Video,
                                         C_Block, C_obr, STime, TimeD, TimeN, CPnp})
        w->installEventFilter(this);
}

void TFrPiople::attachGrid() {
    if (!FDM || (model_ && model_->GetDataset() == FDM->Q_Ppl)) return;
    delete model_;
    model_ = new ResidentsModel(FDM->Q_Ppl, this);
    for (const SubscriberColumn& c : SubscriberColumns())
        model_->AddColumn(c.field, c.title, false, kChecks.contains(c.field));
    DBGrid1->SetModel(model_);
}

// ---------------------------------------------------------------- the screen

void TFrPiople::PrepareScreen(const QString& dbFolder) {
    TScreenFrame::PrepareScreen(dbFolder);
    showList();
}

void TFrPiople::showList() {
    if (!FDM) return;
    attachGrid();
    // The list as it stands (any selection in force kept), read for the
    // screen; one that cannot be read is said so.
    if (!FDM->Q_Ppl->EnsureRead()) showListFailure();
    setMoveButtons();
    UpdateEditState();
    ShowSubscriber();
}

qint64 TFrPiople::currentRow() const {
    if (!FDM || !SiteData::HasCurrentRow(FDM->Q_Ppl)) return 0;
    return FDM->Q_Ppl->FieldByName(QStringLiteral("id_kvr")).AsLargeInt();
}

bool TFrPiople::listEmpty() const {
    return !FDM || FDM->Q_Ppl->IsEmpty();
}

bool TFrPiople::objectHasConsole() const {
    return FDM && SiteData::HasCurrentRow(FDM->Q_Net) &&
           FDM->Q_Net->FieldByName(QStringLiteral("l_pok")).AsBool();
}

void TFrPiople::RequerySubscribers(qint64 keepIdKvr) {
    if (!FDM) return;
    if (!list_.Requery(FDM->Q_Ppl, keepIdKvr)) showListFailure();
    setMoveButtons();
}

void TFrPiople::showListFailure() {
    SiteData::ShowFailure(QStringLiteral("Список абонентов не открыт."), FDM->Q_Ppl->LastError());
}

// The console group serves an object with a console only.
void TFrPiople::showGroups() {
    Panel6->setEnabled(true);
    Controls::ShowConsoleGroup(Panel3, {C_obr, STime, CPnp}, objectHasConsole());
    TimeD->setEnabled(Panel3->isEnabled() && !STime->isChecked());
    TimeN->setEnabled(Panel3->isEnabled() && !STime->isChecked());
}

// Outside the entering of a selection (whose inputs the fields are), an empty
// list offers nothing to edit: a selection in force may leave none.
void TFrPiople::UpdateEditState() {
    if (search_ == SearchState::Entering) return;
    const bool empty = listEmpty();
    BitKey->setEnabled(!empty);
    Panel2->setEnabled(!empty);
    if (!empty) showGroups();
}

void TFrPiople::showValues(const ApartmentValues& v) {
    const bool was = loading_;
    loading_ = true;
    EFam->setText(v.fam);
    ENam->setText(v.nam);
    EOch->setText(v.och);
    row_.Show(v);
    loading_ = was;
}

void TFrPiople::ShowSubscriber() {
    if (search_ == SearchState::Entering) return;
    ApartmentValues v;
    if (listEmpty() ||
        !ReadApartmentToShow(currentRow(), SiteData::CurrentObjectId(), objectHasConsole(), &v)) {
        showNothing();
        return;
    }
    showValues(v);
    holdShownRow();
    showGroups();
    BitSave->setEnabled(false);
    setMoveButtons();
}

// No row to show: empty fields, and nothing of another row left to save.
void TFrPiople::showNothing() {
    showValues(ApartmentValues{});
    shown_ = 0;
    held_ = HeldRows();
    BitSave->setEnabled(false);
    setMoveButtons();
}

// The apartment the fields show, with its entrance: a save writes it, and
// nothing once another copy of the program removed it.
void TFrPiople::holdShownRow() {
    shown_ = currentRow();
    Dataset* list = FDM->Q_Ppl;
    held_ =
        HeldRows::OfEntrance(list->FieldByName(QStringLiteral("v.id_pod")).AsLargeInt())
            .With({QStringLiteral("k_kvr"), QStringLiteral("id_kvr"), shown_,
                   HeldRowTexts::Apartment(list->FieldByName(QStringLiteral("n_kvr")).AsString())});
}

ApartmentValues TFrPiople::controlValues() const {
    ApartmentValues v;
    v.fam = EFam->text();
    v.nam = ENam->text();
    v.och = EOch->text();
    row_.Read(&v);
    return v;
}

// ---------------------------------------------------------------- editing

void TFrPiople::AnyChange() {
    if (loading_) return;
    if (search_ == SearchState::Entering)
        applyFilter();
    else
        BitSave->setEnabled(true);
}

void TFrPiople::STimeClick() {
    const bool was = loading_;
    loading_ = true;
    row_.FollowConsole(SiteData::CurrentObjectId(), objectHasConsole());
    loading_ = was;
    AnyChange();
}

void TFrPiople::E_kkExit() {
    if (search_ == SearchState::Entering || listEmpty()) return;
    const int held = FDM->Q_Ppl->FieldByName(QStringLiteral("y_key")).AsInt();
    const int objectQuota = SiteData::HasCurrentRow(FDM->Q_Net)
                                ? FDM->Q_Net->FieldByName(QStringLiteral("v_key")).AsInt()
                                : 0;
    E_kk->setValue(SubscriberKeyQuota(E_kk->value(), held, objectQuota));
}

void TFrPiople::BitSaveClick() {
    if (listEmpty()) return;
    // The fields hold the row they were shown for, wherever the list stands.
    if (held_.Holds() && !held_.StillThere()) return;
    const qint64 id = shown_;
    const SubscriberSaveOutcome out = StoreSubscriber(id, controlValues(), held_);
    if (out.codeTaken) {
        const bool was = loading_;
        loading_ = true;
        E_bv->setText(FDM->Q_Ppl->FieldByName(QStringLiteral("p_kvr")).AsString());
        loading_ = was;
        E_bv->setFocus();
        return;
    }
    if (!out.saved) return;
    BitSave->setEnabled(false);
    // On to the next resident; the last one stays.
    FDM->Q_Ppl->Next();
    const qint64 next = currentRow();
    FDM->ReopenSwitches();
    FDM->ReopenCallBlocks();
    FDM->ReopenApartments();
    if (FDM->Q_PO->IsOpen()) FDM->Q_PO->Reopen();
    RequerySubscribers(next);
    ShowSubscriber();
    EFam->setFocus();
}

// ---------------------------------------------------------------- selection

void TFrPiople::resetLabels() {
    const QList<QLabel*> labels = {LFam, LNam, LOch, LKv, LBv};
    for (int i = 0; i < labels.size(); ++i)
        labels[i]->setText(SubscriberFieldLabel(static_cast<SubscriberField>(i), false));
}

void TFrPiople::applyFilter() {
    const QList<bool> inForce =
        list_.SetFilter({EFam->text(), ENam->text(), EOch->text(), E_kv->text(), E_bv->text()});
    const QList<QLabel*> labels = {LFam, LNam, LOch, LKv, LBv};
    for (int i = 0; i < labels.size(); ++i)
        labels[i]->setText(SubscriberFieldLabel(static_cast<SubscriberField>(i), inForce[i]));
    RequerySubscribers(currentRow());
}

// The fields become the selection's inputs: empty, the boxes cleared but the
// block box, the groups locked.
void TFrPiople::enterSelection() {
    const bool was = loading_;
    loading_ = true;
    for (QLineEdit* e : {EFam, ENam, EOch, E_kv, E_bv}) e->clear();
    for (QCheckBox* c : {Call, C_otz, C_Video, C_obr, CPnp, STime}) c->setChecked(false);
    C_Block->setChecked(true);
    Controls::SetMinutes(TimeD, 0);
    Controls::SetMinutes(TimeN, 0);
    loading_ = was;
    STime->setEnabled(true);
    Panel2->setEnabled(true);
    Panel6->setEnabled(false);
    Controls::ShowConsoleGroup(Panel3, {C_obr, STime, CPnp}, false);
    BitSave->setEnabled(false);
    EFam->setFocus();
}

void TFrPiople::BitFindClick() {
    const SearchState before = search_;
    search_ = NextSearchState(search_, list_.FilterEmpty());
    BitFind->setText(SearchCaption(search_));
    LEdit->setText(SearchLabel(search_));
    if (search_ == SearchState::Entering) {
        enterSelection();
        return;
    }
    if (before == SearchState::Selected) {
        list_.ClearFilter();
        RequerySubscribers(currentRow());
        resetLabels();
    }
    UpdateEditState();
    showGroups();
    ShowSubscriber();
}

// ---------------------------------------------------------------- sorting

void TFrPiople::showSortMode() {
    SortBeg->setText(sorting_ ? kView : kSort);
    const QString colours =
        sorting_
            ? QStringLiteral("background: palette(highlight); color: palette(highlighted-text)")
            : QString();
    SortBeg->setStyleSheet(
        sorting_ ? QStringLiteral("QPushButton { ") + colours + QStringLiteral(" }") : QString());
    DBGrid1->horizontalHeader()->setStyleSheet(
        sorting_ ? QStringLiteral("QHeaderView::section { ") + colours + QStringLiteral(" }")
                 : QString());
    // While sorting, the grid marks a single cell, so that the column Space
    // adds is the one seen.
    DBGrid1->setSelectionBehavior(sorting_ ? QAbstractItemView::SelectItems
                                           : QAbstractItemView::SelectRows);
    QItemSelectionModel::SelectionFlags marked = QItemSelectionModel::ClearAndSelect;
    if (!sorting_) marked |= QItemSelectionModel::Rows;
    const QModelIndex at = DBGrid1->currentIndex();
    if (at.isValid() && DBGrid1->selectionModel()) DBGrid1->selectionModel()->select(at, marked);
}

void TFrPiople::SortBegClick() {
    if (listEmpty()) return;
    sorting_ = !sorting_;
    showSortMode();
    if (sorting_) return;
    if (!list_.SortItems().isEmpty()) {
        list_.ApplySort();
        RequerySubscribers(currentRow());
    }
    ShowSubscriber();
}

void TFrPiople::DBGrid1TitleClick(int column) {
    if (!sorting_ || !model_) return;
    const QList<SubscriberColumn>& columns = SubscriberColumns();
    if (column < 0 || column >= columns.size()) return;
    list_.CycleSort(columns[column].field);
    SortView->clear();
    SortView->addItems(list_.SortView());
}

void TFrPiople::Panel5Click() {
    list_.ClearSort();
    SortView->clear();
    sorting_ = false;
    showSortMode();
    RequerySubscribers(currentRow());
    ShowSubscriber();
}

// ---------------------------------------------------------------- moving

void TFrPiople::setMoveButtons() {
    if (!FDM) return;
    Dataset* list = FDM->Q_Ppl;
    BtnUp->setEnabled(!listEmpty() && list->RecNo() > 1);
    BtnDown->setEnabled(!listEmpty() && list->RecNo() < list->RecordCount());
}

bool TFrPiople::stepRow(int direction) {
    if (listEmpty()) return false;
    Dataset* list = FDM->Q_Ppl;
    const bool possible = direction < 0 ? list->RecNo() > 1 : list->RecNo() < list->RecordCount();
    if (possible) {
        if (direction < 0)
            list->Prior();
        else
            list->Next();
    }
    setMoveButtons();
    return possible;
}

void TFrPiople::BtnUpClick() {
    stepRow(-1);
    ShowSubscriber();
}

void TFrPiople::BtnDownClick() {
    stepRow(+1);
    ShowSubscriber();
}

void TFrPiople::DBGrid1CellClick() {
    setMoveButtons();
    ShowSubscriber();
}

// ---------------------------------------------------------------- keys

// The field Enter (or Shift+Enter) leads to from a field.
QWidget* TFrPiople::nextInChain(QWidget* from, bool back) const {
    auto saveOr = [this](QWidget* other) -> QWidget* {
        return BitSave->isEnabled() ? static_cast<QWidget*>(BitSave) : other;
    };
    const bool console = Panel3->isEnabled();
    if (back) {
        if (from == EFam || from == ENam) return EFam;
        if (from == EOch) return ENam;
        if (from == E_kv) return EOch;
        if (from == E_bv) return E_kv;
        if (from == E_kk) return E_bv;
        if (from == Call) return E_kk;
        if (from == C_otz) return Call;
        if (from == C_Video) return C_otz;
        if (from == C_Block) return C_Video;
        if (from == C_obr) return C_Block;
        if (from == STime) return C_obr;
        if (from == TimeD) return STime;
        if (from == TimeN) return TimeD;
        if (from == CPnp) return STime->isChecked() ? static_cast<QWidget*>(C_obr) : TimeN;
        return nullptr;
    }
    if (from == EFam) return ENam;
    if (from == ENam) return EOch;
    if (from == EOch) return E_kv;
    if (from == E_kv) return E_bv;
    if (from == E_bv) return E_kk;
    if (from == E_kk) return Call;
    if (from == Call) return C_otz;
    if (from == C_otz) return C_Video;
    if (from == C_Video) return C_Block;
    if (from == C_Block) return console ? static_cast<QWidget*>(C_obr) : saveOr(EFam);
    if (from == C_obr) return STime;
    if (from == STime) return STime->isChecked() ? static_cast<QWidget*>(CPnp) : TimeD;
    if (from == TimeD) return TimeN;
    if (from == TimeN) return CPnp;
    if (from == CPnp) return saveOr(EFam);
    return nullptr;
}

bool TFrPiople::chainKey(QWidget* watched, int key, Qt::KeyboardModifiers modifiers) {
    if (!IsEnterKey(key)) return false;
    if (modifiers & Qt::ControlModifier) {
        if (watched == C_obr) return true;
        if (BitSave->isEnabled()) {
            BitSave->setFocus();
        } else {
            stepRow(+1);
            ShowSubscriber();
        }
        return true;
    }
    if (QWidget* next = nextInChain(watched, modifiers & Qt::ShiftModifier)) next->setFocus();
    return true;
}

// A surname is typed first.
QWidget* TFrPiople::FirstControl() {
    return EFam;
}

bool TFrPiople::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (watched == DBGrid1) {
            if (key->key() == Qt::Key_Delete) return true;
        } else if (auto* w = qobject_cast<QWidget*>(watched);
                   w && chainKey(w, key->key(), key->modifiers())) {
            return true;
        }
    }
    return TScreenFrame::eventFilter(watched, event);
}
