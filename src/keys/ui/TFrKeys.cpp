#include "keys/ui/TFrKeys.h"

#include "foundation/Globals.h"
#include "foundation/TFDM.h"
#include "foundation/ui/CharLimit.h"
#include "foundation/ui/TFProgress.h"
#include "foundation/ui/WaitCursor.h"
#include "keys/KeyClipboard.h"
#include "keys/KeyListEditor.h"
#include "keys/KeyNumber.h"
#include "keys/KeyOwnerSearch.h"
#include "keys/KeyRegister.h"
#include "keys/OneWireKeyReader.h"
#include "keys/ui/TFHavKey.h"
#include "keys/ui/TFMifare.h"
#include "platform/DatasetModel.h"
#include "platform/Dialogs.h"
#include "platform/ui/DatasetGrid.h"
#include "platform/ui/NamedWidget.h"
#include "site/ui/TFskEdit.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColor>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kDeleteAll = QStringLiteral("Удалить все");
const QString kConfirm = QStringLiteral("Подтвердите");

// The key list shows rows marked for deletion in red (a selected row keeps
// the selection's colours).
class KeyListModel : public DatasetModel {
  public:
    using DatasetModel::DatasetModel;
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::ForegroundRole && index.isValid() && GetDataset()) {
            const int mark = GetDataset()->FieldIndex(QStringLiteral("l_del"));
            if (mark >= 0 && GetDataset()->Value(index.row(), mark).toInt() != 0)
                return QColor(Qt::red);
        }
        return DatasetModel::data(index, role);
    }
};

QFrame* makePanel(const char* name, QWidget* parent) {
    auto* panel = Named(new QFrame(parent), name);
    panel->setFrameShape(QFrame::StyledPanel);
    return panel;
}

QLabel* counterLabel(const char* name, QWidget* parent) {
    auto* label = Named(new QLabel(QStringLiteral("0"), parent), name);
    label->setMinimumWidth(48);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

bool isKeyPress(QEvent* event, int key) {
    return event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == key;
}

bool isEnterPress(QEvent* event) {
    return isKeyPress(event, Qt::Key_Return) || isKeyPress(event, Qt::Key_Enter);
}

// Space edits in the key list and Ctrl+Space chooses rows: a title click has F3.
constexpr Qt::Key kSortKey = Qt::Key_F3;
const QString kKeySortHint =
    QStringLiteral("F3 на столбце списка делает то же, что щелчок по его заголовку");

}  // namespace

TFrKeys::TFrKeys(QWidget* parent)
    : TScreenFrame(QStringLiteral("FrKeys1"), QString(), parent),
      oneWire_(std::make_unique<OneWireKeyReader>()) {
    if (FDM) {
        keys_ = std::make_unique<KeyRegister>(*FDM);
        editor_ = std::make_unique<KeyListEditor>(*keys_);
        clipboard_ = std::make_unique<KeyClipboard>(*keys_, *editor_);
    }
    // The 1-Wire line is polled as often as the window allows; a poll stops
    // the timer and starts it again when done, so polls never overlap.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1);
    Timer1->setSingleShot(true);
    QVBoxLayout* content = ContentLayout();
    auto* top = new QHBoxLayout;
    buildModeChoice(top);
    buildEntry(top);
    content->addLayout(top);
    auto* middle = new QHBoxLayout;
    buildPanels(middle);
    buildKeyList(middle);
    content->addLayout(middle, 1);
    buildCounters(content);
    buildModels();
    wireControls();
    showMode(KeyGroup::Apartment);
}

// The 1-Wire session ends with the reader object; the console keeps its port
// but no longer hands numbers to this frame.
TFrKeys::~TFrKeys() {
    if (console_) console_->OnKeyNumber = nullptr;
}

// ---------------------------------------------------------------- layout

void TFrKeys::buildModeChoice(QHBoxLayout* top) {
    auto* modes = new QGroupBox(QStringLiteral("Ключи"), this);
    auto* column = new QVBoxLayout(modes);
    RB_KvrKey = Named(new QRadioButton(QStringLiteral("Квартирные ключи"), modes), "RB_KvrKey");
    RB_ObsKey =
        Named(new QRadioButton(QStringLiteral("Общие ключи для подъезда"), modes), "RB_ObsKey");
    RBTer = Named(new QRadioButton(QStringLiteral("Замена утерянного"), modes), "RBTer");
    RB_KalKey = Named(new QRadioButton(QStringLiteral("Ключи для калитки"), modes), "RB_KalKey");
    for (QRadioButton* rb : {RB_KvrKey, RB_ObsKey, RBTer, RB_KalKey}) column->addWidget(rb);
    RB_KvrKey->setChecked(true);
    top->addWidget(modes);

    auto* options = new QVBoxLayout;
    CB_Auto = Named(new QCheckBox(this), "CB_Auto");
    CB_Lim = Named(new QCheckBox(QStringLiteral("Без вопроса о превышении нормы"), this), "CB_Lim");
    CB_ANom = Named(new QCheckBox(QStringLiteral("Автонумерация меток"), this), "CB_ANom");
    Beep = Named(new QCheckBox(QStringLiteral("Сигнал"), this), "Beep");
    AIn = Named(new QCheckBox(QStringLiteral("Авто ввод"), this), "AIn");
    CB_Auto->setChecked(true);
    CB_Lim->setEnabled(false);
    CB_ANom->setChecked(true);
    AIn->setChecked(true);
    AIn->setEnabled(false);  // only while a key reader is on
    for (QCheckBox* box : {CB_Auto, CB_Lim, CB_ANom, Beep, AIn}) options->addWidget(box);
    buildReaders(options);
    options->addStretch();
    top->addLayout(options, 1);
}

