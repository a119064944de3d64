#include "site/ui/TFkvEdit.h"

#include "foundation/BitAndStr.h"
#include "foundation/HelpLauncher.h"
#include "foundation/TFDM.h"
#include "foundation/ui/CharLimit.h"
#include "foundation/ui/GroundedWindow.h"
#include "platform/DatasetModel.h"
#include "platform/ui/DatasetGrid.h"
#include "platform/ui/ElidedLabel.h"
#include "platform/ui/EnterMovesFocus.h"
#include "platform/ui/GridKeys.h"
#include "site/ApartmentList.h"
#include "site/ArrowRepeat.h"
#include "site/SiteData.h"
#include "site/ui/SiteControls.h"
#include "site/ui/SiteWindows.h"
#include "site/ui/TFskEdit.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

TFkvEdit* FkvEdit = nullptr;

using namespace ApartmentRowLimits;
namespace Controls = SiteControls;

namespace {

using SiteControls::Arrow;
using SiteControls::Button;
using SiteControls::Check;

// A check list of flags first..16, numbered as two digits.
QListWidget* flagList(QWidget* parent, const char* name, int first) {
    auto* list = Named(new KeyboardGrid<QListWidget>(parent), name);
    for (int n = first; n <= kLastFlag; ++n) {
        auto* item = new QListWidgetItem(IntToStrZ(n, 2), list);
        item->setCheckState(Qt::Unchecked);
    }
    list->setFlow(QListView::LeftToRight);
    list->setWrapping(true);
    list->setMaximumHeight(64);
    list->setEnabled(false);
    return list;
}

// The list's items as the flags first..16; an item above usable is unusable.
void showFlags(QListWidget* list, int first, const QVector<bool>& flags, int usable) {
    for (int n = first; n <= kLastFlag; ++n) {
        QListWidgetItem* item = list->item(n - first);
        item->setCheckState(flags.value(n) ? Qt::Checked : Qt::Unchecked);
        Qt::ItemFlags f = Qt::ItemIsUserCheckable | Qt::ItemIsSelectable;
        if (n <= usable) f |= Qt::ItemIsEnabled;
        item->setFlags(f);
    }
}

QVector<bool> readFlags(const QListWidget* list, int first) {
    QVector<bool> flags(kLastFlag + 1, false);
    for (int n = first; n <= kLastFlag; ++n)
        flags[n] = list->item(n - first)->checkState() == Qt::Checked;
    return flags;
}

struct GridColumn {
    const char* field;
    const char* title;
    bool check;
};
const GridColumn kEditColumns[] = {
    {"p_nom", "№пп", false},          {"n_kvr", "№кв.", false},
    {"p_kvr", "Код вв", false},       {"p_pk", "Клемма КМ", false},
    {"m_obr", "Обр. вв", true},       {"l_otz", "Отзвонка", true},
    {"l_vid", "Видеопросмотр", true}, {"x_key", "К-во ключей", false},
    {"st_kvr", "Статус", false},      {"m_blk", "Блокировка", true},
    {"call", "Прямой вызов", true},   {"l_pnp", "Перенаправление", true},
};

// The permission a grid column toggles, if any.
bool flagOfColumn(const QString& field, RowFlag* flag) {
    static const QList<QPair<QString, RowFlag>> kFlags = {
        {QStringLiteral("m_obr"), RowFlag::CallBack}, {QStringLiteral("l_otz"), RowFlag::RingBack},
        {QStringLiteral("l_vid"), RowFlag::Video},    {QStringLiteral("m_blk"), RowFlag::Block},
        {QStringLiteral("call"), RowFlag::Call},      {QStringLiteral("l_pnp"), RowFlag::Redirect},
    };
    for (const auto& [column, f] : kFlags)
        if (column == field) {
            *flag = f;
            return true;
        }
    return false;
}

// Columns a double click toggles keep the window colour; the others, and
// call-back without a console, the scroll-bar colour.
class RowGridModel : public DatasetModel {
  public:
    using DatasetModel::DatasetModel;
    bool console = false;  // the object has a console
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::BackgroundRole && index.isValid()) {
            RowFlag flag;
            const QString field = QString::fromLatin1(kEditColumns[index.column()].field);
            const bool toggles =
                flagOfColumn(field, &flag) && (flag != RowFlag::CallBack || console);
            if (!toggles) return QPalette().color(QPalette::Button);
        }
        if (role == Qt::TextAlignmentRole && index.isValid() &&
            index.column() == ColumnOf(QStringLiteral("p_pk")))
            return int(Qt::AlignCenter);
        return DatasetModel::data(index, role);
    }
};

}  // namespace

