#include "site/ui/TFrPod.h"

#include "foundation/MainWindowLogic.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TFProgress.h"
#include "foundation/ui/WaitCursor.h"
#include "platform/ui/EnterKey.h"
#include "platform/ui/GridKeys.h"
#include "platform/ui/NamedWidget.h"
#include "site/ApartmentGenerator.h"
#include "site/SiteData.h"
#include "site/ui/TFRedVV.h"
#include "site/ui/TRecordGrid.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <optional>

namespace {

TFrPod* g_frPod = nullptr;

const QString kHouse = QStringLiteral("house");
const QString kName = QStringLiteral("nm_pod");
const QString kFirst = QStringLiteral("n1kvr");
const QString kLast = QStringLiteral("npkvr");
const QString kCount = QStringLiteral("v_kvr");
const QString kMasksCaption = QStringLiteral("Маски флагов");
const QString kCloseMasks = QStringLiteral("Закрыть маски");

using Spec = TRecordGrid::FieldSpec;
using Kind = TRecordGrid::Kind;

QList<Spec> houseFields() {
    return {
        {Kind::Edit, kHouse, QStringLiteral("Название дома"), QStringLiteral("DBEditDom"), 0, 230,
         EntranceLimits::kHouseName},
        {Kind::Text, QStringLiteral("kod_d"), QStringLiteral("Префикс дома"),
         QStringLiteral("DBTextKod"), 1, 50},
        {Kind::Text, QStringLiteral("v_pod"), QStringLiteral("Количество подъездов"),
         QStringLiteral("DBTextPod"), 1, 40},
    };
}

QList<Spec> entranceFields() {
    return {
        {Kind::Caption, QString(), QStringLiteral("Подъезд."), QString(), 0, 0},
        {Kind::Text, QStringLiteral("n_pod"), QStringLiteral("№"), QStringLiteral("DBTextNPod"), 0,
         36},
        {Kind::Edit, kName, QStringLiteral("Название:"), QStringLiteral("DBEditName"), 0, 150,
         EntranceLimits::kEntranceName},
        {Kind::Number, kFirst, QStringLiteral("Квартира № с"), QStringLiteral("D_E1k"), 1, 56},
        {Kind::Number, kLast, QStringLiteral("по"), QStringLiteral("D_Epk"), 1, 56},
        {Kind::Number, kCount, QStringLiteral("квартир:"), QStringLiteral("D_Kkv"), 1, 56},
    };
}

// A list whose items are check boxes.
QListWidget* checkList(QWidget* parent, const char* name) {
    auto* list = Named(new KeyboardGrid<QListWidget>(parent), name);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return list;
}

QVBoxLayout* titled(QWidget* parent, const QString& title, QWidget* content) {
    auto* box = new QVBoxLayout;
    box->addWidget(new QLabel(title, parent));
    box->addWidget(content, 1);
    return box;
}

// The keys of the rows a list shows, read without moving it; none while it is
// closed.
QList<qint64> shownEntranceScreenKeys(Dataset* list, const char* key) {
    QList<qint64> keys;
    if (!list || !list->IsOpen()) return keys;
    const int column = list->FieldIndex(QLatin1String(key));
    for (int row = 0; column >= 0 && row < list->RecordCount(); ++row)
        keys << list->Value(row, column).toLongLong();
    return keys;
}

}  // namespace

TFrPod::TFrPod(QWidget* parent)
    : TScreenFrame(QStringLiteral("FrPod1"), Screens::Find(3)->title, parent) {
    g_frPod = this;
    ButBack = Named(BitPrev, "ButBack");
    VvodObj = Named(BitNext, "VvodObj");
    QVBoxLayout* content = ContentLayout();
    content->addWidget(buildTopPanel());
    content->addWidget(buildGrids(), 1);
    content->addWidget(buildFlagPanel(), 1);
    content->addWidget(buildBottomPanel());
    PanelFlag->hide();
    wireControls();
    lockRangeFields();
}

TFrPod::~TFrPod() {
    if (g_frPod == this) g_frPod = nullptr;
}

TFrPod* TFrPod::Instance() {
    return g_frPod;
}

// ---------------------------------------------------------------- building

