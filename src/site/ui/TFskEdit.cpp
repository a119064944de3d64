#include "site/ui/TFskEdit.h"

#include "foundation/BitAndStr.h"
#include "foundation/HelpLauncher.h"
#include "foundation/TFDM.h"
#include "foundation/TerminalDistribution.h"
#include "foundation/ui/GroundedWindow.h"
#include "foundation/ui/WaitCursor.h"
#include "platform/DatasetModel.h"
#include "platform/Dialogs.h"
#include "platform/ui/DatasetGrid.h"
#include "platform/ui/ElidedLabel.h"
#include "platform/ui/EnterMovesFocus.h"
#include "site/SiteData.h"
#include "site/ui/SiteControls.h"
#include "site/ui/SiteWindows.h"
#include "site/ui/TFdpkPort.h"
#include "site/ui/TFkvEdit.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>

TFskEdit* FskEdit = nullptr;

using SiteControls::Arrow;
using SiteControls::Button;

namespace {

QSpinBox* namedSpin(QWidget* parent, const char* name, int max) {
    auto* s = Named(new QSpinBox(parent), name);
    s->setRange(0, max);
    return s;
}

QLineEdit* readOnly(QWidget* parent, const char* name) {
    auto* e = Named(new QLineEdit(parent), name);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setMaximumWidth(70);
    return e;
}

ElidedLabel* value(QWidget* parent, const char* name) {
    auto* l = Named(new ElidedLabel(parent), name);
    QFont bold = l->font();
    bold.setBold(true);
    l->setFont(bold);
    return l;
}

QString field(Dataset* ds, const char* name) {
    return SiteData::HasCurrentRow(ds) ? ds->FieldByName(QString::fromLatin1(name)).AsString()
                                       : QString();
}

// A terminal is typed as a number 0..1000.
class TerminalDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* editor = new QSpinBox(parent);
        editor->setRange(0, EntranceSwitchLimits::kMaxTerminal);
        editor->setFrame(false);
        return editor;
    }
};

}  // namespace

// The apartments of the entrance: the terminal as two digits, centred; rows
// without a terminal in blue; a typed terminal goes through the editor.
class TerminalGridModel : public DatasetModel {
  public:
    TerminalGridModel(Dataset* ds, TFskEdit* form) : DatasetModel(ds, form), form_(form) {}

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || !GetDataset()) return {};
        const int terminalColumn = ColumnOf(QStringLiteral("p_pk"));
        const QVariant terminal =
            GetDataset()->Value(index.row(), GetDataset()->FieldIndex(QStringLiteral("p_pk")));
        if (role == Qt::ForegroundRole && !terminal.isNull() && terminal.toInt() == 0)
            return QColor(Qt::blue);
        if (index.column() == terminalColumn) {
            if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
            if (role == Qt::DisplayRole)
                return terminal.isNull() ? QVariant() : QVariant(IntToStrZ(terminal.toInt(), 2));
        }
        return DatasetModel::data(index, role);
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role != Qt::EditRole || index.column() != ColumnOf(QStringLiteral("p_pk")))
            return false;
        const QVariant id =
            GetDataset()->Value(index.row(), GetDataset()->FieldIndex(QStringLiteral("id_kvr")));
        form_->typeTerminal(id.toLongLong(), value.toInt());
        return true;
    }

  private:
    TFskEdit* form_;
};

TFskEdit::TFskEdit(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FskEdit"));
    setWindowTitle(EntranceSwitchTexts::kCaption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    enter_ = new EnterMovesFocus(this);

    auto* right = new QVBoxLayout;
    right->addWidget(buildSwitchType());
    right->addWidget(buildKeySlots());
    right->addStretch();
    auto* middle = new QHBoxLayout;
    middle->addWidget(buildGrid(), 1);
    middle->addLayout(right);

    LAttan = Named(new QLabel(this), "LAttan");
    LAttan->setStyleSheet(QStringLiteral("color: red; font-weight: bold"));
    LAttan->setWordWrap(true);
    LabWait = Named(new QLabel(QStringLiteral("Ждите..."), this), "LabWait");
    LabWait->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildHeader());
    layout->addLayout(middle, 1);
    layout->addWidget(LAttan);
    layout->addWidget(LabWait);
    layout->addWidget(buildButtons());
    wireControls();
    resize(940, 640);
    CloseWhenGroundMoves(this, &held_);
}