TFkvEdit::TFkvEdit(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FkvEdit"));
    setWindowTitle(ApartmentEditorTexts::kCaption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    enter_ = new EnterMovesFocus(this);
    repeat_ = new ArrowRepeat([this](int direction) { return stepRow(direction, false); },
                              [this] { ShowApartment(); }, this);
    repeat_->setObjectName(QStringLiteral("TmRun"));

    DBGrid1 = Named(new DatasetGrid(this), "DBGrid1");
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->verticalHeader()->hide();
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    DBGrid1->installEventFilter(this);

    auto* right = new QVBoxLayout;
    right->addWidget(buildRow());
    right->addWidget(buildConsole());
    right->addStretch();
    for (QWidget* panel : {static_cast<QWidget*>(findChild<QGroupBox*>(QStringLiteral("Panel2"))),
                           static_cast<QWidget*>(Panel4)})
        panel->setMaximumWidth(460);
    auto* middle = new QHBoxLayout;
    middle->addWidget(DBGrid1, 1);
    middle->addLayout(right);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildHeader());
    layout->addLayout(middle, 1);
    layout->addWidget(buildCommands());
    buildMenu();
    wireControls();
    resize(1240, 680);
    CloseWhenGroundMoves(this, &held_);
}

// ---------------------------------------------------------------- building

QWidget* TFkvEdit::buildHeader() {
    auto* box = Named(new QFrame(this), "PanelHead");
    box->setFrameShape(QFrame::StyledPanel);
    auto bold = [box](const char* name) {
        auto* l = Named(new ElidedLabel(box), name);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        return l;
    };
    DBTextHouse = bold("DBTextHouse");
    DBTextNPod = bold("DBTextNPod");
    DBTextNmPod = bold("DBTextNmPod");
    Label15 = bold("Label15");
    BitUpGrup = Arrow(box, "BitUpGrup", Qt::LeftArrow,
                      QStringLiteral("Переместиться на КМ выше без сохранения"));
    BitDownGrup = Arrow(box, "BitDownGrup", Qt::RightArrow,
                        QStringLiteral("Переместиться на КМ ниже без сохранения"));
    auto* layout = new QHBoxLayout(box);
    layout->addWidget(new QLabel(QStringLiteral("Дом"), box));
    ElidedLabel::AddToRow(layout, DBTextHouse);
    layout->addSpacing(12);
    layout->addWidget(new QLabel(QStringLiteral("Подъезд"), box));
    ElidedLabel::AddToRow(layout, DBTextNPod);
    ElidedLabel::AddToRow(layout, DBTextNmPod);
    layout->addSpacing(12);
    ElidedLabel::AddToRow(layout, Label15);
    layout->addStretch();
    layout->addWidget(BitUpGrup);
    layout->addWidget(BitDownGrup);
    return box;
}

QWidget* TFkvEdit::buildRow() {
    auto* box = Named(new QGroupBox(this), "Panel2");
    E_kv = Named(new QLineEdit(box), "E_kv");
    LimitChars(E_kv, ApartmentWidths::kNumber);
    E_bv = Controls::MakeCodeEdit(box, "E_bv");
    E_kk = Named(new QSpinBox(box), "E_kk");
    E_kk->setRange(0, kMaxKeys);
    E_nk = Named(new QSpinBox(box), "E_nk");
    E_nk->setRange(0, 1000);
    E_nk->setEnabled(false);
    row_.E_kv = E_kv;
    row_.E_bv = E_bv;
    row_.E_kk = E_kk;
    Controls::MakePanelBoxes(box, &row_);
    Call = row_.Call;
    C_otz = row_.C_otz;
    C_Video = row_.C_Video;
    C_Block = row_.C_Block;
    Trubka = Check(box, "Trubka", QStringLiteral("Трубка"));
    Trubka->setEnabled(false);
    ChFlbv = Check(box, "ChFlbv", QStringLiteral("Флаги для БВ"));
    Mask = flagList(box, "Mask", kFirstPanelFlag);
    auto* grid = new QGridLayout(box);
    grid->addWidget(new QLabel(QStringLiteral("Квартира №"), box), 0, 0);
    grid->addWidget(E_kv, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Код вызова"), box), 1, 0);
    grid->addWidget(E_bv, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Количество ключей на квартиру"), box), 2, 0);
    grid->addWidget(E_kk, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("№ клеммы Торвин"), box), 3, 0);
    grid->addWidget(E_nk, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("01"), box), 4, 0, Qt::AlignRight);
    grid->addWidget(Call, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("02"), box), 5, 0, Qt::AlignRight);
    grid->addWidget(C_otz, 5, 1);
    grid->addWidget(C_Video, 6, 1);
    grid->addWidget(C_Block, 7, 1);
    grid->addWidget(Trubka, 8, 1);
    grid->addWidget(ChFlbv, 9, 0, 1, 2);
    grid->addWidget(Mask, 10, 0, 1, 2);
    return box;
}