QWidget* TFrPod::buildTopPanel() {
    Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setFrameShape(QFrame::StyledPanel);
    DBTextAdres = Named(new ElidedLabel(Panel1), "DBTextAdres");
    DBTextIdent = Named(new ElidedLabel(Panel1), "DBTextIdent");
    for (QLabel* l : {DBTextAdres, DBTextIdent}) {
        QFont bold = l->font();
        bold.setBold(true);
        l->setFont(bold);
    }
    // The back and next buttons stand in the top panel.
    ButBack->setParent(Panel1);
    VvodObj->setParent(Panel1);
    auto* objectRow = new QHBoxLayout;
    objectRow->addWidget(new QLabel(QStringLiteral("Действующий объект"), Panel1));
    ElidedLabel::AddToRow(objectRow, DBTextAdres);
    objectRow->addSpacing(12);
    ElidedLabel::AddToRow(objectRow, DBTextIdent);
    objectRow->addStretch();
    objectRow->addWidget(ButBack);
    objectRow->addWidget(VvodObj);

    RBPod = Named(new QRadioButton(QStringLiteral("Последовательная нумерация"), Panel1), "RBPod");
    RBGos = Named(new QRadioButton(QStringLiteral("Гостиничная нумерация"), Panel1), "RBGos");
    RBPod->setChecked(true);
    auto* numbering = new QVBoxLayout;
    numbering->addWidget(RBPod);
    numbering->addWidget(RBGos);
    numbering->addStretch();

    GroupVvod = Named(new QGroupBox(QStringLiteral("Варианты ввода квартир"), Panel1), "GroupVvod");
    ChBxFirst =
        Named(new QCheckBox(QStringLiteral("Ввод 1-й квартиры подъезда"), GroupVvod), "ChBxFirst");
    ChBxLast = Named(new QCheckBox(QStringLiteral("Ввод последней квартиры подъезда"), GroupVvod),
                     "ChBxLast");
    ChBxLast->setChecked(true);
    ChKolKv =
        Named(new QCheckBox(QStringLiteral("Изменять количество квартир"), GroupVvod), "ChKolKv");
    ChNomPod =
        Named(new QCheckBox(QStringLiteral("Изменять названия подъездов"), GroupVvod), "ChNomPod");
    auto* boxes = new QGridLayout(GroupVvod);
    boxes->addWidget(ChBxFirst, 0, 0);
    boxes->addWidget(ChBxLast, 1, 0);
    boxes->addWidget(ChKolKv, 0, 1);
    boxes->addWidget(ChNomPod, 1, 1);

    But1kv =
        Named(new QPushButton(QStringLiteral("Пересчитать невыделенные поля"), Panel1), "But1kv");
    ButKolKv =
        Named(new QPushButton(QStringLiteral("Пересчитать количество по наличию кв"), Panel1),
              "ButKolKv");
    auto* recounts = new QVBoxLayout;
    recounts->addWidget(But1kv);
    recounts->addWidget(ButKolKv);
    recounts->addStretch();

    auto* choices = new QHBoxLayout;
    choices->addLayout(numbering);
    choices->addSpacing(12);
    choices->addWidget(GroupVvod);
    choices->addSpacing(12);
    choices->addLayout(recounts);
    choices->addStretch();

    auto* layout = new QVBoxLayout(Panel1);
    layout->addLayout(objectRow);
    layout->addLayout(choices);
    return Panel1;
}

QWidget* TFrPod::buildGrids() {
    PanelGrids = Named(new QWidget(this), "PanelGrids");
    CGridD = new TRecordGrid(QStringLiteral("CGridD"), houseFields(), 70, QStringLiteral("id_dom"),
                             PanelGrids);
    CGridP = new TRecordGrid(QStringLiteral("CGridP"), entranceFields(), 60,
                             QStringLiteral("id_pod"), PanelGrids);
    // The two grids side by side, 10 apart, in the middle of the frame.
    auto* layout = new QHBoxLayout(PanelGrids);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->setSpacing(10);
    layout->addStretch();
    layout->addWidget(CGridD, 0, Qt::AlignTop);
    layout->addWidget(CGridP, 0, Qt::AlignTop);
    layout->addStretch();
    // The panels fit the room the grids get, known only once it is laid out.
    PanelGrids->installEventFilter(this);
    // Keys on the grids themselves, outside their fields.
    CGridD->installEventFilter(this);
    CGridP->installEventFilter(this);
    return PanelGrids;
}