// ---------------------------------------------------------------- building

QWidget* TFskEdit::buildHeader() {
    auto* box = Named(new QFrame(this), "PanelHead");
    box->setFrameShape(QFrame::StyledPanel);
    DBTextNet = value(box, "DBTextNet");
    DBTextHouse = value(box, "DBTextHouse");
    DBTextKodD = value(box, "DBTextKodD");
    DBTextNPod = value(box, "DBTextNPod");
    DBTextNmPod = value(box, "DBTextNmPod");
    DBTextVKvr = value(box, "DBTextVKvr");
    DBTextN1kvr = value(box, "DBTextN1kvr");
    DBTextNpkvr = value(box, "DBTextNpkvr");
    DBTextVDvr = value(box, "DBTextVDvr");
    LGates = value(box, "LGates");
    BtnUp = Arrow(box, "BtnUp", Qt::UpArrow, QStringLiteral("Предыдущий подъезд"));
    BtnDown = Arrow(box, "BtnDown", Qt::DownArrow, QStringLiteral("Следующий подъезд"));
    auto* grid = new QGridLayout(box);
    auto pair = [box, grid](int row, int column, const QString& label, QWidget* shown) {
        grid->addWidget(new QLabel(label, box), row, column);
        grid->addWidget(shown, row, column + 1);
    };
    pair(0, 0, QStringLiteral("КМ сетевой номер "), DBTextNet);
    grid->addWidget(new QLabel(QStringLiteral("Дом"), box), 1, 0);
    auto* house = new QHBoxLayout;
    ElidedLabel::AddToRow(house, DBTextHouse);
    ElidedLabel::AddToRow(house, DBTextKodD);
    house->addStretch();
    grid->addLayout(house, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Подъезд"), box), 2, 0);
    auto* entrance = new QHBoxLayout;
    ElidedLabel::AddToRow(entrance, DBTextNPod);
    ElidedLabel::AddToRow(entrance, DBTextNmPod);
    entrance->addStretch();
    grid->addLayout(entrance, 2, 1);
    pair(0, 2, QStringLiteral("Количество квартир"), DBTextVKvr);
    pair(1, 2, QStringLiteral("№ первой квартиры"), DBTextN1kvr);
    pair(2, 2, QStringLiteral("№ последней квартиры"), DBTextNpkvr);
    pair(0, 4, QStringLiteral("Количество дверей с БВ"), DBTextVDvr);
    pair(1, 4, QStringLiteral("Количество калиток"), LGates);
    auto* arrows = new QVBoxLayout;
    arrows->addWidget(BtnUp);
    arrows->addWidget(BtnDown);
    grid->addLayout(arrows, 0, 6, 3, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(5, 1);
    return box;
}

QWidget* TFskEdit::buildGrid() {
    auto* box = new QWidget(this);
    DBGrid1 = Named(new DatasetGrid(box), "DBGrid1");
    DBGrid1->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->verticalHeader()->hide();
    BitFirst = Arrow(box, "BitFirst", Qt::UpArrow, QStringLiteral("Первая квартира"));
    BitLast = Arrow(box, "BitLast", Qt::DownArrow, QStringLiteral("Последняя квартира"));
    auto* arrows = new QHBoxLayout;
    arrows->addWidget(BitFirst);
    arrows->addWidget(BitLast);
    arrows->addStretch();
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(arrows);
    return box;
}

QWidget* TFskEdit::buildSwitchType() {
    auto* box = Named(new QFrame(this), "PanelType");
    box->setFrameShape(QFrame::StyledPanel);
    RBType0 = Named(new QRadioButton(QStringLiteral("Тип коммутатора: Торвин"), box), "RBType0");
    RBType1 = Named(new QRadioButton(QStringLiteral("Тип коммутатора: Lusk"), box), "RBType1");
    RGkm = Named(new QGroupBox(QStringLiteral("Способ заполнения коммутатора"), box), "RGkm");
    RGkm0 =
        Named(new QRadioButton(QStringLiteral("Выбрать номер начальной трубки, циклический"), RGkm),
              "RGkm0");
    RGkm1 =
        Named(new QRadioButton(QStringLiteral("С приращением по модулю 100, циклический"), RGkm),
              "RGkm1");
    methods_ = new QButtonGroup(this);
    methods_->addButton(RGkm0, FillMethod::kFirstHandset);
    methods_->addButton(RGkm1, FillMethod::kModulo100);
    auto* methods = new QVBoxLayout(RGkm);
    methods->addWidget(RGkm0);
    methods->addWidget(RGkm1);

    LPr1kv = Named(new QLabel(QStringLiteral("Начальный № трубки"), box), "LPr1kv");
    Pr1kv = namedSpin(box, "Pr1kv", EntranceSwitchLimits::kMaxFirstHandset);
    AI = readOnly(box, "AI");
    AH = namedSpin(box, "AH", EntranceSwitchLimits::kMaxHundreds);
    E_mxl = readOnly(box, "E_mxl");
    BitPorts = Button(box, "BitPorts", EntranceSwitchTexts::kRecount);
    BitPorts->setContextMenuPolicy(Qt::ActionsContextMenu);
    PMDiap =
        Named(new QAction(QStringLiteral("Распределить квартиры по заданному диапазону"), BitPorts),
              "PMDiap");
    BitPorts->addAction(PMDiap);

    auto* numbers = new QGridLayout;
    numbers->addWidget(LPr1kv, 0, 0);
    numbers->addWidget(Pr1kv, 0, 1);
    numbers->addWidget(new QLabel(QStringLiteral("Приращение по модулю 100"), box), 1, 0);
    numbers->addWidget(AI, 1, 1);
    numbers->addWidget(new QLabel(QStringLiteral("Приращение в сотнях"), box), 2, 0);
    numbers->addWidget(AH, 2, 1);
    numbers->addWidget(new QLabel(QStringLiteral("Максимальный № трубки КМ"), box), 3, 0);
    numbers->addWidget(E_mxl, 3, 1);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(RBType0);
    layout->addWidget(RBType1);
    layout->addWidget(RGkm);
    layout->addLayout(numbers);
    layout->addWidget(BitPorts);
    return box;
}

QWidget* TFskEdit::buildKeySlots() {
    auto* box = Named(new QFrame(this), "PanelKeys");
    box->setFrameShape(QFrame::StyledPanel);
    KeyDop = namedSpin(box, "KeyDop", EntranceSwitchLimits::kMaxKeysPerApartment);
    Ch_dm = Named(new QCheckBox(QStringLiteral("всем домам"), box), "Ch_dm");
    Ch_pd = Named(new QCheckBox(QStringLiteral("всем под.в доме"), box), "Ch_pd");
    BtnSaveD = Button(box, "BtnSaveD", QStringLiteral("Сохранить"));
    KeyObs = namedSpin(box, "KeyObs", EntranceSwitchLimits::kMaxCommonKeys);
    Ch_ob = Named(new QCheckBox(QStringLiteral("всем домам"), box), "Ch_ob");
    BtnSaveO = Button(box, "BtnSaveO", QStringLiteral("Сохранить"));
    auto* perApartment =
        new QLabel(QStringLiteral("Место для записи ключей для конкретных квартир с БВ"), box);
    auto* common = new QLabel(QStringLiteral("Место для записи ключей на подъезд с БВ"), box);
    for (QLabel* l : {perApartment, common}) l->setWordWrap(true);
    auto* layout = new QGridLayout(box);
    layout->addWidget(perApartment, 0, 0, 1, 3);
    layout->addWidget(KeyDop, 1, 0);
    layout->addWidget(Ch_dm, 1, 1);
    layout->addWidget(Ch_pd, 2, 1);
    layout->addWidget(BtnSaveD, 1, 2);
    layout->addWidget(common, 3, 0, 1, 3);
    layout->addWidget(KeyObs, 4, 0);
    layout->addWidget(Ch_ob, 4, 1);
    layout->addWidget(BtnSaveO, 4, 2);
    return box;
}

QWidget* TFskEdit::buildButtons() {
    auto* box = new QWidget(this);
    Bitpk = Button(box, "Bitpk", QStringLiteral("Параметры КМ"));
    Bitkv = Button(box, "Bitkv", QStringLiteral("Квартиры и трубки"));
    BitDeEdit = Button(box, "BitDeEdit", QStringLiteral("Распределение"));
    ButHelp = Button(box, "ButHelp", QStringLiteral("Справка"));
    ButExit = Button(box, "ButExit", QStringLiteral("Закрыть"));
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QPushButton* b : {Bitpk, Bitkv, BitDeEdit}) layout->addWidget(b);
    layout->addStretch();
    layout->addWidget(ButHelp);
    layout->addWidget(ButExit);
    return box;
}

void TFskEdit::wireControls() {
    connect(RBType0, &QRadioButton::clicked, this, &TFskEdit::RBType0Click);
    connect(RBType1, &QRadioButton::clicked, this, &TFskEdit::RBType1Click);
    connect(methods_, &QButtonGroup::idClicked, this, &TFskEdit::RGkmClick);
    connect(Pr1kv, &QSpinBox::valueChanged, this, [this](int v) {
        if (!loading_) editor_.SetFirstHandset(v);
    });
    connect(Pr1kv, &QSpinBox::editingFinished, this, &TFskEdit::Pr1kvExit);
    connect(AH, &QSpinBox::editingFinished, this, &TFskEdit::AHExit);
    connect(BitPorts, &QPushButton::clicked, this, &TFskEdit::BitPortsClick);
    connect(PMDiap, &QAction::triggered, this, &TFskEdit::BitPortsClick);
    connect(BtnSaveD, &QPushButton::clicked, this, &TFskEdit::BtnSaveDClick);
    connect(BtnSaveO, &QPushButton::clicked, this, &TFskEdit::BtnSaveOClick);
    connect(BtnUp, &QToolButton::clicked, this, &TFskEdit::BtnUpClick);
    connect(BtnDown, &QToolButton::clicked, this, &TFskEdit::BtnDownClick);
    connect(BitFirst, &QToolButton::clicked, this, &TFskEdit::BitFirstClick);
    connect(BitLast, &QToolButton::clicked, this, &TFskEdit::BitLastClick);
    connect(Bitpk, &QPushButton::clicked, this, &TFskEdit::BitpkClick);
    connect(Bitkv, &QPushButton::clicked, this, &TFskEdit::BitkvClick);
    connect(BitDeEdit, &QPushButton::clicked, this, &TFskEdit::BitDeEditClick);
    connect(ButExit, &QPushButton::clicked, this, &TFskEdit::ButExitClick);
    connect(ButHelp, &QPushButton::clicked, this, &TFskEdit::ButHelpClick);
    for (QWidget* w : std::initializer_list<QWidget*>{Pr1kv, AH, KeyDop, KeyObs, DBGrid1})
        enter_->Watch(w);
}

void TFskEdit::attachGrid() {
    if (!FDM || (model_ && model_->GetDataset() == FDM->Q_KvN)) return;
    delete model_;
    model_ = new TerminalGridModel(FDM->Q_KvN, this);
    model_->AddColumn(QStringLiteral("p_nom"), QStringLiteral("№пп"));
    model_->AddColumn(QStringLiteral("n_kvr"), QStringLiteral("№кв."));
    model_->AddColumn(QStringLiteral("p_kvr"), QStringLiteral("Код вв"));
    model_->AddColumn(QStringLiteral("p_pk"), QStringLiteral("Номер клеммы"), true);
    DBGrid1->SetModel(model_);
    DBGrid1->setItemDelegateForColumn(model_->ColumnOf(QStringLiteral("p_pk")),
                                      new TerminalDelegate(DBGrid1));
}

// ---------------------------------------------------------------- showing

qint64 TFskEdit::currentSwitch() const {
    if (!FDM || !SiteData::HasCurrentRow(FDM->Q_MNpk)) return 0;
    return FDM->Q_MNpk->FieldByName(QStringLiteral("k.id_pk")).AsLargeInt();
}

// What the editor stored shows in the shared lists, on the same switch.
void TFskEdit::refreshViews() {
    if (!FDM) return;
    const int recNo = FDM->Q_MNpk->RecNo();
    FDM->ReopenSwitches();
    FDM->ReopenApartments();
    FDM->ReopenCallBlocks();
    if (FDM->Q_Diap->IsOpen()) FDM->Q_Diap->Reopen();
    if (recNo > 0) FDM->Q_MNpk->SetRecNo(recNo);
}

void TFskEdit::showHeader() {
    Dataset* sw = FDM ? FDM->Q_MNpk : nullptr;
    DBTextNet->setText(field(sw, "k.n_net"));
    DBTextHouse->setText(field(sw, "house"));
    DBTextKodD->setText(field(sw, "d.kod_d"));
    DBTextNPod->setText(field(sw, "p.n_pod"));
    DBTextNmPod->setText(field(sw, "p.nm_pod"));
    DBTextVKvr->setText(field(sw, "p.v_kvr"));
    DBTextN1kvr->setText(field(sw, "n1kvr"));
    DBTextNpkvr->setText(field(sw, "npkvr"));
    DBTextVDvr->setText(field(sw, "p.v_dvr"));
    LGates->setText(editor_.ShownSwitch() ? QString::number(editor_.View().gates) : QString());
}

// The controls as the editor's view says, without running their handlers.
void TFskEdit::showControls() {
    const EntranceSwitchView& v = editor_.View();
    const bool was = loading_;
    loading_ = true;
    for (QRadioButton* r : {RBType0, RBType1}) r->setAutoExclusive(false);
    RBType0->setChecked(v.type == SwitchType::Apartment);
    RBType1->setChecked(v.type == SwitchType::Floor);
    for (QRadioButton* r : {RBType0, RBType1}) r->setAutoExclusive(true);
    methods_->setExclusive(false);
    RGkm0->setChecked(v.method == FillMethod::kFirstHandset);
    RGkm1->setChecked(v.method == FillMethod::kModulo100);
    methods_->setExclusive(true);
    RGkm->setEnabled(v.methodEnabled);
    Pr1kv->setValue(v.firstHandset);
    Pr1kv->setVisible(v.firstHandsetShown);
    LPr1kv->setVisible(v.firstHandsetShown);
    AI->setText(QString::number(v.increment));
    AH->setValue(v.hundreds);
    AH->setEnabled(v.hundredsEnabled);
    E_mxl->setText(QString::number(v.maxHandset));
    KeyDop->setValue(v.keysPerApartment);
    KeyObs->setValue(v.commonKeys);
    BitPorts->setText(v.portsCaption);
    BitPorts->setEnabled(v.type != SwitchType::None);
    LAttan->setText(v.warning);
    loading_ = was;
    showHeader();
}

void TFskEdit::ShowEntrance() {
    editor_.ShowEntrance(currentSwitch());
    held_ = HeldRows::OfSwitch(editor_.ShownSwitch());
    setWindowTitle(held_.Title(EntranceSwitchTexts::kCaption));
    refreshViews();
    showControls();
}

void TFskEdit::FormActivate() {
    if (!FDM) return;
    attachGrid();
    if (!CheckApartmentNumbering())
        Dialogs::Message(EntranceSwitchTexts::kError, EntranceSwitchTexts::kNumberingFailed,
                         DlgButtons::Ok, DlgIcon::Warning);
    ShowEntrance();
    BtnUp->setEnabled(true);
    BtnDown->setEnabled(true);
    if (FDM->Q_KvN->IsEmpty()) {
        Dialogs::ShowMessage(EntranceSwitchTexts::kNoApartments);
        return;
    }
    const QVariant idPod = FDM->Q_MNpk->FieldByName(QStringLiteral("p.id_pod")).Value();
    FDM->Q_Pod->Locate(QStringLiteral("id_pod"), idPod);
}

void TFskEdit::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    following_ = true;
    FormActivate();
    following_ = false;
}