void TFrKeys::buildReaders(QVBoxLayout* column) {
    auto* row = new QHBoxLayout;
    Btn1WireOn = Named(new QPushButton(QStringLiteral("Включить считыватель"), this), "Btn1WireOn");
    Btn1WireOff =
        Named(new QPushButton(QStringLiteral("Выключить считыватель"), this), "Btn1WireOff");
    Btn1WireOff->setEnabled(false);
    row->addWidget(Btn1WireOn);
    row->addWidget(Btn1WireOff);
    row->addStretch();
    column->addLayout(row);
}

void TFrKeys::buildEntry(QHBoxLayout* top) {
    auto* entry = new QGroupBox(QStringLiteral("Ввод ключа"), this);
    auto* grid = new QGridLayout(entry);
    E_sn = Named(new QLineEdit(entry), "E_sn");
    E_sn->setMaxLength(64);  // pasted text is filtered down to 12 digits
    E_sn->setPlaceholderText(QStringLiteral("000000000000"));
    E_Met = Named(new QLineEdit(entry), "E_Met");
    LimitChars(E_Met, 50);
    BitAdd = Named(new QPushButton(QStringLiteral("Подтвердить"), entry), "BitAdd");
    BitEdit = Named(new QPushButton(QStringLiteral("Изменить"), entry), "BitEdit");
    grid->addWidget(new QLabel(QStringLiteral("Номер ключа"), entry), 0, 0);
    grid->addWidget(E_sn, 0, 1);
    grid->addWidget(BitAdd, 0, 2);
    BitHav = Named(new QPushButton(QStringLiteral("Найти"), entry), "BitHav");
    grid->addWidget(BitHav, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Метка ключа"), entry), 1, 0);
    grid->addWidget(E_Met, 1, 1);
    grid->addWidget(BitEdit, 1, 2);
    AN = Named(new QSpinBox(entry), "AN");
    AN->setRange(0, 20);
    AN->setValue(4);
    BitMetLen = Named(new QPushButton(QStringLiteral("Изменить длину метки до № символов"), entry),
                      "BitMetLen");
    grid->addWidget(new QLabel(QStringLiteral("Цифр в метке"), entry), 2, 0);
    auto* width = new QHBoxLayout;
    width->addWidget(AN);
    width->addWidget(BitMetLen, 1);
    grid->addLayout(width, 2, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    top->addWidget(entry, 2);
}

void TFrKeys::buildPanels(QHBoxLayout* middle) {
    auto* panels = new QVBoxLayout;

    PanelKv = makePanel("PanelKv", this);
    auto* kv = new QVBoxLayout(PanelKv);
    DBGrid1 = Named(new DatasetGrid(PanelKv), "DBGrid1");
    kv->addWidget(DBGrid1);

    PanelOb = makePanel("PanelOb", this);
    auto* ob = new QVBoxLayout(PanelOb);
    DBGrid3 = Named(new DatasetGrid(PanelOb), "DBGrid3");
    ob->addWidget(DBGrid3, 1);
    auto* slotRow = new QHBoxLayout;
    slotRow->addWidget(
        new QLabel(QStringLiteral("Количество слотов общих ключей для секции 7 БВ"), PanelOb));
    KeyObs = Named(new QSpinBox(PanelOb), "KeyObs");
    KeyObs->setRange(0, 5440);
    KeyObs->setSingleStep(10);
    slotRow->addWidget(KeyObs);
    slotRow->addStretch();
    BitDelOb = Named(new QPushButton(kDeleteAll, PanelOb), "BitDelOb");
    slotRow->addWidget(BitDelOb);
    ob->addLayout(slotRow);

    PanelTr = makePanel("PanelTr", this);
    auto* tr = new QGridLayout(PanelTr);
    DBGrid4 = Named(new DatasetGrid(PanelTr), "DBGrid4");
    DBGrid5 = Named(new DatasetGrid(PanelTr), "DBGrid5");
    E_Find = Named(new QLineEdit(PanelTr), "E_Find");
    E_Find->setMaxLength(12);
    BitDel = Named(new QPushButton(kDeleteAll, PanelTr), "BitDel");
    tr->addWidget(DBGrid4, 0, 0, 3, 1);
    tr->addWidget(new QLabel(QStringLiteral("Квартира"), PanelTr), 0, 1);
    tr->addWidget(E_Find, 0, 2);
    tr->addWidget(BitDel, 0, 3);
    tr->addWidget(DBGrid5, 1, 1, 2, 3);
    tr->setColumnStretch(0, 1);
    tr->setColumnStretch(2, 1);

    PanelKl = makePanel("PanelKl", this);
    auto* kl = new QVBoxLayout(PanelKl);
    DBGrid6 = Named(new DatasetGrid(PanelKl), "DBGrid6");
    kl->addWidget(DBGrid6, 1);
    auto* gateRow = new QHBoxLayout;
    gateRow->addStretch();
    BitDelKl = Named(new QPushButton(kDeleteAll, PanelKl), "BitDelKl");
    gateRow->addWidget(BitDelKl);
    kl->addLayout(gateRow);

    for (QFrame* panel : {PanelKv, PanelOb, PanelTr, PanelKl}) panels->addWidget(panel);
    middle->addLayout(panels, 3);
}

void TFrKeys::buildKeyList(QHBoxLayout* middle) {
    auto* column = new QVBoxLayout;
    DBGrid2 = Named(new DatasetGrid(this), "DBGrid2");
    DBGrid2->setSelectionMode(QAbstractItemView::ExtendedSelection);
    DBGrid2->horizontalHeader()->setSectionsClickable(true);
    DBGrid2->setContextMenuPolicy(Qt::CustomContextMenu);
    DBGrid2->setToolTip(kKeySortHint);
    column->addWidget(DBGrid2, 1);
    OtmBlue = Named(new QLabel(this), "OtmBlue");
    OtmBlue->setStyleSheet(QStringLiteral("QLabel#OtmBlue { color: blue; font-weight: bold; }"));
    column->addWidget(OtmBlue);
    middle->addLayout(column, 2);

    PopupMenu = Named(new QMenu(this), "PopupMenu");
    auto action = [this](const char* name, const QString& text, const QKeySequence& key) {
        QAction* a = PopupMenu->addAction(text);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(key);
        return a;
    };
    NXrez = action("NXrez", QStringLiteral("Вырезать"), QKeySequence(Qt::CTRL | Qt::Key_X));
    NCopy = action("NCopy", QStringLiteral("Копировать"), QKeySequence(Qt::CTRL | Qt::Key_C));
    NInsert = action("NInsert", QStringLiteral("Вставить"), QKeySequence(Qt::CTRL | Qt::Key_V));
    PopupMenu->addSeparator();
    NDelete = PopupMenu->addAction(QStringLiteral("Удалить выделенные"));
    NDelete->setObjectName(QStringLiteral("NDelete"));
    NDelete->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    NUnselect = PopupMenu->addAction(QStringLiteral("Снять выделение"));
    NUnselect->setObjectName(QStringLiteral("NUnselect"));
    NSelectAll = PopupMenu->addAction(QStringLiteral("Выделить все"));
    NSelectAll->setObjectName(QStringLiteral("NSelectAll"));
    NSelectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
}

void TFrKeys::buildCounters(QVBoxLayout* content) {
    auto* row = new QHBoxLayout;
    LCtKeyPod = counterLabel("LCtKeyPod", this);
    LCtKeyObj = counterLabel("LCtKeyObj", this);
    LRzKeyPod = counterLabel("LRzKeyPod", this);
    LRzKeyDop = counterLabel("LRzKeyDop", this);
    LRzKeyOb = counterLabel("LRzKeyOb", this);
    const QList<QPair<QString, QLabel*>> counters = {
        {QStringLiteral("Ключей в подъезде:"), LCtKeyPod},
        {QStringLiteral("на объекте:"), LCtKeyObj},
        {QStringLiteral("Норма ключей квартир:"), LRzKeyPod},
        {QStringLiteral("Доп. слотов:"), LRzKeyDop},
        {QStringLiteral("Слотов общих:"), LRzKeyOb},
    };
    for (const auto& [caption, label] : counters) {
        row->addWidget(new QLabel(caption, this));
        row->addWidget(label);
    }
    row->addStretch();
    BitRead = Named(new QPushButton(QStringLiteral("Абоненты"), this), "BitRead");
    row->addWidget(BitRead);
    content->addLayout(row);
}

// ---------------------------------------------------------------- grids

void TFrKeys::buildModels() {
    if (!FDM) return;
    auto flats = [this](Dataset* ds, bool withNames) {
        auto* model = new DatasetModel(ds, this);
        model->AddColumn(QStringLiteral("house"), QStringLiteral("Дом"));
        model->AddColumn(QStringLiteral("n_pod"), QStringLiteral("Подъезд"));
        model->AddColumn(QStringLiteral("n_kvr"), QStringLiteral("Квартира"));
        model->AddColumn(QStringLiteral("x_key"), QStringLiteral("Ключей"));
        model->AddColumn(QStringLiteral("y_key"), QStringLiteral("Введено кл"));
        if (withNames) {
            model->AddColumn(QStringLiteral("l_trub"), QStringLiteral("Трубка"), false, true);
            model->AddColumn(QStringLiteral("Fam"), QStringLiteral("Фамилия"));
            model->AddColumn(QStringLiteral("Nam"), QStringLiteral("Имя"));
            model->AddColumn(QStringLiteral("Och"), QStringLiteral("Отчество"));
        }
        return model;
    };
    DBGrid1->SetModel(flats(FDM->QForKey, true));
    DBGrid5->SetModel(flats(FDM->QForKey, false));

    auto* entrances = new DatasetModel(FDM->QPodKey, this);
    entrances->AddColumn(QStringLiteral("house"), QStringLiteral("Дом"));
    entrances->AddColumn(QStringLiteral("n_pod"), QStringLiteral("Подъезд"));
    entrances->AddColumn(QStringLiteral("o_key"), QStringLiteral("Слотов"));
    entrances->AddColumn(QStringLiteral("o_rky"), QStringLiteral("Введено кл"));
    DBGrid3->SetModel(entrances);

    auto* houses = new DatasetModel(FDM->Q_Dom, this);
    houses->AddColumn(QStringLiteral("house"), QStringLiteral("Дом"));
    DBGrid4->SetModel(houses);

    auto* gates = new DatasetModel(FDM->QKalKey, this);
    gates->AddColumn(QStringLiteral("n_bv"), QStringLiteral("Калитка"));
    gates->AddColumn(QStringLiteral("n_nt0"), QStringLiteral("Сетевой номер"));
    DBGrid6->SetModel(gates);

    Dataset* lists[3] = {FDM->QKeys, FDM->QOKeys, FDM->QKKeys};
    for (int i = 0; i < 3; ++i) {
        keyModels_[i] = new KeyListModel(lists[i], this);
        keyModels_[i]->AddColumn(QStringLiteral("un_key"), QStringLiteral("Уникальный №"));
        keyModels_[i]->AddColumn(QStringLiteral("s_met"), QStringLiteral("Метка ключа"));
        keyModels_[i]->AddColumn(QStringLiteral("status"), QStringLiteral("Статус"));
    }
}

// A click in a grid of apartments, entrances, houses or gates ends an edit;
// moving in it refreshes the counters.
void TFrKeys::wireGrid(DatasetGrid* grid) {
    connect(grid, &QAbstractItemView::clicked, this, [this] {
        endEditAndClear();
        CountKeys();
    });
    connect(grid, &DatasetGrid::RowChosen, this, &TFrKeys::CountKeys);
}

void TFrKeys::wireControls() {
    connect(RB_KvrKey, &QRadioButton::clicked, this, &TFrKeys::RB_KvrKeyClick);
    connect(RB_ObsKey, &QRadioButton::clicked, this, &TFrKeys::RB_ObsKeyClick);
    connect(RBTer, &QRadioButton::clicked, this, &TFrKeys::RBTerClick);
    connect(RB_KalKey, &QRadioButton::clicked, this, &TFrKeys::RB_KalKeyClick);
    connect(CB_Auto, &QCheckBox::toggled, this, [this](bool on) { CB_Lim->setEnabled(!on); });
    connect(BitAdd, &QPushButton::clicked, this, &TFrKeys::BitAddClick);
    connect(BitEdit, &QPushButton::clicked, this, &TFrKeys::BitEditClick);
    connect(BitRead, &QPushButton::clicked, this, &TFrKeys::DBGrid1DblClick);
    connect(BitDel, &QPushButton::clicked, this, &TFrKeys::BitDelClick);
    connect(BitDelOb, &QPushButton::clicked, this, &TFrKeys::BitDelObClick);
    connect(BitDelKl, &QPushButton::clicked, this, &TFrKeys::BitDelKlClick);
    connect(BitMetLen, &QPushButton::clicked, this, &TFrKeys::BitMetLenClick);
    connect(KeyObs, &QSpinBox::editingFinished, this, &TFrKeys::KeyObsExit);
    connect(E_sn, &QLineEdit::textEdited, this, &TFrKeys::E_snTextEdited);
    connect(NDelete, &QAction::triggered, this, &TFrKeys::NDeleteClick);
    connect(NXrez, &QAction::triggered, this, &TFrKeys::NXrezClick);
    connect(NCopy, &QAction::triggered, this, &TFrKeys::NCopyClick);
    connect(NInsert, &QAction::triggered, this, &TFrKeys::NInsertClick);
    connect(BitHav, &QPushButton::clicked, this, &TFrKeys::BitHavClick);
    connect(Btn1WireOn, &QPushButton::clicked, this, &TFrKeys::Btn1WireOnClick);
    connect(Btn1WireOff, &QPushButton::clicked, this, &TFrKeys::Btn1WireOffClick);
    connect(Timer1, &QTimer::timeout, this, &TFrKeys::Timer1Timer);
    connect(NUnselect, &QAction::triggered, this, &TFrKeys::NUnselectClick);
    connect(NSelectAll, &QAction::triggered, this, &TFrKeys::NSelectAllClick);
    connect(DBGrid2->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TFrKeys::DBGrid2TitleClick);
    GridKeys::TitleClickBy(DBGrid2, {kSortKey});
    connect(DBGrid2, &QWidget::customContextMenuRequested, this, &TFrKeys::popupMenuShow);
    connect(DBGrid2, &QAbstractItemView::clicked, this, [this] {
        endEditAndClear();
        showListCount();
    });
    // A double click on the apartments opens the residents through the
    // button the main window routes to that screen.
    connect(DBGrid1, &QAbstractItemView::doubleClicked, BitRead, &QPushButton::click);
    connect(DBGrid5, &QAbstractItemView::doubleClicked, this, &TFrKeys::DBGrid1DblClick);
    connect(DBGrid3, &QAbstractItemView::doubleClicked, this, [] {
        if (FskEdit) FskEdit->show();
    });
    for (DatasetGrid* grid : {DBGrid1, DBGrid3, DBGrid5})
        GridKeys::DoubleClickBy(grid, GridKeys::kEnter);
    for (DatasetGrid* grid : {DBGrid1, DBGrid3, DBGrid4, DBGrid5, DBGrid6}) wireGrid(grid);
    for (DatasetGrid* owners : {DBGrid1, DBGrid3, DBGrid5, DBGrid6})
        owners->installEventFilter(this);
    for (QObject* watched :
         {static_cast<QObject*>(E_sn), static_cast<QObject*>(E_Met), static_cast<QObject*>(DBGrid2),
          static_cast<QObject*>(PanelOb), static_cast<QObject*>(E_Find)})
        watched->installEventFilter(this);
    // Whatever the data module says moved under the lists (another object,
    // the file read anew or compacted, rows removed) ends a key's change and
    // drops a number typed: both were meant for rows the lists stood on.
    if (FDM) connect(&FDM->Ground(), &DataGround::Moved, this, &TFrKeys::endEditAndClear);
}

// ---------------------------------------------------------------- service

KeyScreenSettings TFrKeys::Settings() const {
    KeyScreenSettings s;
    s.an = AN->value();
    s.rb = int(selectedMode());
    s.am = CB_ANom->isChecked();
    s.al = CB_Lim->isChecked();
    s.au = CB_Auto->isChecked();
    s.bp = Beep->isChecked();
    s.ai = AIn->isChecked();
    return s;
}

void TFrKeys::ApplySettings(const KeyScreenSettings& s, bool objectHasGates) {
    AN->setValue(s.an);
    CB_ANom->setChecked(s.am);
    CB_Lim->setChecked(s.al);
    CB_Auto->setChecked(s.au);
    Beep->setChecked(s.bp);
    AIn->setChecked(s.ai);
    RB_KalKey->setEnabled(objectHasGates);
    selectMode(KeyGroupFromSaved(s.rb, objectHasGates));
}

void TFrKeys::FrameExit() {
    if (!ready()) return;
    QString why;
    if (!keys_->ChangeFlags().Apply(*FDM, Globals().SepDevice, &why))
        Dialogs::Message(
            QStringLiteral("Ошибка"),
            QStringLiteral("Блоки вызова не отмечены для новых файлов конфигурации.\n") + why,
            DlgButtons::Ok, DlgIcon::Error);
}

// The main window hides the frame when another screen is chosen: that is
// leaving the keys screen.
bool TFrKeys::event(QEvent* event) {
    if (event->type() == QEvent::HideToParent) FrameExit();
    return TScreenFrame::event(event);
}

// ---------------------------------------------------------------- showing and modes

bool TFrKeys::ready() const {
    return keys_ && FDM && FDM->Connected();
}

void TFrKeys::PrepareScreen(const QString& dbFolder) {
    TScreenFrame::PrepareScreen(dbFolder);
    ShowFrKeys();
}

void TFrKeys::ShowFrKeys() {
    if (!ready()) return;
    // A change of a key left unconfirmed when the screen was left ends with
    // the number it loaded: confirmed after the return, that number would
    // become another key of whatever row the lists then stand on.
    if (keys_->EditMode() == 1) endEditAndClear();
    keys_->ChangeFlags().Clear();
    keys_->ForgetCounts();
    // The lists read afresh; a closed one is read as it is shown.
    for (Dataset* ds : {FDM->QForKey, FDM->QPodKey})
        if (ds->IsOpen()) ds->Reopen();
    const bool gates = KeyData::HasRow(FDM->Q_Net) &&
                       FDM->Q_Net->FieldByName(QStringLiteral("v_kal")).AsInt() != 0;
    RB_KalKey->setEnabled(gates);
    KeyGroup mode = selectedMode();
    if (mode == KeyGroup::Gate && !gates) mode = KeyGroup::Apartment;
    selectMode(mode);
    OtmBlue->clear();
}

KeyGroup TFrKeys::selectedMode() const {
    if (RB_KvrKey->isChecked()) return KeyGroup::Apartment;
    if (RB_ObsKey->isChecked()) return KeyGroup::Entrance;
    if (RBTer->isChecked()) return KeyGroup::Ter;
    if (RB_KalKey->isChecked()) return KeyGroup::Gate;
    return KeyGroup::None;
}

// Choosing a mode from code runs its handler, as a click does.
void TFrKeys::selectMode(KeyGroup mode) {
    switch (mode) {
        case KeyGroup::Entrance:
            RB_ObsKey->setChecked(true);
            return RB_ObsKeyClick();
        case KeyGroup::Ter:
            RBTer->setChecked(true);
            return RBTerClick();
        case KeyGroup::Gate:
            RB_KalKey->setChecked(true);
            return RB_KalKeyClick();
        default:
            RB_KvrKey->setChecked(true);
            return RB_KvrKeyClick();
    }
}

void TFrKeys::showMode(KeyGroup mode) {
    const QList<QPair<KeyGroup, QFrame*>> panels = {{KeyGroup::Apartment, PanelKv},
                                                    {KeyGroup::Entrance, PanelOb},
                                                    {KeyGroup::Ter, PanelTr},
                                                    {KeyGroup::Gate, PanelKl}};
    for (const auto& [group, panel] : panels) panel->setVisible(group == mode);
    const int list = mode == KeyGroup::Entrance ? 1 : mode == KeyGroup::Gate ? 2 : 0;
    DBGrid2->SetModel(keyModels_[list]);
    const bool autoMove = mode == KeyGroup::Apartment || mode == KeyGroup::Entrance;
    CB_Auto->setEnabled(autoMove);
    CB_Auto->setText(mode == KeyGroup::Entrance
                         ? QStringLiteral("Автоматический переход на следующий подъезд")
                         : QStringLiteral("Автоматический переход на следующую квартиру"));
    if (keys_) keys_->SetMode(mode);
    CountKeys();
    ClearKeySelection();
}

void TFrKeys::RB_KvrKeyClick() {
    showMode(KeyGroup::Apartment);
}

void TFrKeys::RB_ObsKeyClick() {
    showMode(KeyGroup::Entrance);
}

void TFrKeys::RBTerClick() {
    showMode(KeyGroup::Ter);
}

void TFrKeys::RB_KalKeyClick() {
    showMode(KeyGroup::Gate);
}

// ---------------------------------------------------------------- entry

void TFrKeys::syncOptions() {
    KeyOptions options;
    options.autoMove = CB_Auto->isChecked();
    options.noLimitQuestion = CB_Lim->isChecked();
    options.autoLabel = CB_ANom->isChecked();
    options.beep = Beep->isChecked();
    options.labelDigits = AN->value();
    keys_->SetOptions(options);
}

void TFrKeys::BitAddClick() {
    if (!ready()) return;
    syncOptions();
    const ConfirmResult result = keys_->Confirm(E_sn->text(), E_Met->text());
    if (!result.finished) return;
    E_sn->setText(result.number);
    E_Met->setText(result.label);
    CountKeys();
    E_sn->setFocus();
}

void TFrKeys::BitEditClick() {
    if (!ready()) return;
    QString number = E_sn->text();
    QString label = E_Met->text();
    const bool editing = keys_->BeginEdit(&number, &label);
    E_sn->setText(number);
    E_Met->setText(label);
    if (editing) E_sn->setFocus();
}

void TFrKeys::endEditAndClear() {
    if (keys_) keys_->EndEdit();
    E_sn->clear();
    E_Met->clear();
}

// Typed and pasted text alike keep only what a key number may hold.
void TFrKeys::E_snTextEdited(const QString& text) {
    const QString digits = KeyNumber::FilterDigits(text);
    if (digits == text) return;
    const int cursor = int(KeyNumber::FilterDigits(text.left(E_sn->cursorPosition())).size());
    E_sn->setText(digits);
    E_sn->setCursorPosition(cursor);
}

bool TFrKeys::filterNumberKeys(QEvent* event) {
    if (isKeyPress(event, Qt::Key_Escape)) {
        E_sn->clear();
        if (keys_) keys_->EndEdit();
        return true;
    }
    if (isEnterPress(event)) {
        E_Met->setFocus();
        return true;
    }
    if (isKeyPress(event, Qt::Key_Space)) {
        if (E_sn->text().isEmpty()) BitEditClick();
        return true;
    }
    return false;
}

bool TFrKeys::filterLabelKeys(QEvent* event) {
    if (isEnterPress(event)) {
        BitAddClick();
        return true;
    }
    if (isKeyPress(event, Qt::Key_Escape)) {
        E_Met->clear();
        return true;
    }
    if (event->type() == QEvent::FocusIn && ready() && keys_->EditMode() == 0 &&
        CB_ANom->isChecked()) {
        syncOptions();
        E_Met->setText(keys_->AutoLabel());
    }
    return false;
}

// ---------------------------------------------------------------- key list

bool TFrKeys::filterKeyListKeys(QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        // The sort key leaves the sort state it set, as a title click does.
        if (static_cast<QKeyEvent*>(event)->key() != kSortKey) showListCount();
        return false;
    }
    if (event->type() == QEvent::FocusIn) chooseRowOnTab(static_cast<QFocusEvent*>(event));
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        DBGrid2->clearSelection();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::SelectAll)) {
        NSelectAllClick();
        return true;
    }
    if (key->key() == Qt::Key_Delete) {
        if (key->modifiers() & Qt::ControlModifier)
            NDeleteClick();
        else
            DeleteOneKey();
        return true;  // the grid never deletes on its own
    }
    if (key->key() == Qt::Key_Space) {
        BitEditClick();
        return true;
    }
    return filterClipboardKeys(key);
}