QWidget* TFrPod::buildBottomPanel() {
    Panel2 = Named(new QFrame(this), "Panel2");
    Panel2->setFrameShape(QFrame::StyledPanel);
    auto total = [this](const char* name) {
        auto* l = Named(new QLabel(Panel2), name);
        l->setMinimumWidth(50);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        return l;
    };
    P1_Itob = total("P1_Itob");
    P1_Itkv = total("P1_Itkv");
    E_Kk = Named(new QSpinBox(Panel2), "E_Kk");
    E_Kk->setRange(0, EntranceLimits::kMaxKeys);
    E_Kk->setValue(EntranceLimits::kDefaultKeys);
    E_Kk->setToolTip(EntranceTexts::kKeysHint);
    BitFlag = Named(new QPushButton(kMasksCaption, Panel2), "BitFlag");
    BtnSave =
        Named(new QPushButton(QStringLiteral("Сохранить квартиры для КМ"), Panel2), "BtnSave");
    QFont bold = BtnSave->font();
    bold.setBold(true);
    BtnSave->setFont(bold);
    auto* layout = new QHBoxLayout(Panel2);
    layout->addWidget(new QLabel(QStringLiteral("Итого квартир на объекте"), Panel2));
    layout->addWidget(P1_Itob);
    layout->addSpacing(12);
    layout->addWidget(new QLabel(QStringLiteral("Итого квартир в доме"), Panel2));
    layout->addWidget(P1_Itkv);
    layout->addSpacing(12);
    layout->addWidget(new QLabel(QStringLiteral("Ключей в квартире "), Panel2));
    layout->addWidget(E_Kk);
    layout->addStretch();
    layout->addWidget(BitFlag);
    layout->addWidget(BtnSave);
    return Panel2;
}

QWidget* TFrPod::buildFlagPanel() {
    PanelFlag = Named(new QFrame(this), "PanelFlag");
    PanelFlag->setFrameShape(QFrame::StyledPanel);
    GroupBv = Named(new QGroupBox(QStringLiteral("Флаги квартир для БВ"), PanelFlag), "GroupBv");
    MaskSv = checkList(GroupBv, "MaskSv");
    MaskPs = checkList(GroupBv, "MaskPs");
    auto* bv = new QHBoxLayout(GroupBv);
    bv->addLayout(titled(GroupBv, QStringLiteral("хранимые"), MaskSv));
    bv->addLayout(titled(GroupBv, QStringLiteral("по умолчанию"), MaskPs));
    GroupPo = Named(new QGroupBox(QStringLiteral("Флаги квартир для ППО"), PanelFlag), "GroupPo");
    MspoSv = checkList(GroupPo, "MspoSv");
    MspoPs = checkList(GroupPo, "MspoPs");
    auto* po = new QHBoxLayout(GroupPo);
    po->addLayout(titled(GroupPo, QStringLiteral("хранимые"), MspoSv));
    po->addLayout(titled(GroupPo, QStringLiteral("по умолчанию"), MspoPs));

    MemoFlag = Named(new QPlainTextEdit(PanelFlag), "MemoFlag");
    MemoFlag->setReadOnly(true);
    MemoFlag->setPlainText(
        QStringLiteral("Значение \"по умолчанию\" записывается в таблицу квартир при сохранении "
                       "квартир. Флаг, не отмеченный как хранимый, всегда берет значение оттуда."));
    MemoFlag->setFixedHeight(MemoFlag->fontMetrics().lineSpacing() * 3 + 12);
    ButYes = Named(new QPushButton(QStringLiteral("Сохранить маски"), PanelFlag), "ButYes");
    ButNo = Named(new QPushButton(QStringLiteral("Отменить"), PanelFlag), "ButNo");
    ButHelp = Named(new QPushButton(QStringLiteral("Пример"), PanelFlag), "ButHelp");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButYes);
    buttons->addWidget(ButNo);
    buttons->addStretch();
    buttons->addWidget(ButHelp);

    auto* lists = new QHBoxLayout;
    lists->addWidget(GroupBv);
    lists->addWidget(GroupPo);
    auto* main = new QVBoxLayout;
    main->addLayout(lists, 1);
    main->addWidget(MemoFlag);
    main->addLayout(buttons);
    auto* layout = new QHBoxLayout(PanelFlag);
    layout->addLayout(main, 1);
    layout->addWidget(buildExample());
    PanelExample->hide();
    return PanelFlag;
}