// Brought back to the front on another switch (the switch list or the
// switch editor moved), it leaves the one shown and shows that one.
void TFskEdit::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow() || following_ ||
        !isVisible() || currentSwitch() == editor_.ShownSwitch())
        return;
    following_ = true;
    ConfirmDistribution();
    ShowEntrance();
    following_ = false;
}

// ---------------------------------------------------------------- type and method

void TFskEdit::RBType0Click() {
    editor_.ChooseApartmentSwitch();
    refreshViews();
    showControls();
}

void TFskEdit::RBType1Click() {
    editor_.ChooseFloorSwitch();
    refreshViews();
    showControls();
}

void TFskEdit::RGkmClick(int method) {
    if (loading_) return;
    editor_.ChooseMethod(method);
    refreshViews();
    showControls();
}

void TFskEdit::Pr1kvExit() {
    if (!loading_) editor_.FirstHandsetLeft(Pr1kv->value());
}

void TFskEdit::AHExit() {
    if (loading_ || !editor_.SaveHundreds(AH->value())) return;
    refreshViews();
    showControls();
}

void TFskEdit::BitPortsClick() {
    LabWait->show();
    LabWait->repaint();
    {
        WaitCursor wait;
        editor_.SetFirstHandset(Pr1kv->value());
        editor_.Distribute();
        refreshViews();
    }
    LabWait->hide();
    FDM->Q_KvN->First();
    showControls();
}