QWidget* TFkvEdit::buildConsole() {
    Panel4 = Named(new QGroupBox(QStringLiteral("Для ППО"), this), "Panel4");
    QGridLayout* grid = Controls::MakeConsoleGroup(Panel4, &row_, true);
    C_obr = row_.C_obr;
    STime = row_.STime;
    TimeD = row_.TimeD;
    TimeN = row_.TimeN;
    CPnp = row_.CPnp;
    ChFlpo = Check(Panel4, "ChFlpo", QStringLiteral("Флаги для ППО"));
    Mspo = flagList(Panel4, "Mspo", kFirstConsoleFlag);
    grid->addWidget(ChFlpo, 5, 0, 1, 3);
    grid->addWidget(Mspo, 6, 0, 1, 3);
    return Panel4;
}

QWidget* TFkvEdit::buildCommands() {
    auto* box = new QWidget(this);
    BitSave = Button(box, "BitSave", QStringLiteral("Сохранить изменения"));
    BitAdd = Button(box, "BitAdd", QStringLiteral("Добавить трубку"));
    BitDelete = Button(box, "BitDelete", QStringLiteral("Удалить трубку"));
    BtnUp = Arrow(box, "BtnUp", Qt::UpArrow,
                  QStringLiteral("Переместиться на квартиру выше с сохранением"));
    BtnDown = Arrow(box, "BtnDown", Qt::DownArrow,
                    QStringLiteral("Переместиться на квартиру ниже с сохранением"));
    BitFirst = Arrow(box, "BitFirst", Qt::UpArrow, QStringLiteral("Первая квартира"));
    BitLast = Arrow(box, "BitLast", Qt::DownArrow, QStringLiteral("Последняя квартира"));
    BitFirst->setText(QStringLiteral("|<"));
    BitLast->setText(QStringLiteral(">|"));
    for (QToolButton* b : {BitFirst, BitLast}) b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    BitTrub = Button(box, "BitTrub", QStringLiteral("Параметры КМ"));
    Bitsp = Button(box, "Bitsp", QStringLiteral("Данные подъезда"));
    ButHelp = Button(box, "ButHelp", QStringLiteral("Справка"));
    ButExit = Button(box, "ButExit", QStringLiteral("Закрыть"));
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w : std::initializer_list<QWidget*>{BitFirst, BtnUp, BtnDown, BitLast})
        layout->addWidget(w);
    layout->addSpacing(12);
    for (QPushButton* b : {BitSave, BitAdd, BitDelete}) layout->addWidget(b);
    layout->addStretch();
    for (QPushButton* b : {BitTrub, Bitsp, ButHelp, ButExit}) layout->addWidget(b);
    return box;
}