// The side panel "Пример заполнения": how the two lists read together.
QWidget* TFrPod::buildExample() {
    PanelExample = Named(new QFrame(PanelFlag), "PanelExample");
    PanelExample->setFrameShape(QFrame::StyledPanel);
    auto example = [this](const QList<QPair<QString, int>>& items) {
        auto* list = new KeyboardGrid<QListWidget>(PanelExample);
        list->setSelectionMode(QAbstractItemView::NoSelection);
        for (const auto& [text, state] : items) {
            auto* item = new QListWidgetItem(text, list);
            item->setFlags(state < 0 ? Qt::ItemIsUserCheckable : Qt::ItemIsEnabled);
            item->setCheckState(state > 0 ? Qt::Checked : Qt::Unchecked);
        }
        list->setFixedHeight(list->sizeHintForRow(0) * 3 + 2 * list->frameWidth() + 4);
        return list;
    };
    auto* stored = example({{QStringLiteral("1 из квартиры"), 1},
                            {QStringLiteral("2 по умолчанию"), 0},
                            {QStringLiteral("3 по умолчанию"), 0}});
    auto* defaults = example({{QStringLiteral("1 не используется"), -1},
                              {QStringLiteral("2 всегда вкл."), 1},
                              {QStringLiteral("3 всегда выкл."), 0}});
    auto* note = new QLabel(QStringLiteral("Включенные флаги берутся из каждой квартиры, "
                                           "остальные - из значений по умолчанию."),
                            PanelExample);
    note->setWordWrap(true);
    PanelExample->setFixedWidth(230);
    auto* layout = new QVBoxLayout(PanelExample);
    layout->addWidget(new QLabel(QStringLiteral("Пример заполнения"), PanelExample));
    layout->addWidget(new QLabel(QStringLiteral("хранимые"), PanelExample));
    layout->addWidget(stored);
    layout->addWidget(new QLabel(QStringLiteral("по умолчанию"), PanelExample));
    layout->addWidget(defaults);
    layout->addWidget(note);
    layout->addStretch();
    return PanelExample;
}

void TFrPod::wireControls() {
    connect(BtnSave, &QPushButton::clicked, this, &TFrPod::BtnSaveClick);
    connect(But1kv, &QPushButton::clicked, this, &TFrPod::But1kvClick);
    connect(ButKolKv, &QPushButton::clicked, this, &TFrPod::ButKolKvClick);
    // Setting a radio button from code runs its handler, as a click does.
    connect(RBGos, &QRadioButton::toggled, this, [this](bool on) {
        if (on) RBGosClick();
    });
    connect(RBPod, &QRadioButton::toggled, this, [this](bool on) {
        if (on) RBPodClick();
    });
    connect(ChBxFirst, &QCheckBox::clicked, this, &TFrPod::ChBxFirstClick);
    connect(ChBxLast, &QCheckBox::clicked, this, &TFrPod::ChBxLastClick);
    connect(ChKolKv, &QCheckBox::clicked, this, &TFrPod::ChKolKvClick);
    connect(ChNomPod, &QCheckBox::clicked, this, &TFrPod::ChNomPodClick);
    connect(BitFlag, &QPushButton::clicked, this, &TFrPod::BitFlagClick);
    connect(ButYes, &QPushButton::clicked, this, &TFrPod::ButYesClick);
    connect(ButNo, &QPushButton::clicked, this, &TFrPod::ButNoClick);
    connect(ButHelp, &QPushButton::clicked, this, &TFrPod::ButHelpClick);
    for (QListWidget* list : {MaskSv, MaskPs, MspoSv, MspoPs})
        connect(list, &QListWidget::itemChanged, this, &TFrPod::flagItemChanged);

    connect(CGridD, &TRecordGrid::FieldEdited, this,
            [this](qint64 idDom, const QString&, const QString& text) {
                if (!screen_.SetHouseName(idDom, text, housesShown_.value(idDom)))
                    CGridD->ShowValues(CGridD->CurrentRow());
            });
    connect(CGridP, &TRecordGrid::FieldEdited, this,
            [this](qint64 idPod, const QString& field, const QString& text) {
                if (!screen_.SetEntranceField(idPod, field, text, entrancesShown_.value(idPod)))
                    CGridP->ShowValues(CGridP->CurrentRow());
            });
    // A click on a panel goes to its first field.
    connect(CGridP, &TRecordGrid::PanelClicked, this,
            [this](int row) { CGridP->FocusField(row, false); });
    connect(CGridD, &TRecordGrid::PanelClicked, this, [this] { focusHouseName(); });
    CGridP->SetKeyHandler([this](int row, const QString& field, QKeyEvent* key) {
        return entranceKey(row, field, key);
    });
    CGridD->SetKeyHandler(
        [this](int row, const QString&, QKeyEvent* key) { return houseKey(row, key); });
}