void TFskEdit::typeTerminal(qint64 idKvr, int terminal) {
    const int row = FDM->Q_KvN->RecNo();
    editor_.TypeTerminal(idKvr, terminal);
    refreshViews();
    FDM->Q_KvN->SetRecNo(row);
    showControls();
}

void TFskEdit::ConfirmDistribution() {
    editor_.SetFirstHandset(Pr1kv->value());
    editor_.ConfirmDistribution(SiteData::CurrentObjectId());
    refreshViews();
    showControls();
}

// ---------------------------------------------------------------- key slots

void TFskEdit::BtnSaveDClick() {
    const KeySlotScope scope = Ch_dm->isChecked()   ? KeySlotScope::Object
                               : Ch_pd->isChecked() ? KeySlotScope::House
                                                    : KeySlotScope::Entrance;
    editor_.SaveKeysPerApartment(KeyDop->value(), scope);
    SiteData::ReopenOnSameRow(FDM->QPodKey, QStringLiteral("id_pod"));
    refreshViews();
    Ch_dm->setChecked(false);
    Ch_pd->setChecked(false);
    showControls();
}

void TFskEdit::BtnSaveOClick() {
    editor_.SaveCommonKeys(KeyObs->value(), Ch_ob->isChecked());
    SiteData::ReopenOnSameRow(FDM->QPodKey, QStringLiteral("id_pod"));
    refreshViews();
    Ch_ob->setChecked(false);
    showControls();
}