void TFkvEdit::buildMenu() {
    PMmas = Named(new QMenu(this), "PMmas");
    const QString invert = QStringLiteral("Обратить разрешения на запрет и запрет на разрешение");
    struct Item {
        const char* name;
        QString caption;
        RowFlag flag;
        BulkChange change;
    };
    const QList<Item> items = {
        {"PObrFalse", QStringLiteral("Запретить обратный вызов всем для подъезда"),
         RowFlag::CallBack, BulkChange::Clear},
        {"PObrTrue", QStringLiteral("Разрешить обратный вызов всем для подъезда"),
         RowFlag::CallBack, BulkChange::Set},
        {"PObrNegativ", invert, RowFlag::CallBack, BulkChange::Invert},
        {"POtzFalse", QStringLiteral("Запретить отзвонку всем для подъезда"), RowFlag::RingBack,
         BulkChange::Clear},
        {"POtzTrue", QStringLiteral("Разрешить отзвонку всем для подъезда"), RowFlag::RingBack,
         BulkChange::Set},
        {"POtzNegativ", invert, RowFlag::RingBack, BulkChange::Invert},
        {"PVidFalse", QStringLiteral("Запретить видео всем для подъезда"), RowFlag::Video,
         BulkChange::Clear},
        {"PVidTrue", QStringLiteral("Разрешить видео всем для подъезда"), RowFlag::Video,
         BulkChange::Set},
        {"PVidNegativ", invert, RowFlag::Video, BulkChange::Invert},
        {"NBlkFalse", QStringLiteral("Разблокировать все трубки"), RowFlag::Block,
         BulkChange::Clear},
        {"NBlkTrue", QStringLiteral("Заблокировать все трубки"), RowFlag::Block, BulkChange::Set},
        {"NBlkNegativ", QStringLiteral("Обратить блокировку "), RowFlag::Block, BulkChange::Invert},
        {"PCallFalse", QStringLiteral("Запретить прямой вызов всем для подъезда"), RowFlag::Call,
         BulkChange::Clear},
        {"PCallTrue", QStringLiteral("Разрешить прямой вызов всем для подъезда"), RowFlag::Call,
         BulkChange::Set},
        {"PCallNegativ", invert, RowFlag::Call, BulkChange::Invert},
        {"PPnpFalse", QStringLiteral("Запретить перенаправление вызова всем для подъезда"),
         RowFlag::Redirect, BulkChange::Clear},
        {"PPnpTrue", QStringLiteral("Разрешить перенаправление вызова всем для подъезда"),
         RowFlag::Redirect, BulkChange::Set},
        {"PPnpNegativ", invert, RowFlag::Redirect, BulkChange::Invert},
    };
    for (int i = 0; i < items.size(); ++i) {
        const Item& item = items[i];
        if (i > 0 && i % 3 == 0) PMmas->addSeparator();
        QAction* action = Named(PMmas->addAction(item.caption), item.name);
        connect(action, &QAction::triggered, this,
                [this, flag = item.flag, change = item.change] { bulk(flag, change); });
    }
}

void TFkvEdit::wireControls() {
    connect(BitSave, &QPushButton::clicked, this, &TFkvEdit::BitSaveClick);
    connect(BitAdd, &QPushButton::clicked, this, &TFkvEdit::BitAddClick);
    connect(BitDelete, &QPushButton::clicked, this, &TFkvEdit::BitDeleteClick);
    connect(BitUpGrup, &QToolButton::clicked, this, &TFkvEdit::BitUpGrupClick);
    connect(BitDownGrup, &QToolButton::clicked, this, &TFkvEdit::BitDownGrupClick);
    connect(BitFirst, &QToolButton::clicked, this, &TFkvEdit::BitFirstClick);
    connect(BitLast, &QToolButton::clicked, this, &TFkvEdit::BitLastClick);
    connect(BitTrub, &QPushButton::clicked, this, &TFkvEdit::BitTrubClick);
    connect(Bitsp, &QPushButton::clicked, this, &TFkvEdit::BitspClick);
    connect(ButExit, &QPushButton::clicked, this, &TFkvEdit::ButExitClick);
    connect(ButHelp, &QPushButton::clicked, this, &TFkvEdit::ButHelpClick);
    // A press starts the repeat; the click that ends it saves and steps.
    connect(BtnUp, &QToolButton::pressed, repeat_, [this] { repeat_->Press(-1); });
    connect(BtnDown, &QToolButton::pressed, repeat_, [this] { repeat_->Press(+1); });
    for (QToolButton* b : {BtnUp, BtnDown})
        connect(b, &QToolButton::released, repeat_, &ArrowRepeat::Release);
    connect(BtnUp, &QToolButton::clicked, this, &TFkvEdit::BtnUpClick);
    connect(BtnDown, &QToolButton::clicked, this, &TFkvEdit::BtnDownClick);
    connect(STime, &QCheckBox::clicked, this, &TFkvEdit::STimeClick);
    connect(E_kk, &QSpinBox::editingFinished, this, &TFkvEdit::E_kkExit);
    for (QTimeEdit* picker : {TimeD, TimeN})
        connect(picker, &QTimeEdit::editingFinished, picker,
                [picker] { Controls::RoundToTens(picker); });
    connect(ChFlbv, &QCheckBox::toggled, Mask, &QWidget::setEnabled);
    connect(ChFlpo, &QCheckBox::toggled, Mspo, &QWidget::setEnabled);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { ToggleCell(index.column()); });
    GridKeys::DoubleClickBy(DBGrid1, GridKeys::kEnterOrSpace);
    connect(DBGrid1, &DatasetGrid::RowChosen, this, &TFkvEdit::ShowApartment);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PMmas->popup(DBGrid1->viewport()->mapToGlobal(at)); });
    for (QWidget* w : std::initializer_list<QWidget*>{E_kv, E_bv, E_kk, Call, C_otz, C_Video,
                                                      C_Block, C_obr, STime, TimeD, TimeN, CPnp})
        enter_->Watch(w);
}