void TFrPod::attachDatasets() {
    if (!FDM) return;
    CGridD->SetDataset(FDM->Q_Dom);
    CGridP->SetDataset(FDM->Q_DPd);
    // Painting a house panel shows its totals; a new entrance its numbering.
    disconnect(FDM->Q_Dom, &Dataset::CurrentChanged, this, nullptr);
    disconnect(FDM->Q_DPd, &Dataset::CurrentChanged, this, nullptr);
    disconnect(FDM->Q_DPd, &Dataset::RowsReset, this, nullptr);
    connect(FDM->Q_Dom, &Dataset::CurrentChanged, this, [this] {
        rovno_col();
        ShowApartmentTotals();
    });
    connect(FDM->Q_DPd, &Dataset::CurrentChanged, this, &TFrPod::followEntrance);
    // Another house's entrances: their numbering, and as many panels as fit.
    connect(FDM->Q_DPd, &Dataset::RowsReset, this, [this] {
        holdEntrances();
        followEntrance();
        fitGrids();
    });
}

// The houses and entrances shown, taken as the grids show them: a value
// typed for one is written into it, and nothing is written once another
// copy of the program removed it.
void TFrPod::holdEntrances() {
    entrancesShown_.clear();
    housesShown_.clear();
    if (!FDM) return;
    for (qint64 idDom : shownEntranceScreenKeys(FDM->Q_Dom, "id_dom"))
        housesShown_.insert(idDom, HeldRows::OfHouse(idDom));
    for (qint64 idPod : shownEntranceScreenKeys(FDM->Q_DPd, "id_pod"))
        entrancesShown_.insert(idPod, HeldRows::OfEntrance(idPod));
}

// The entrances of the house shown, all together.
HeldRows TFrPod::entrancesHeld() const {
    HeldRows held;
    for (const HeldRows& entrance : entrancesShown_) held = held.With(entrance);
    return held;
}

HeldRows TFrPod::currentEntranceHeld() const {
    if (!FDM || !SiteData::HasCurrentRow(FDM->Q_DPd)) return {};
    return entrancesShown_.value(FDM->Q_DPd->FieldByName(QStringLiteral("id_pod")).AsLargeInt());
}

// ---------------------------------------------------------------- opening

void TFrPod::PrepareScreen(const QString& dbFolder) {
    TScreenFrame::PrepareScreen(dbFolder);
    closeFlagPanel();
    attachDatasets();
    if (!FDM) return;
    holdEntrances();
    showObject();
    E_Kk->setValue(screen_.KeysPerApartment());
    followEntrance();
    rovno_col();
    ShowApartmentTotals();
}

void TFrPod::showObject() {
    const bool listed = SiteData::HasCurrentRow(FDM->Q_Net);
    DBTextAdres->setText(listed ? FDM->Q_Net->FieldByName(QStringLiteral("adres")).AsString()
                                : QString());
    DBTextIdent->setText(listed ? FDM->Q_Net->FieldByName(QStringLiteral("ident")).AsString()
                                : QString());
}

// The numbering choice follows the current entrance.
void TFrPod::followEntrance() {
    if (!FDM || !SiteData::HasCurrentRow(FDM->Q_DPd)) return;
    const bool hotel = FDM->Q_DPd->FieldByName(QStringLiteral("type_n")).AsBool();
    if (hotel)
        RBGos->setChecked(true);
    else
        RBPod->setChecked(true);
}

void TFrPod::ShowApartmentTotals() {
    const qint64 idDom = FDM && SiteData::HasCurrentRow(FDM->Q_Dom)
                             ? FDM->Q_Dom->FieldByName(QStringLiteral("id_dom")).AsLargeInt()
                             : 0;
    const ApartmentTotals totals = screen_.Totals(idDom);
    P1_Itkv->setText(totals.house);
    P1_Itob->setText(totals.object);
}