// The clipboard commands' keys work in the list, as the menu shows them.
bool TFrKeys::filterClipboardKeys(const QKeyEvent* key) {
    if (key->matches(QKeySequence::Cut)) {
        NXrezClick();
    } else if (key->matches(QKeySequence::Copy)) {
        NCopyClick();
    } else if (key->matches(QKeySequence::Paste)) {
        NInsertClick();
    } else {
        return false;
    }
    return true;
}

void TFrKeys::showListCount() {
    listValue_ = DBGrid2->SelectedCount();
    if (listValue_ > 0) OtmBlue->setText(QStringLiteral("Отм %1").arg(listValue_));
}

void TFrKeys::ClearKeySelection() {
    Dataset* list = DBGrid2->GetDataset();
    const int recNo = list ? list->RecNo() : 0;
    DBGrid2->clearSelection();
    if (list && recNo > 0) list->SetRecNo(recNo);
    OtmBlue->clear();
}

void TFrKeys::NSelectAllClick() {
    Dataset* list = DBGrid2->GetDataset();
    const int recNo = list ? list->RecNo() : 0;
    DBGrid2->selectAll();
    if (list && recNo > 0) list->SetRecNo(recNo);
    listValue_ = DBGrid2->SelectedCount();
    OtmBlue->setText(QStringLiteral("Выделено %1").arg(listValue_));
}