void TFkvEdit::attachGrid() {
    if (!FDM || (model_ && model_->GetDataset() == FDM->Q_KvN)) return;
    delete model_;
    model_ = new RowGridModel(FDM->Q_KvN, this);
    for (const GridColumn& c : kEditColumns)
        model_->AddColumn(QString::fromLatin1(c.field), QString::fromUtf8(c.title), false, c.check);
    DBGrid1->SetModel(model_);
}

// ---------------------------------------------------------------- showing

qint64 TFkvEdit::currentRow() const {
    if (!FDM || !SiteData::HasCurrentRow(FDM->Q_KvN)) return 0;
    return FDM->Q_KvN->FieldByName(QStringLiteral("id_kvr")).AsLargeInt();
}

bool TFkvEdit::listMovedAway() const {
    return CurrentSwitchContext().idPk != ctx_.idPk;
}

// The entrance shown, with the row the fields show unless a new one is being
// added: a write into it is made only while they are all there.
ApartmentEditorContext TFkvEdit::shownContext() const {
    ApartmentEditorContext ctx = ctx_;
    if (!editor_.RowAdding() && shown_ != 0)
        ctx.held = held_.With({QStringLiteral("k_kvr"), QStringLiteral("id_kvr"), shown_,
                               HeldRowTexts::Apartment(E_kv->text())});
    return ctx;
}

// Asked before what reads the row or asks the operator about it.
bool TFkvEdit::shownStillThere() const {
    return shownContext().held.StillThere();
}

void TFkvEdit::showHeader() {
    Dataset* sw = FDM ? FDM->Q_MNpk : nullptr;
    const bool listed = SiteData::HasCurrentRow(sw);
    auto text = [sw, listed](const char* name) {
        return listed ? sw->FieldByName(QString::fromLatin1(name)).AsString() : QString();
    };
    DBTextHouse->setText(text("house"));
    DBTextNPod->setText(text("p.n_pod"));
    DBTextNmPod->setText(text("p.nm_pod"));
    Label15->setText(listed ? QStringLiteral(" КМ ") +
                                  IntToStrZ(sw->FieldByName(QStringLiteral("k.n_net")).AsInt(), 2)
                            : QString());
}

void TFkvEdit::showValues(const ApartmentValues& v, const ApartmentEditorContext& ctx) {
    row_.Show(v);
    E_nk->setValue(v.terminal);
    Trubka->setChecked(v.handset);
    Trubka->setEnabled(editor_.RowAdding());
    showFlags(Mask, kFirstPanelFlag, v.panelFlags, ctx.maskBv);
    showFlags(Mspo, kFirstConsoleFlag, v.consoleFlags, ctx.maskPo);
    Controls::ShowConsoleGroup(Panel4, {C_obr, STime, CPnp}, ctx.hasConsole);
    TimeD->setEnabled(ctx.hasConsole && !v.followsConsole);
    TimeN->setEnabled(ctx.hasConsole && !v.followsConsole);
    E_nk->setEnabled(false);
}

ApartmentValues TFkvEdit::ControlValues() const {
    ApartmentValues v;
    row_.Read(&v);
    v.terminal = E_nk->value();
    v.handset = Trubka->isChecked();
    v.panelFlags = readFlags(Mask, kFirstPanelFlag);
    v.consoleFlags = readFlags(Mspo, kFirstConsoleFlag);
    return v;
}