void TFrPod::rovno_col() {
    if (!FDM) return;
    const bool houseListed = SiteData::HasCurrentRow(FDM->Q_Dom);
    // Hotel numbering is for a house with one entrance.
    RBGos->setEnabled(!houseListed ||
                      FDM->Q_Dom->FieldByName(QStringLiteral("v_pod")).AsInt() <= 1);
    followEntrance();
    fitGrids();
}

// As many panels as there are records and as fit above the bottom panel.
void TFrPod::fitGrids() {
    const int room = qMax(0, PanelGrids->height() - 8);
    for (TRecordGrid* grid : {CGridD, CGridP}) {
        const int fit = qMax(1, room / grid->RowHeight());
        grid->SetVisibleRows(qMin(fit, qMax(1, grid->RowCount())));
    }
}

bool TFrPod::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PanelGrids && event->type() == QEvent::Resize) fitGrids();
    if (event->type() == QEvent::KeyPress && gridKey(watched, static_cast<QKeyEvent*>(event)))
        return true;
    return TScreenFrame::eventFilter(watched, event);
}

// ---------------------------------------------------------------- numbering and fields

void TFrPod::RBGosClick() {
    if (!RBGos->isChecked()) return;
    ChBxFirst->setEnabled(false);
    ChBxLast->setEnabled(false);
    CGridP->SetFieldEditable(kFirst, false);
    CGridP->SetFieldEditable(kLast, false);
    screen_.SetHotelNumbering(true, currentEntranceHeld());
}

void TFrPod::RBPodClick() {
    if (!RBPod->isChecked()) return;
    ChBxFirst->setEnabled(true);
    ChBxLast->setEnabled(true);
    lockRangeFields();
    screen_.SetHotelNumbering(false, currentEntranceHeld());
}

void TFrPod::lockField(QCheckBox* box, const QString& field) {
    CGridP->SetFieldEditable(field, box->isChecked() && box->isEnabled());
}

void TFrPod::lockRangeFields() {
    lockField(ChBxFirst, kFirst);
    lockField(ChBxLast, kLast);
    lockField(ChKolKv, kCount);
    lockField(ChNomPod, kName);
}

// A check box says whether its field is entered: the field follows it, and
// the focus goes to the entrance's first editable field.
void TFrPod::inputChosen(QCheckBox* box, const QString& field) {
    lockField(box, field);
    FocusPod();
}

void TFrPod::ChBxFirstClick() {
    inputChosen(ChBxFirst, kFirst);
}

void TFrPod::ChBxLastClick() {
    inputChosen(ChBxLast, kLast);
}

void TFrPod::ChKolKvClick() {
    inputChosen(ChKolKv, kCount);
}

void TFrPod::ChNomPodClick() {
    inputChosen(ChNomPod, kName);
}

void TFrPod::FocusPod(bool forward) {
    CGridP->setFocus();
    CGridP->FocusField(qMax(0, CGridP->CurrentRow()), !forward);
}

// ---------------------------------------------------------------- recounts and save

// A value still being typed counts, as when the operator leaves the field.
void TFrPod::commitEdits() {
    CGridD->CommitEdit();
    CGridP->CommitEdit();
}

void TFrPod::But1kvClick() {
    commitEdits();
    if (!FDM || !SiteData::HasCurrentRow(FDM->Q_Dom)) return;
    RangeInputs inputs;
    inputs.first = ChBxFirst->isChecked();
    inputs.last = ChBxLast->isChecked();
    inputs.count = ChKolKv->isChecked();
    const qint64 idDom = FDM->Q_Dom->FieldByName(QStringLiteral("id_dom")).AsLargeInt();
    WaitCursor wait;
    screen_.RecountHouseRanges(idDom, inputs, entrancesHeld());
    ShowApartmentTotals();
}

void TFrPod::ButKolKvClick() {
    commitEdits();
    WaitCursor wait;
    screen_.RecountApartmentCounts();
    ShowApartmentTotals();
}