void TFrKeys::NUnselectClick() {
    OtmBlue->clear();
    if (clipboard_) clipboard_->ClearCopyBuffer();
    DBGrid2->clearSelection();
    if (editor_) editor_->ClearDeleteMarks();
    listValue_ = 0;
}

void TFrKeys::popupMenuShow(const QPoint& at) {
    const bool some = listValue_ >= 1;
    NDelete->setEnabled(some);
    NUnselect->setEnabled(some);
    NSelectAll->setEnabled(true);
    NXrez->setEnabled(some);
    NCopy->setEnabled(some);
    NInsert->setEnabled(clipboard_ && clipboard_->CanPaste());
    PopupMenu->popup(DBGrid2->viewport()->mapToGlobal(at));
}

void TFrKeys::DBGrid2TitleClick(int column) {
    if (!ready()) return;
    listValue_ = editor_->SortByColumn(listValue_, column);
}

// ---------------------------------------------------------------- deleting

void TFrKeys::afterDeletion(const QString& report) {
    OtmBlue->setText(report);
    DBGrid2->clearSelection();
    CountKeys();
}

void TFrKeys::DeleteOneKey() {
    if (!ready() || DBGrid2->SelectedCount() >= 2 || !KeyData::HasRow(keys_->KeyList())) return;
    if (!Dialogs::AskYesNo(QStringLiteral("Удаление"), QStringLiteral("Удалить ключ?"))) return;
    OtmBlue->clear();
    if (editor_->DeleteCurrentKey()) afterDeletion(QStringLiteral("Удал 1"));
}