// Slots typed but not saved are kept when the entrance is left.
void TFskEdit::saveChangedSlots() {
    if (editor_.ShownSwitch() == 0) return;
    if (KeyDop->value() != editor_.View().keysPerApartment) BtnSaveDClick();
    if (KeyObs->value() != editor_.View().commonKeys) BtnSaveOClick();
}

// ---------------------------------------------------------------- moving and closing

void TFskEdit::moveSwitch(bool down) {
    if (!FDM || !SiteData::HasCurrentRow(FDM->Q_MNpk)) return;
    saveChangedSlots();
    ConfirmDistribution();
    Dataset* switches = FDM->Q_MNpk;
    if (down)
        switches->Next();
    else
        switches->Prior();
    BtnUp->setEnabled(switches->RecNo() > 1);
    BtnDown->setEnabled(switches->RecNo() < switches->RecordCount());
    const QVariant idPod = switches->FieldByName(QStringLiteral("p.id_pod")).Value();
    FDM->Q_Pod->Locate(QStringLiteral("id_pod"), idPod);
    ShowEntrance();
}

void TFskEdit::BtnUpClick() {
    moveSwitch(false);
}

void TFskEdit::BtnDownClick() {
    moveSwitch(true);
}

void TFskEdit::BitFirstClick() {
    if (FDM) FDM->Q_KvN->First();
}