void TFkvEdit::ShowApartment() {
    if (!FDM) return;
    attachGrid();
    showHeader();
    setMoveButtons();
    ctx_ = CurrentSwitchContext();
    held_ = HeldRows::OfSwitch(ctx_.idPk);
    ctx_.held = held_;
    setWindowTitle(held_.Titled(ApartmentEditorTexts::kCaption, held_.EntranceName()));
    static_cast<RowGridModel*>(model_)->console = ctx_.hasConsole;
    ApartmentValues v;
    if (FDM->Q_KvN->IsEmpty() || !editor_.ShowApartment(ctx_, currentRow(), &v)) {
        shown_ = 0;
        return;
    }
    shown_ = currentRow();
    showValues(v, ctx_);
}

void TFkvEdit::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ShowApartment();
}

// Back at the front on another row (the switch list moved), it shows that
// one; an add in progress stays.
void TFkvEdit::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible() &&
        !editor_.RowAdding() && currentRow() != shown_)
        ShowApartment();
}

// ---------------------------------------------------------------- saving

// The shared lists after a write, on the same switch and on row idKvr.
void TFkvEdit::refreshAfterWrite(qint64 idKvr, bool keys, bool rows) {
    const qint64 idPk = ctx_.idPk;
    const int recNo = FDM->Q_KvN->RecNo();
    if (rows) SiteData::ReopenObjectKeepingPlace();
    FDM->ReopenSwitches();
    FDM->ReopenApartments();
    FDM->ReopenCallBlocks();
    if (FDM->Q_PO->IsOpen()) FDM->Q_PO->Reopen();
    if (keys) FDM->ReopenKeys();
    if (idPk != 0) FDM->Q_MNpk->Locate(QStringLiteral("k.id_pk"), idPk);
    if (idKvr == 0 || !FDM->Q_KvN->Locate(QStringLiteral("id_kvr"), idKvr))
        FDM->Q_KvN->SetRecNo(recNo);
}

void TFkvEdit::BitSaveClick() {
    if (!FDM || !shownStillThere()) return;
    const bool adding = editor_.RowAdding();
    ApartmentValues v = ControlValues();
    const ApartmentSaveOutcome out = editor_.Save(shownContext(), shown_, &v);
    E_bv->setText(v.code);
    if (!out.written) return;
    refreshAfterWrite(out.idKvr, out.keysChanged, adding);
    ShowApartment();
}

void TFkvEdit::BitAddClick() {
    if (!FDM || !held_.StillThere()) return;
    ApartmentValues v = ControlValues();
    editor_.BeginAdd(ctx_, shown_, &v);
    if (!editor_.RowAdding()) return;
    showValues(v, ctx_);
    E_kv->setFocus();
}

void TFkvEdit::BitDeleteClick() {
    if (!FDM || shown_ == 0 || !shownStillThere()) return;
    if (!editor_.Delete(shownContext(), shown_)) return;
    refreshAfterWrite(0, true, true);
    ShowApartment();
}

void TFkvEdit::E_kkExit() {
    if (!FDM) return;
    const int objectQuota = SiteData::HasCurrentRow(FDM->Q_Net)
                                ? FDM->Q_Net->FieldByName(QStringLiteral("v_key")).AsInt()
                                : 0;
    const int held = !editor_.RowAdding() && SiteData::HasCurrentRow(FDM->Q_KvN)
                         ? FDM->Q_KvN->FieldByName(QStringLiteral("y_key")).AsInt()
                         : 0;
    E_kk->setValue(ApartmentKeyQuota(E_kk->value(), objectQuota, held));
}

void TFkvEdit::STimeClick() {
    row_.FollowConsole(ctx_.idNet, ctx_.hasConsole);
}

void TFkvEdit::MarkConfigChanged() {
    if (!FDM || !editor_.Marks().Any()) return;
    editor_.MarkConfigChanged(ctx_);
    const qint64 idPk = ctx_.idPk;
    FDM->ReopenSwitches();
    FDM->ReopenCallBlocks();
    if (FDM->Q_PO->IsOpen()) FDM->Q_PO->Reopen();
    if (idPk != 0) FDM->Q_MNpk->Locate(QStringLiteral("k.id_pk"), idPk);
}

// ---------------------------------------------------------------- the whole entrance

// The grid's commands work on the entrance shown: a grid showing another one
// (the switch list moved meanwhile) is brought back to the list first.
void TFkvEdit::bulk(RowFlag flag, BulkChange change) {
    if (!FDM) return;
    if (listMovedAway()) {
        ShowApartment();
        return;
    }
    if (!held_.StillThere() || !editor_.Bulk(ctx_, flag, change)) return;
    refreshAfterWrite(shown_, false, false);
    ShowApartment();
}