void TFrKeys::BitDelClick() {
    if (!ready() || !Dialogs::AskYesNo(kConfirm, QStringLiteral("Удалить все ключи квартиры?")))
        return;
    if (editor_->DeleteApartmentKeys()) CountKeys();
}

void TFrKeys::BitDelObClick() {
    if (!ready() ||
        !Dialogs::AskYesNo(kConfirm, QStringLiteral("Удалить все общие ключи подъезда?")))
        return;
    if (editor_->DeleteEntranceKeys(ProgressGauge())) CountKeys();
}

void TFrKeys::BitDelKlClick() {
    if (!ready() ||
        !Dialogs::AskYesNo(kConfirm, QStringLiteral("Удалить все общие ключи калитки?")))
        return;
    editor_->DeleteGateKeys(ProgressGauge());
}

void TFrKeys::NDeleteClick() {
    if (!ready() || !Dialogs::AskYesNo(QStringLiteral("Удаление записей"),
                                       QStringLiteral("Удалить выделенные строки?")))
        return;
    WaitCursor wait;
    OtmBlue->clear();
    clipboard_->ClearCopyBuffer();
    const QList<int> selected = DBGrid2->SelectedRecNos();
    DBGrid2->clearSelection();
    const int count = editor_->DeleteSelectedKeys(selected, ProgressGauge());
    listValue_ = 0;
    if (count > 0) OtmBlue->setText(QStringLiteral("Удал %1").arg(count));
    CountKeys();
}