void TFrPod::BtnSaveClick() {
    // Apartments are made for the entrances shown, none of them gone: nothing
    // is asked over one that is, nor written.
    const HeldRows shown = entrancesHeld();
    if (shown.Holds() && !shown.StillThere()) {
        // What was typed for them is not written either.
        for (int row = 0; row < CGridP->RowCount(); ++row) CGridP->ShowValues(row);
        return;
    }
    commitEdits();
    closeFlagPanel();
    ApartmentGenerator generator;
    generator.SetHeld(shown);
    generator.SetProgress(ProgressGauge());
    generator.SetCorrector([](const CallCodeRepeat& repeat) {
        return FRedVV ? FRedVV->Correct(repeat) : CorrectionMark::Ignored;
    });
    if (FRedVV) FRedVV->SetMark(0);
    {
        // The grids stay in view while the question is open, and are hidden
        // while the rows are rewritten, whatever happens then.
        std::optional<WaitCursor> wait;
        generator.SetOnWorkStart([this, &wait] {
            wait.emplace();
            PanelGrids->hide();
        });
        generator.Run(E_Kk->value());
        PanelGrids->show();
    }
    showObject();
    rovno_col();
    ShowApartmentTotals();
}

// ---------------------------------------------------------------- flag masks

void TFrPod::BitFlagClick() {
    if (PanelFlag->isVisible()) {
        ButNoClick();
        return;
    }
    BitFlag->setText(kCloseMasks);
    Panel1->hide();
    PanelGrids->hide();
    loadFlagLists();
    PanelFlag->show();
}

void TFrPod::loadFlagLists() {
    bvFlags_.Load(screen_.FlagNames(ApartmentFlags::kCallPanelTable), screen_.CallPanelMask());
    poFlags_.Load(screen_.FlagNames(ApartmentFlags::kConsoleTable), screen_.ConsoleMask());
    showFlagList(bvFlags_, MaskSv, MaskPs);
    showFlagList(poFlags_, MspoSv, MspoPs);
    const bool console = FDM && SiteData::HasCurrentRow(FDM->Q_Net) &&
                         FDM->Q_Net->FieldByName(QStringLiteral("l_pok")).AsBool();
    GroupPo->setEnabled(console);
}

void TFrPod::showFlagList(const FlagMaskList& model, QListWidget* stored, QListWidget* defaults) {
    const QSignalBlocker blockStored(stored);
    const QSignalBlocker blockDefaults(defaults);
    syncingFlags_ = true;
    const bool rebuild = stored->count() != model.Count();
    if (rebuild) {
        stored->clear();
        defaults->clear();
    }
    for (int k = 0; k < model.Count(); ++k) {
        const FlagMaskList::Item& flag = model.Items()[k];
        if (rebuild) {
            new QListWidgetItem(flag.name, stored);
            new QListWidgetItem(flag.name, defaults);
        }
        QListWidgetItem* s = stored->item(k);
        QListWidgetItem* d = defaults->item(k);
        s->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        s->setCheckState(flag.stored ? Qt::Checked : Qt::Unchecked);
        d->setFlags(flag.defaultEnabled ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable
                                        : Qt::ItemIsUserCheckable);
        d->setCheckState(flag.byDefault ? Qt::Checked : Qt::Unchecked);
    }
    // Each list as wide as its longest flag name.
    for (QListWidget* list : {stored, defaults})
        list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() + 8);
    syncingFlags_ = false;
}

void TFrPod::flagItemChanged(QListWidgetItem* item) {
    if (syncingFlags_) return;
    QListWidget* list = item->listWidget();
    const int k = list->row(item);
    const bool checked = item->checkState() == Qt::Checked;
    if (list == MaskSv) bvFlags_.SetStored(k, checked);
    if (list == MaskPs) bvFlags_.SetDefault(k, checked);
    if (list == MspoSv) poFlags_.SetStored(k, checked);
    if (list == MspoPs) poFlags_.SetDefault(k, checked);
    showFlagList(bvFlags_, MaskSv, MaskPs);
    showFlagList(poFlags_, MspoSv, MspoPs);
}

void TFrPod::ButYesClick() {
    {
        WaitCursor wait;
        screen_.SaveFlagMasks(bvFlags_.Mask(), poFlags_.Mask());
    }
    ButNoClick();
}

void TFrPod::ButNoClick() {
    closeFlagPanel();
}

void TFrPod::closeFlagPanel() {
    PanelFlag->hide();
    PanelExample->hide();
    Panel1->show();
    PanelGrids->show();
    BitFlag->setText(kMasksCaption);
}