void TFskEdit::BitLastClick() {
    if (FDM) FDM->Q_KvN->Last();
}

void TFskEdit::BitpkClick() {
    ConfirmDistribution();
    ShowWindowNamed(QStringLiteral("FpkEdit"));
}

void TFskEdit::BitkvClick() {
    ConfirmDistribution();
    if (FkvEdit) {
        FkvEdit->show();
        FkvEdit->raise();
    }
}

void TFskEdit::BitDeEditClick() {
    if (FdpkPort) {
        FdpkPort->show();
        FdpkPort->raise();
        FdpkPort->activateWindow();
        // A run there changes what is shown here.
        connect(FdpkPort, &TFdpkPort::Distributed, this, &TFskEdit::ShowEntrance,
                Qt::UniqueConnection);
    }
    ShowEntrance();
}

void TFskEdit::ButExitClick() {
    close();
}

void TFskEdit::ButHelpClick() {
    AppHelp().ShowTopic(kHelpTopic);
}

// Slots typed and a method not distributed are kept for a switch still there.
void TFskEdit::closeEvent(QCloseEvent* event) {
    if (FDM && editor_.ShownSwitch() != 0 && held_.Gone().isEmpty()) {
        following_ = true;
        if (editor_.ShownObject() == SiteData::CurrentObjectId()) saveChangedSlots();
        ConfirmDistribution();
        following_ = false;
    }
    editor_.Forget();
    QDialog::closeEvent(event);
}