// ---------------------------------------------------------------- labels, slots, counters

void TFrKeys::BitMetLenClick() {
    if (!ready()) return;
    const int digits = AN->value();
    if (Dialogs::AskYesNo(QStringLiteral("Подтверждение изменения"),
                          QStringLiteral("Изменить длину метки до %1 символов?").arg(digits)))
        editor_->WidenLabels(digits);
}

void TFrKeys::KeyObsExit() {
    if (!ready() || keys_->Mode() != KeyGroup::Entrance) return;
    KeyObs->setValue(editor_->SetCommonSlots(KeyObs->value()));
    CountKeys();
}

void TFrKeys::CountKeys() {
    if (!ready()) return;
    const std::optional<KeyCounts> counts = keys_->CountKeys();
    if (!counts) return;
    LCtKeyPod->setNum(counts->entranceKeys);
    LCtKeyObj->setNum(counts->objectKeys);
    LRzKeyPod->setNum(counts->entrancePlanned);
    LRzKeyDop->setNum(counts->extraSlots);
    LRzKeyOb->setNum(counts->commonSlots);
    if (keys_->Mode() == KeyGroup::Entrance) KeyObs->setValue(counts->commonSlots);
}

void TFrKeys::E_FindKeyUp() {
    if (!ready() || !KeyData::HasRow(FDM->Q_Dom)) return;
    editor_->FindApartment(FDM->Q_Dom->FieldByName(QStringLiteral("id_dom")).Value(),
                           E_Find->text());
}