void TFrPod::ButHelpClick() {
    PanelExample->setVisible(!PanelExample->isVisible());
}

// ---------------------------------------------------------------- keyboard

void TFrPod::focusHouseName() {
    CGridD->FocusField(qMax(0, CGridD->CurrentRow()), false);
}

void TFrPod::moveHouse(bool down) {
    moveRecord(FDM->Q_Dom, down);
}

void TFrPod::moveRecord(Dataset* ds, bool down) {
    const int target = ds->RecNo() + (down ? 1 : -1);
    if (target >= 1 && target <= ds->RecordCount()) ds->SetRecNo(target);
}

// Down past the last entrance goes on in the next house, up before the first
// in the previous house's last entrance.
void TFrPod::moveEntrance(int row, bool down, bool toLastField) {
    const int target = row + (down ? 1 : -1);
    if (target >= 0 && target < CGridP->RowCount()) {
        CGridP->FocusField(target, toLastField);
        return;
    }
    const int house = FDM->Q_Dom->RecNo();
    // The entrances of another house replace these fields: store the edit first.
    CGridP->CommitEdit();
    moveHouse(down);
    if (FDM->Q_Dom->RecNo() == house) return;
    CGridP->FocusField(down ? 0 : CGridP->RowCount() - 1, toLastField);
}

// The next (previous) editable field of the entrance; past its end the next
// entrance when wrap is off, else round to its other end.
bool TFrPod::moveField(int row, const QString& field, bool forward, bool wrap) {
    const QStringList fields = CGridP->EditableFields();
    if (fields.isEmpty()) return true;
    const int at = int(fields.indexOf(field));
    const int next = at + (forward ? 1 : -1);
    if (next >= 0 && next < fields.size()) {
        if (QLineEdit* edit = CGridP->Editor(row, fields[next])) {
            edit->setFocus();
            edit->selectAll();
        }
    } else if (wrap) {
        CGridP->FocusField(row, !forward);
    } else {
        moveEntrance(row, forward, !forward);
    }
    return true;
}

bool TFrPod::entranceKey(int row, const QString& field, QKeyEvent* key) {
    const bool shift = key->modifiers() & Qt::ShiftModifier;
    switch (key->key()) {
        case Qt::Key_Down:
            moveEntrance(row, true, false);
            return true;
        case Qt::Key_Up:
            moveEntrance(row, false, true);
            return true;
        case Qt::Key_Tab:
            return moveField(row, field, true, true);
        case Qt::Key_Backtab:
            return moveField(row, field, false, true);
        case Qt::Key_PageUp:
            focusHouseName();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return moveField(row, field, !shift, false);
        case Qt::Key_Minus:
        case Qt::Key_Plus:
            return true;  // the number fields take no sign
        default:
            return false;
    }
}

// A grid that has the focus itself (reached by Tab, or the houses grid by
// PageUp): Enter goes into the current panel as Tab would, PageDown from the
// houses to the entrances, PageUp back, and the arrows choose the house or
// the entrance.
bool TFrPod::gridKey(QObject* watched, QKeyEvent* key) {
    const bool houses = watched == CGridD;
    if ((!houses && watched != CGridP) || !static_cast<QWidget*>(watched)->hasFocus()) return false;
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (houses)
                focusHouseName();
            else
                FocusPod(!(key->modifiers() & Qt::ShiftModifier));
            return true;
        case Qt::Key_PageDown:
            if (houses) FocusPod();
            return houses;
        case Qt::Key_PageUp:
            if (!houses) CGridD->setFocus(Qt::OtherFocusReason);
            return !houses;
        case Qt::Key_Up:
        case Qt::Key_Down:
            moveRecord(houses ? FDM->Q_Dom : FDM->Q_DPd, key->key() == Qt::Key_Down);
            return true;
        default:
            return false;
    }
}

bool TFrPod::houseKey(int, QKeyEvent* key) {
    // Enter stays in the house name, which it stores.
    if (IsEnterKey(key->key())) return false;
    switch (key->key()) {
        case Qt::Key_PageDown:
            FocusPod();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
            CGridD->CommitEdit();
            moveHouse(key->key() == Qt::Key_Down);
            focusHouseName();
            return true;
        default:
            return false;
    }
}
