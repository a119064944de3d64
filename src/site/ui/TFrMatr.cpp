#include "site/ui/TFrMatr.h"

#include "foundation/BitAndStr.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/TFDM.h"
#include "foundation/ui/CharLimit.h"
#include "foundation/ui/MainWindowHost.h"
#include "foundation/ui/WaitCursor.h"
#include "platform/DatasetModel.h"
#include "platform/ui/EnterKey.h"
#include "platform/ui/GridKeys.h"
#include "platform/ui/NamedWidget.h"
#include "site/ui/THouseGrid.h"

#include <QCheckBox>
#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTextBlock>
#include <QVBoxLayout>

namespace {

TFrMatr* g_frMatr = nullptr;

// Width the houses grid leaves beside it in the edit panel.
constexpr int kBesideHouseGrid = 195;
constexpr int kMaxEntranceCount = 9999;

struct MatrListColumn {
    const char* field;
    const char* title;
    int width;  // the last column takes the rest
};
const MatrListColumn kListColumns[] = {
    {"ident", "Наименование", 220}, {"v_dom", "Домов", 60},  {"v_pod", "Подъездов", 90},
    {"v_kal", "Калиток", 70},       {"id_nom", "Сеть", 70},  {"adres", "Адрес", 260},
    {"d_beg", "Начало", 90},        {"st_net", "Статус", 0},
};

// The entry date is kept as ISO text and shown as the operator writes dates.
class DateDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant& value, const QLocale& locale) const override {
        const QDate date = QDate::fromString(value.toString(), Qt::ISODate);
        return date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy"))
                              : QStyledItemDelegate::displayText(value, locale);
    }
};

QFrame* bevel(QWidget* parent, const char* name) {
    auto* line = Named(new QFrame(parent), name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QSpinBox* counter(QWidget* parent, const char* name, int max) {
    auto* spin = Named(new QSpinBox(parent), name);
    spin->setRange(0, max);
    spin->setFixedWidth(70);
    return spin;
}

}  // namespace

TFrMatr::TFrMatr(QWidget* parent)
    : TScreenFrame(QStringLiteral("FrMatr1"), Screens::Find(1)->title, parent) {
    g_frMatr = this;
    VvodObj = Named(BitNext, "VvodObj");
    QVBoxLayout* content = ContentLayout();
    content->addWidget(buildObjectList(), 1);
    content->addWidget(buildEditPanel(), 1);
    PanelEdit->hide();
    wireControls();
    attachObjectList();
}

TFrMatr::~TFrMatr() {
    if (g_frMatr == this) g_frMatr = nullptr;
}

TFrMatr* TFrMatr::Instance() {
    return g_frMatr;
}

// ---------------------------------------------------------------- building

QWidget* TFrMatr::buildObjectList() {
    Panel1 = Named(new QFrame(this), "Panel1");
    Panel2 = Named(new QFrame(Panel1), "Panel2");
    BNew = Named(new QPushButton(QStringLiteral("Новый Объект"), Panel2), "BNew");
    BEdit = Named(new QPushButton(QStringLiteral("Действующий объект"), Panel1), "BEdit");
    auto* newRow = new QHBoxLayout(Panel2);
    newRow->setContentsMargins(0, 0, 0, 0);
    newRow->addWidget(BNew);

    DBGrid1 = Named(new KeyboardGrid<QTableView>(Panel1), "DBGrid1");
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    // Objects are deleted only in the deletion form; the list is read-only.
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->verticalHeader()->hide();
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->setWordWrap(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Panel2);
    buttons->addWidget(BEdit);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(Panel1);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buttons);
    layout->addWidget(DBGrid1, 1);
    return Panel1;
}