void TFrKeys::DBGrid1DblClick() {
    if (ready()) editor_->PositionResidents();
}

// A key number is typed first.
QWidget* TFrKeys::FirstControl() {
    return E_sn;
}

bool TFrKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched == E_sn) return filterNumberKeys(event);
    if (watched == E_Met) return filterLabelKeys(event);
    if (watched == DBGrid2) return filterKeyListKeys(event);
    const bool ownerList =
        watched == DBGrid1 || watched == DBGrid3 || watched == DBGrid5 || watched == DBGrid6;
    if (ownerList && filterOwnerListKeys(event)) return true;
    if (watched == E_Find && event->type() == QEvent::KeyRelease) E_FindKeyUp();
    if (watched == PanelOb && event->type() == QEvent::MouseButtonDblClick && FskEdit)
        FskEdit->show();
    return TScreenFrame::eventFilter(watched, event);
}

// ---------------------------------------------------------------- key readers

bool TFrKeys::OneWireOn() const {
    return oneWire_->IsOn();
}

void TFrKeys::readersLog(const QString& line) {
    if (FMifare) FMifare->Log(line);
}

// A number from a reader goes into the number field; with "Авто ввод" it is
// confirmed at once, else the label is next.
void TFrKeys::takeReaderNumber(const QString& number, bool confirm) {
    E_sn->setText(number);
    E_Met->setFocus();
    if (confirm) BitAddClick();
}