void TFkvEdit::ToggleCell(int column) {
    RowFlag flag;
    if (!FDM || column < 0 || column >= int(std::size(kEditColumns)) ||
        !flagOfColumn(QString::fromLatin1(kEditColumns[column].field), &flag))
        return;
    if (listMovedAway()) {
        ShowApartment();
        return;
    }
    const qint64 id = currentRow();
    if (!editor_.Toggle(ctx_, id, flag)) return;
    refreshAfterWrite(id, false, false);
    ShowApartment();
}

// ---------------------------------------------------------------- moving

void TFkvEdit::setMoveButtons() {
    if (!FDM) return;
    Dataset* sw = FDM->Q_MNpk;
    Dataset* rows = FDM->Q_KvN;
    const bool firstSwitch = sw->RecNo() <= 1;
    const bool lastSwitch = sw->RecNo() >= sw->RecordCount();
    const bool firstRow = rows->RecNo() <= 1;
    const bool lastRow = rows->RecNo() >= rows->RecordCount();
    BtnUp->setEnabled(!(firstRow && firstSwitch));
    BtnDown->setEnabled(!(lastRow && lastSwitch));
    BitUpGrup->setEnabled(!firstSwitch);
    BitDownGrup->setEnabled(!lastSwitch);
}

// One row up or down; at the end of the entrance, into the neighbouring
// switch's entrance when crossSwitches. False when there is nowhere to go.
bool TFkvEdit::stepRow(int direction, bool crossSwitches) {
    if (!FDM) return false;
    Dataset* rows = FDM->Q_KvN;
    const bool inside = direction < 0 ? rows->RecNo() > 1 : rows->RecNo() < rows->RecordCount();
    if (inside) {
        if (direction < 0)
            rows->Prior();
        else
            rows->Next();
        setMoveButtons();
        return true;
    }
    if (!crossSwitches) return false;
    Dataset* sw = FDM->Q_MNpk;
    const bool another = direction < 0 ? sw->RecNo() > 1 : sw->RecNo() < sw->RecordCount();
    if (!another) return false;
    MarkConfigChanged();
    if (direction < 0) {
        sw->Prior();
        FDM->Q_KvN->Last();
    } else {
        sw->Next();
        FDM->Q_KvN->First();
    }
    return true;
}

void TFkvEdit::moveRow(int direction) {
    if (!repeat_->Running()) BitSaveClick();
    stepRow(direction, true);
    ShowApartment();
}

void TFkvEdit::BtnUpClick() {
    moveRow(-1);
}

void TFkvEdit::BtnDownClick() {
    moveRow(+1);
}

void TFkvEdit::moveSwitch(int direction) {
    if (!FDM) return;
    MarkConfigChanged();
    if (direction < 0)
        FDM->Q_MNpk->Prior();
    else
        FDM->Q_MNpk->Next();
    ShowApartment();
}

void TFkvEdit::BitUpGrupClick() {
    moveSwitch(-1);
}

void TFkvEdit::BitDownGrupClick() {
    moveSwitch(+1);
}

void TFkvEdit::BitFirstClick() {
    if (!FDM) return;
    FDM->Q_KvN->First();
    ShowApartment();
}

void TFkvEdit::BitLastClick() {
    if (!FDM) return;
    FDM->Q_KvN->Last();
    ShowApartment();
}

// ---------------------------------------------------------------- other forms, closing

void TFkvEdit::BitTrubClick() {
    ShowWindowNamed(QStringLiteral("FpkEdit"));
}

void TFkvEdit::BitspClick() {
    if (!FskEdit) return;
    FskEdit->show();
    FskEdit->raise();
    FskEdit->activateWindow();
}

void TFkvEdit::ButExitClick() {
    MarkConfigChanged();
    close();
}

void TFkvEdit::ButHelpClick() {
    AppHelp().ShowTopic(kHelpTopic);
}

void TFkvEdit::closeEvent(QCloseEvent* event) {
    repeat_->Release();
    shown_ = 0;
    QDialog::closeEvent(event);
}

bool TFkvEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DBGrid1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete) return true;
    }
    return QDialog::eventFilter(watched, event);
}