QWidget* TFrMatr::buildEditPanel() {
    PanelEdit = Named(new QFrame(this), "PanelEdit");
    PanelEdit->setFrameShape(QFrame::StyledPanel);
    auto label = [this](const char* name, const QString& text) {
        return Named(new QLabel(text, PanelEdit), name);
    };
    P1_LInf = Named(new ElidedLabel(PanelEdit), "P1_LInf");
    P1_LInf->setStyleSheet(QStringLiteral("QLabel { color: #c00000; font-weight: bold; }"));
    P1_LNew = label("P1_LNew", QStringLiteral("Наименование объекта"));
    P1_LAdr = label("P1_LAdr", QStringLiteral("Адрес объекта"));
    P1_LDom = label("P1_LDom", QStringLiteral("Количество домов"));
    Label1 = label("Label1", QStringLiteral("Количество подъездов"));
    P1_LKal = label("P1_LKal", QStringLiteral("Количество калиток"));
    P1_ENew = Named(new QLineEdit(PanelEdit), "P1_ENew");
    LimitChars(P1_ENew, ObjectWidths::kName);
    P1_EAdr = Named(new QPlainTextEdit(PanelEdit), "P1_EAdr");
    P1_EAdr->setFixedHeight(P1_EAdr->fontMetrics().lineSpacing() * 3 + 12);
    P1_EAdr->setTabChangesFocus(true);
    P1_EDom = counter(PanelEdit, "P1_EDom", ObjectLimits::kMaxHouses);
    P1_EPod = counter(PanelEdit, "P1_EPod", kMaxEntranceCount);
    P1_EPod->setReadOnly(true);
    P1_EPod->setButtonSymbols(QAbstractSpinBox::NoButtons);
    P1_EKal = counter(PanelEdit, "P1_EKal", ObjectLimits::kMaxGates);
    CB_po = Named(new QCheckBox(QStringLiteral("Наличие пульта поста охраны (ППО)"), PanelEdit),
                  "CB_po");
    CB_po->setChecked(true);
    BitSave = Named(new QPushButton(QStringLiteral("Сохранить дома"), PanelEdit), "BitSave");
    BitCancel = Named(new QPushButton(QStringLiteral("Закрыть"), PanelEdit), "BitCancel");
    BitSavePod =
        Named(new QPushButton(QStringLiteral("Сохранить подъезды"), PanelEdit), "BitSavePod");
    CGridD = new THouseGrid(PanelEdit);
    Bevel1 = bevel(PanelEdit, "Bevel1");
    Bevel2 = bevel(PanelEdit, "Bevel2");
    Bevel3 = bevel(PanelEdit, "Bevel3");

    auto* counts = new QHBoxLayout;
    counts->addWidget(P1_EDom);
    counts->addSpacing(24);
    counts->addWidget(Label1);
    counts->addWidget(P1_EPod);
    counts->addSpacing(24);
    counts->addWidget(P1_LKal);
    counts->addWidget(P1_EKal);
    counts->addStretch();
    auto* fields = new QGridLayout;
    fields->addWidget(P1_LNew, 0, 0);
    fields->addWidget(P1_ENew, 0, 1);
    fields->addWidget(P1_LAdr, 1, 0, Qt::AlignTop);
    fields->addWidget(P1_EAdr, 1, 1);
    fields->addWidget(P1_LDom, 2, 0);
    fields->addLayout(counts, 2, 1);
    fields->addWidget(CB_po, 3, 1);
    fields->setColumnStretch(1, 1);

    auto* saveRow = new QHBoxLayout;
    saveRow->addWidget(BitSave);
    saveRow->addWidget(BitCancel);
    saveRow->addStretch();

    auto* beside = new QVBoxLayout;
    beside->addWidget(BitSavePod);
    beside->addStretch();
    auto* besideBox = new QWidget(PanelEdit);
    besideBox->setLayout(beside);
    besideBox->setFixedWidth(kBesideHouseGrid);
    auto* housesRow = new QHBoxLayout;
    housesRow->addWidget(CGridD, 1, Qt::AlignTop);
    housesRow->addWidget(besideBox, 0, Qt::AlignRight);

    auto* layout = new QVBoxLayout(PanelEdit);
    layout->addWidget(P1_LInf);
    layout->addWidget(Bevel1);
    layout->addLayout(fields);
    layout->addWidget(Bevel2);
    layout->addLayout(saveRow);
    layout->addWidget(Bevel3);
    layout->addLayout(housesRow);
    layout->addStretch(1);
    return PanelEdit;
}