// Switches on whichever reader is off: the card reader first, then the 1-Wire
// adapter. A card reader whose port does not open ends the switching on.
void TFrKeys::Btn1WireOnClick() {
    if (!switchOnCardReader()) return;
    switchOnOneWire();
    showReadersState();
}

bool TFrKeys::switchOnCardReader() {
    if (readerPortOpen_ || !FMifare) return true;
    try {
        const ReaderPort port = FMifare->OpenReaderPort(ReaderPorts::kRfidDescription);
        if (port.port.isEmpty()) return true;
        readerPort_ = port;
        readerPortOpen_ = true;
        console_ = FMifare;
        console_->OnKeyNumber = [this](const QString& number) {
            takeReaderNumber(number, AIn->isChecked());
        };
        readersLog(QStringLiteral("Порт:=%1 открыт").arg(port.port));
    } catch (const EComPort& e) {
        Dialogs::ShowMessage(e.Message());
        return false;
    }
    return true;
}

// Without the adapter the operator is told only when the card reader did not
// open either; the log asks for the USB plug in any case.
void TFrKeys::switchOnOneWire() {
    if (oneWire_->IsOn()) return;
    try {
        oneWire_->SwitchOn();
        readersLog(QStringLiteral("Порт USB для 1-Wire открыт"));
        Timer1->start();
    } catch (const OneWireError& e) {
        if (!readerPortOpen_) Dialogs::ShowMessage(e.Message());
        readersLog(QStringLiteral("Порт USB нужно передернуть."));
        if (FMifare) FMifare->show();
    }
}

void TFrKeys::showReadersState() {
    const bool any = oneWire_->IsOn() || readerPortOpen_;
    if (any) {
        Btn1WireOff->setEnabled(true);
        if (FMifare) FMifare->show();
        Btn1WireOn->setFocus();
        AIn->setEnabled(true);
    }
    if (oneWire_->IsOn() && readerPortOpen_) Btn1WireOn->setEnabled(false);
}

// One poll of the 1-Wire line. The timer runs on only while the reader is on:
// a poll whose error the operator cancelled has switched it off.
void TFrKeys::Timer1Timer() {
    Timer1->stop();
    const OneWirePoll poll = oneWire_->Poll(E_sn->text());
    if (!poll.note.isEmpty()) readersLog(poll.note);
    if (!poll.number.isEmpty()) takeReaderNumber(poll.number, AIn->isEnabled() && AIn->isChecked());
    if (!poll.error.isEmpty() && !Dialogs::AskRetryCancel(QString(), poll.error))
        Btn1WireOffClick();
    if (oneWire_->IsOn()) Timer1->start();
}

void TFrKeys::Btn1WireOffClick() {
    if (oneWire_->IsOn()) {
        oneWire_->SwitchOff();
        Timer1->stop();
        readersLog(QStringLiteral("Порт USB для 1-Wire закрыт"));
    }
    if (readerPortOpen_) {
        readersLog(QStringLiteral("Порт:=%1 закрыт").arg(readerPort_.port));
        if (console_) {
            console_->CloseReaderPort();
            console_->OnKeyNumber = nullptr;
        }
        readerPortOpen_ = false;
    }
    if (oneWire_->IsOn() || readerPortOpen_) return;
    AIn->setEnabled(false);
    Btn1WireOn->setEnabled(true);
    Btn1WireOff->setEnabled(false);
    if (FMifare && FMifare->isVisible()) FMifare->close();
}

// ---------------------------------------------------------------- owner search

void TFrKeys::BitHavClick() {
    if (!ready() || KeyOwnerSearch::SearchCode(E_sn->text()).isEmpty()) return;
    const QString caption = QStringLiteral("Результат поиска");
    KeyOwnerSearch search(*FDM);
    int found = 0;
    {
        WaitCursor wait;
        found = search.Run(E_sn->text());
    }
    if (found < 0) {
        Dialogs::Error(QStringLiteral("Ошибка"),
                       QStringLiteral("Поиск не выполнен.\n") + FDM->HavKeys->LastError());
        return;
    }
    if (found == 0) {
        Dialogs::Message(caption, QStringLiteral("Ключ не найден!"), DlgButtons::Ok,
                         DlgIcon::Information);
        return;
    }
    if (FHavKey) FHavKey->exec();
    goToFoundKey(search);
}

// However the list was closed, the screen goes to the key it stands on.
void TFrKeys::goToFoundKey(KeyOwnerSearch& search) {
    const std::optional<FoundKey> key = search.Current();
    if (!key || (key->mode == KeyGroup::Gate && !RB_KalKey->isEnabled())) return;
    selectMode(key->mode);
    search.GoTo(*key);
    CountKeys();
}