void TFrMatr::wireControls() {
    connect(BNew, &QPushButton::clicked, this, &TFrMatr::FrMatr1BNewClick);
    connect(BEdit, &QPushButton::clicked, this, &TFrMatr::FrMatr1BEditClick);
    connect(DBGrid1, &QTableView::clicked, this, &TFrMatr::FrMatr1DBGrid1CellClick);
    GridKeys::ClickBy(DBGrid1, GridKeys::kEnter);
    connect(BitSave, &QPushButton::clicked, this, &TFrMatr::FrMatr1BitSaveClick);
    connect(BitSavePod, &QPushButton::clicked, this, &TFrMatr::FrMatr1BitSavePodClick);
    connect(BitCancel, &QPushButton::clicked, this, &TFrMatr::FrMatr1BitCancelClick);
    // Made before the main window wires the next button, so it runs before
    // the main window closes the panel and opens the matrix screen.
    connect(VvodObj, &QPushButton::clicked, this, &TFrMatr::FrMatr1VvodObjClick);
    connect(CGridD, &THouseGrid::PrefixEdited, this, [this](qint64 idDom, const QString& prefix) {
        screen_.SetHousePrefix(idDom, prefix);
        BitSavePod->setEnabled(true);
    });
    connect(CGridD, &THouseGrid::EntrancesEdited, this, [this](qint64 idDom, int entrances) {
        screen_.SetHouseEntrances(idDom, entrances);
        BitSavePod->setEnabled(true);
    });
    connect(P1_EAdr, &QPlainTextEdit::textChanged, this, &TFrMatr::limitAddress);

    QList<QWidget*> moving = {P1_ENew, P1_EDom, P1_EPod, P1_EKal, CB_po, P1_EAdr};
    for (QSpinBox* spin : {P1_EDom, P1_EPod, P1_EKal})
        if (QLineEdit* inner = spin->findChild<QLineEdit*>()) moving << inner;
    for (QWidget* w : moving) w->installEventFilter(this);
}

// The object list shows the data module's object list and follows its row.
void TFrMatr::attachObjectList() {
    if (!FDM || (objectModel_ && objectModel_->GetDataset() == FDM->Q_Net)) return;
    delete objectModel_;
    objectModel_ = new DatasetModel(FDM->Q_Net, this);
    for (const MatrListColumn& c : kListColumns)
        objectModel_->AddColumn(QString::fromLatin1(c.field), QString::fromUtf8(c.title));
    DBGrid1->setModel(objectModel_);
    DBGrid1->setItemDelegateForColumn(objectModel_->ColumnOf(QStringLiteral("d_beg")),
                                      new DateDelegate(DBGrid1));
    for (int i = 0; i < int(std::size(kListColumns)); ++i)
        if (kListColumns[i].width > 0) DBGrid1->setColumnWidth(i, kListColumns[i].width);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TFrMatr::followListRow);
    connect(FDM->Q_Net, &Dataset::CurrentChanged, this, &TFrMatr::selectCurrentObject);
    connect(FDM->Q_Net, &Dataset::RowsReset, this, &TFrMatr::selectCurrentObject);
    CGridD->SetDataset(FDM->Q_Dom);
    selectCurrentObject();
}

void TFrMatr::selectCurrentObject() {
    if (!FDM || !objectModel_) return;
    const QScopedValueRollback<bool> guard(followingList_, true);
    const int row = FDM->Q_Net->RecNo() - 1;
    if (row >= 0 && row < objectModel_->rowCount())
        DBGrid1->selectRow(row);
    else
        DBGrid1->clearSelection();
}

// The operator moved in the list (mouse or keys): that object becomes current.
void TFrMatr::followListRow() {
    if (followingList_ || !FDM) return;
    const int row = DBGrid1->currentIndex().row();
    if (row < 0 || FDM->Q_Net->RecNo() == row + 1) return;
    FDM->Q_Net->SetRecNo(row + 1);
    showMatrixState();
}

// ---------------------------------------------------------------- main window

MainWindowHost* TFrMatr::host() const {
    return HostOf(this);
}

void TFrMatr::showMatrixState() {
    if (MainWindowHost* w = host()) w->ShowMatrixState();
}

void TFrMatr::setNewObjectEntry(bool on) {
    if (MainWindowHost* w = host()) w->SetNewObjectEntry(on);
}

void TFrMatr::PrepareScreen(const QString& dbFolder) {
    TScreenFrame::PrepareScreen(dbFolder);
    attachObjectList();
    if (!FDM) return;
    // The list read again, on its object; one not read yet reads fresh rows
    // on first use anyway.
    if (FDM->Q_Net->IsOpen()) {
        const QVariant current = FDM->Q_Net->FieldByName(QStringLiteral("id_net")).Value();
        FDM->Q_Net->Reopen();
        if (!current.isNull()) FDM->Q_Net->Locate(QStringLiteral("id_net"), current);
    }
    selectCurrentObject();
}

// ---------------------------------------------------------------- panel

ObjectPanelValues TFrMatr::readPanel() const {
    ObjectPanelValues v;
    v.name = P1_ENew->text();
    v.address = P1_EAdr->toPlainText();
    v.console = CB_po->isChecked();
    v.houses = P1_EDom->value();
    v.entrances = P1_EPod->value();
    v.gates = P1_EKal->value();
    return v;
}

void TFrMatr::showPanel(const ObjectPanelValues& v) {
    if (P1_ENew->text() != v.name) P1_ENew->setText(v.name);
    if (P1_EAdr->toPlainText() != v.address) P1_EAdr->setPlainText(v.address);
    CB_po->setChecked(v.console);
    P1_EDom->setValue(v.houses);
    P1_EPod->setValue(v.entrances);
    P1_EKal->setValue(v.gates);
}

void TFrMatr::LoadObjectPanel() {
    QString headline;
    showPanel(screen_.LoadObjectPanel(&headline));
    P1_LInf->setText(headline);
}

// The grid shows four houses, fewer when there are fewer or the panel is low.
void TFrMatr::sizeHouseGrid() {
    if (layout()) layout()->activate();
    CGridD->SetVisibleRows(HouseGridRows(PanelEdit->height(), CGridD->y(), THouseGrid::RowHeight(),
                                         CGridD->RowCount()));
}

void TFrMatr::ShowEditPanel() {
    PanelEdit->show();
    Panel1->hide();
    sizeHouseGrid();
    P1_ENew->setFocus();
    for (QPushButton* b : {BitSavePod, BNew, BEdit}) b->setEnabled(false);
    if (MainWindowHost* w = host()) w->SetFolderChoiceEnabled(false);
}

void TFrMatr::HideEditPanel() {
    PanelEdit->hide();
    Panel1->show();
    for (QPushButton* b : {BNew, BEdit}) b->setEnabled(true);
    if (MainWindowHost* w = host()) w->SetFolderChoiceEnabled(true);
    screen_.ClearMarks();
}

void TFrMatr::BNewClick() {
    screen_.BeginNewObject();
    ShowEditPanel();
    CGridD->hide();
    showPanel(ObjectPanelValues{});
    P1_EKal->setEnabled(true);
    if (MainWindowHost* w = host()) w->ClearMatrixState();
    P1_LInf->setText(ObjectScreenTexts::kNewHeadline);
}

void TFrMatr::BEditClick() {
    screen_.BeginEditObject();
    const bool hasHouses = FDM && FDM->Q_Net->RecNo() > 0 &&
                           FDM->Q_Net->FieldByName(QStringLiteral("v_dom")).AsInt() > 0;
    CGridD->setVisible(hasHouses);
    ShowEditPanel();
    // The gate count of an existing object is changed on the matrix screen.
    P1_EKal->setEnabled(false);
    LoadObjectPanel();
}

void TFrMatr::BitSaveClick() {
    if (P1_EPod->value() < P1_EDom->value()) P1_EPod->setValue(P1_EDom->value());
}

void TFrMatr::BitCancelClick() {
    if (const std::optional<ObjectCounts> counts = screen_.Normalise()) {
        P1_EDom->setValue(counts->houses);
        P1_EPod->setValue(counts->entrances);
    }
}

void TFrMatr::VvodObjClick() {
    HideEditPanel();
}

void TFrMatr::focusField(PanelField field) {
    QWidget* target = nullptr;
    switch (field) {
        case PanelField::Name:
            target = P1_ENew;
            break;
        case PanelField::Address:
            target = P1_EAdr;
            break;
        case PanelField::Houses:
            target = P1_EDom;
            break;
        case PanelField::FirstPrefix:
            target = CGridD->PrefixEdit(0);
            break;
        case PanelField::Prefix:
            target = CGridD->PrefixEdit(CGridD->CurrentRow());
            break;
        case PanelField::HouseEntrances:
            target = CGridD->EntrancesEdit(CGridD->CurrentRow());
            break;
        case PanelField::None:
            break;
    }
    if (target) target->setFocus();
}

// ---------------------------------------------------------------- handlers

void TFrMatr::FrMatr1BNewClick() {
    BNewClick();
    setNewObjectEntry(false);
    P1_ENew->setFocus();
}

void TFrMatr::FrMatr1BEditClick() {
    if (!FDM || FDM->Q_Net->IsEmpty()) {
        FrMatr1BNewClick();
        return;
    }
    BEditClick();
    setNewObjectEntry(false);
}

void TFrMatr::FrMatr1DBGrid1CellClick() {
    followListRow();
    LoadObjectPanel();
    setNewObjectEntry(false);
    showMatrixState();
}

void TFrMatr::FrMatr1BitSaveClick() {
    WaitCursor wait;
    BitSaveClick();
    const HousesSaveOutcome out = screen_.SaveHouses(readPanel());
    showPanel(out.panel);
    if (out.newObjectEntry) setNewObjectEntry(*out.newObjectEntry);
    if (out.objectInserted) showMatrixState();
    if (out.hidePanel) {
        HideEditPanel();
        return;
    }
    if (out.showHouses) {
        CGridD->show();
        sizeHouseGrid();
    }
    focusField(out.focus);
}

void TFrMatr::FrMatr1BitSavePodClick() {
    WaitCursor wait;
    BitSavePod->setEnabled(false);
    const EntrancesSaveOutcome out = screen_.SaveEntrancesAndRebuild();
    if (out.countsKnown) {
        P1_EDom->setValue(out.houses);
        P1_EPod->setValue(out.entrances);
    }
    if (out.hidePanel) {
        HideEditPanel();
        showMatrixState();
        return;
    }
    // A save the database refused can be tried again.
    if (out.result == EntranceSaveResult::Failed) BitSavePod->setEnabled(true);
    focusField(out.focus);
}

void TFrMatr::FrMatr1BitCancelClick() {
    BitCancelClick();
    HideEditPanel();
}

void TFrMatr::FrMatr1VvodObjClick() {
    screen_.LeaveForMatrix();
}

// ---------------------------------------------------------------- keys

void TFrMatr::limitAddress() {
    const QString text = P1_EAdr->toPlainText();
    if (CharCount(text) <= ObjectWidths::kAddress) return;
    const QSignalBlocker block(P1_EAdr);
    int position = P1_EAdr->textCursor().position();
    P1_EAdr->setPlainText(FitChars(text, ObjectWidths::kAddress, &position));
    QTextCursor cursor = P1_EAdr->textCursor();
    cursor.setPosition(position);
    P1_EAdr->setTextCursor(cursor);
}

// Enter in the name, the counts and the console box moves to the next field,
// Shift+Enter to the previous one.
bool TFrMatr::moveOnEnter(QObject* watched, QKeyEvent* key) {
    if (!IsEnterKey(key->key()) || watched == P1_EAdr) return false;
    focusNextPrevChild(!(key->modifiers() & Qt::ShiftModifier));
    return true;
}

// In the address Enter moves on as elsewhere; Ctrl+Enter on a line with text
// opens an empty line above it. The line break itself never reaches the text.
bool TFrMatr::addressKey(QKeyEvent* key) {
    if (!IsEnterKey(key->key())) return false;
    if (key->modifiers() & Qt::ControlModifier) {
        QTextCursor cursor = P1_EAdr->textCursor();
        if (!cursor.block().text().isEmpty()) {
            cursor.movePosition(QTextCursor::StartOfBlock);
            cursor.insertBlock();
            cursor.movePosition(QTextCursor::PreviousBlock);
            P1_EAdr->setTextCursor(cursor);
        }
        return true;
    }
    focusNextPrevChild(!(key->modifiers() & Qt::ShiftModifier));
    return true;
}

bool TFrMatr::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == P1_EAdr ? addressKey(key) : moveOnEnter(watched, key)) return true;
    } else if (event->type() == QEvent::FocusOut && watched == P1_ENew) {
        // Leaving the name shows the state of the object in the list again.
        showMatrixState();
    }
    return TScreenFrame::eventFilter(watched, event);
}
