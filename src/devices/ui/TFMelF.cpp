#include "devices/ui/TFMelF.h"

#include "devices/TractAssignment.h"
#include "devices/ui/FormControls.h"
#include "devices/ui/GridColumns.h"
#include "devices/ui/MelodyListPane.h"
#include "devices/ui/MelodyNamePanel.h"
#include "foundation/HelpLauncher.h"
#include "foundation/TFDM.h"
#include "foundation/ui/GroundedWindow.h"
#include "platform/Dataset.h"
#include "platform/DatasetModel.h"
#include "platform/Dialogs.h"
#include "platform/ToneOutput.h"
#include "platform/ui/DatasetGrid.h"

#include <QAction>
#include <QApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

TFMelF* FMelF = nullptr;

namespace {

const QString kSwitchMelodyCaption = QStringLiteral("Определить мелодию КМ");

}  // namespace

TFMelF::TFMelF(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FMelF"));
    setWindowTitle(kSwitchMelodyCaption);
    resize(1150, 600);

    NotKeys = new Dataset(QStringLiteral("NotKeys"), QString::fromLatin1(TFDM::kConnectionName));
    NotKeys->SetSelect({{QString(), QStringLiteral("t_not")}}, QStringLiteral("ORDER BY rowid"));

    auto* panes = new QHBoxLayout;
    panes->addWidget(buildMelodyPane(), 4);
    panes->addWidget(buildNotePane(), 3);
    panes->addWidget(buildStaffPane(), 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panes, 1);
    layout->addWidget(buildAssignPane());
    buildMenus();
    CloseWhenGroundMoves(this, &held_);
}

TFMelF::~TFMelF() {
    delete NotKeys;
}

QWidget* TFMelF::buildMelodyPane() {
    Melodies = new MelodyListPane(MelodyList::Switch,
                                  {kCallPurpose, kRingBackPurpose, QString(), "PPClose",
                                   QStringLiteral("Закрыть мелодию для редактирования")},
                                  this);
    connect(Melodies, &MelodyListPane::NotesMayChange, this, &TFMelF::enableNotes);
    DBGm = Melodies->DBGm;
    DBGm->installEventFilter(this);
    BitAppd = Melodies->BitAppd;
    BitEdit = Melodies->BitEdit;
    BitBeep = Melodies->BitBeep;
    SpeedButton1 = Melodies->SpeedButton1;
    PanelName = Melodies->PanelName;
    ENew = PanelName->ENew;
    RBvz = PanelName->RBvz;
    RBot = PanelName->RBot;
    BitSaveMel = PanelName->BitSaveMel;
    PPMel = Melodies->PPMel;
    PPDel = Melodies->PPDel;
    PPClose = Melodies->PPClose;
    return Melodies;
}

QWidget* TFMelF::buildNotePane() {
    auto* pane = new QGroupBox(QStringLiteral("Ноты мелодии"), this);
    DBGb = MakeDatasetGrid(pane, "DBGb", FDM ? FDM->Q_Beep : nullptr,
                           {{QStringLiteral("nom"), QStringLiteral("№")},
                            {QStringLiteral("leng"), QStringLiteral("Длительность")},
                            {QStringLiteral("gerc"), QStringLiteral("Значение")},
                            {QStringLiteral("gercbeep"), QStringLiteral("Гц")}});
    DBGb->installEventFilter(this);
    auto* layout = new QVBoxLayout(pane);
    layout->addWidget(DBGb);
    return pane;
}

QWidget* TFMelF::buildStaffPane() {
    auto* pane = new QGroupBox(QStringLiteral("Ноты"), this);
    DBGrid1 = MakeDatasetGrid(pane, "DBGrid1", NotKeys,
                              {{QStringLiteral("oct"), QStringLiteral("Октава")},
                               {QStringLiteral("Name"), QStringLiteral("Нота")},
                               {QStringLiteral("Valn"), QStringLiteral("Значение")},
                               {QStringLiteral("Gerc"), QStringLiteral("Гц")}});
    DBGrid1->installEventFilter(this);
    connect(DBGrid1, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& at) { DBGrid1CellClick(at.column()); });
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &TFMelF::NoteAppClick);
    // Space adds the note as a double click does, Enter replaces the current
    // one, Shift+Space sounds it as a click does.
    GridKeys::DoubleClickBy(DBGrid1, {Qt::Key_Space});
    GridKeys::ClickBy(DBGrid1, {QKeyCombination(Qt::ShiftModifier, Qt::Key_Space)});
    DBGrid1->setToolTip(
        QStringLiteral("Пробел — добавить ноту, Enter — заменить ноту, Shift+Пробел — прослушать "
                       "ноту (в столбцах «Нота» и «Значение»)"));

    SLen = new QSpinBox(pane);
    SLen->setObjectName(QStringLiteral("SLen"));
    SLen->setRange(0, 20);
    SLen->setValue(7);
    auto* length = new QFormLayout;
    length->addRow(QStringLiteral("Длительность"), SLen);
    auto* layout = new QVBoxLayout(pane);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(length);
    return pane;
}

QWidget* TFMelF::buildAssignPane() {
    auto* pane = new QGroupBox(QStringLiteral("Мелодии КМ"), this);
    TxVzv = new ElidedLabel(kMelodyNotDefined, pane);
    TxVzv->setObjectName(QStringLiteral("TxVzv"));
    TxOtz = new ElidedLabel(kMelodyNotDefined, pane);
    TxOtz->setObjectName(QStringLiteral("TxOtz"));
    auto* names = new QFormLayout;
    names->addRow(kCallPurpose + ':', TxVzv);
    names->addRow(kRingBackPurpose + ':', TxOtz);

    BitSavePk = MakeButton(pane, "BitSavePk", QStringLiteral("Сохранить для данного КМ"));
    BitSaveDm = MakeButton(pane, "BitSaveDm", QStringLiteral("Сохранить для всех КМ дома"));
    BitSaveOb = MakeButton(pane, "BitSaveOb", QStringLiteral("Сохранить для всех КМ объекта"));
    ButHelp = MakeButton(pane, "ButHelp", QStringLiteral("Помощь"));
    ButExit = MakeButton(pane, "ButExit", QStringLiteral("Закрыть (Esc)"));
    connect(BitSavePk, &QPushButton::clicked, this, &TFMelF::BitSavePkClick);
    connect(BitSaveDm, &QPushButton::clicked, this, &TFMelF::BitSaveDmClick);
    connect(BitSaveOb, &QPushButton::clicked, this, &TFMelF::BitSaveObClick);
    connect(ButHelp, &QPushButton::clicked, this, &TFMelF::ButHelpClick);
    connect(ButExit, &QPushButton::clicked, this, &TFMelF::ButExitClick);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {BitSavePk, BitSaveDm, BitSaveOb}) buttons->addWidget(b);
    auto* closing = new QVBoxLayout;
    closing->addWidget(ButHelp);
    closing->addWidget(ButExit);
    auto* layout = new QHBoxLayout(pane);
    layout->addLayout(names, 1);
    layout->addLayout(buttons);
    layout->addLayout(closing);
    return pane;
}

void TFMelF::buildMenus() {
    PPNote = new QMenu(this);
    PPNote->setObjectName(QStringLiteral("PPNote"));
    NoteApp = MakeMenuItem(PPNote, "NoteApp", QStringLiteral("Добавить ноту"));
    NoteEdit = MakeMenuItem(PPNote, "NoteEdit", QStringLiteral("Заменить ноту"));
    N2 = MakeMenuItem(PPNote, "N2", QStringLiteral("Добавить паузу"));
    connect(NoteApp, &QAction::triggered, this, &TFMelF::NoteAppClick);
    connect(NoteEdit, &QAction::triggered, this, &TFMelF::NoteEditClick);
    connect(N2, &QAction::triggered, this, &TFMelF::N2Click);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PPNote->popup(DBGrid1->viewport()->mapToGlobal(at)); });
}

// ---------------------------------------------------------------- showing

void TFMelF::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
}

void TFMelF::ShowForSwitch(qint64 idPk) {
    switchToShow_ = idPk;
    if (isVisible()) FormActivate();
    ShowWindow(this);
}

// Shown otherwise, it takes the switch list's current switch.
void TFMelF::FormActivate() {
    if (!FDM) return;
    const qint64 idPk = std::exchange(switchToShow_, 0);
    held_ = HeldRows::OfSwitch(idPk ? idPk : CurrentSwitchColumn().idPk);
    setWindowTitle(held_.Title(kSwitchMelodyCaption));
    ShowAssignedMelodies();
    enableNotes();
    if (!NotKeys->IsOpen()) NotKeys->Open();
}

void TFMelF::ShowAssignedMelodies() {
    qint64 idMvv = 0, idMot = 0;
    if (FDM && held_.Holds())
        ReadSwitchMelodies(FDM->ConnectionDB(), held_.Id(QStringLiteral("k_pk")), &idMvv, &idMot);
    TxVzv->setText(idMvv ? SwitchMelodyName(idMvv) : kMelodyNotDefined);
    TxOtz->setText(idMot ? SwitchMelodyName(idMot) : kMelodyNotDefined);
}

bool TFMelF::NotesEnabled() const {
    return DBGb->isEnabled();
}

void TFMelF::enableNotes() {
    DBGb->setEnabled(CurrentMelodyId() != 0 && !CurrentMelodyClosed());
}

void TFMelF::DBGmCellClick() {
    Melodies->DBGmCellClick();
}

// ---------------------------------------------------------------- names

void TFMelF::BitAppdClick() {
    Melodies->BitAppdClick();
}

void TFMelF::BitEditClick() {
    Melodies->BitEditClick();
}

void TFMelF::ENewEnter() {
    PanelName->ENewEnter();
}

void TFMelF::NameChanged() {
    PanelName->NameChanged();
}

void TFMelF::BitSaveMelClick() {
    PanelName->BitSaveMelClick();
}

// ---------------------------------------------------------------- notes

void TFMelF::BitBeepClick() {
    Melodies->BitBeepClick();
}

int TFMelF::staffTone() const {
    if (!NotKeys->IsOpen() || NotKeys->RecNo() < 1) return -1;
    return NotKeys->FieldByName(QStringLiteral("Valn")).AsInt();
}

void TFMelF::NoteAppClick() {
    const int tone = staffTone();
    if (NotesEnabled() && tone >= 0) AppendNoteToCurrent(SLen->value(), tone);
}

void TFMelF::NoteEditClick() {
    const int tone = staffTone();
    if (NotesEnabled() && tone >= 0) ReplaceCurrentNote(SLen->value(), tone);
}

void TFMelF::N2Click() {
    if (NotesEnabled()) AppendNoteToCurrent(SLen->value(), 0);
}

void TFMelF::DBGrid1CellClick(int column) {
    if (!NotKeys->IsOpen() || NotKeys->RecNo() < 1) return;
    const DatasetModel* staff = DBGrid1->Model();
    const int ms = NoteMs(SLen->value());
    if (column == staff->ColumnOf(QStringLiteral("Name")))
        Tones::Tone(NotKeys->FieldByName(QStringLiteral("Gerc")).AsInt(), ms);
    else if (column == staff->ColumnOf(QStringLiteral("Valn")))
        Tones::Tone(ToneHz(NotKeys->FieldByName(QStringLiteral("Valn")).AsInt()), ms);
}

void TFMelF::DBGmKeyDown() {
    DeleteCurrentNote();
    enableNotes();
}

void TFMelF::PPDelClick() {
    Melodies->PPDelClick();
}

void TFMelF::SpeedButton1Click() {
    Melodies->SpeedButton1Click();
}

// ---------------------------------------------------------------- assignment

// Into the switch shown, its house or its object; the question names it.
void TFMelF::assign(MelodyScope scope, const QString& table, const QString& named) {
    if (!held_.StillThere()) return;
    const int recNo = FDM ? FDM->Q_Mel->RecNo() : 0;
    AssignCurrentMelody(scope, held_.Id(table), named, held_);
    ShowAssignedMelodies();
    if (recNo > 0) FDM->Q_Mel->SetRecNo(recNo);
}

void TFMelF::BitSavePkClick() {
    assign(MelodyScope::Switch, QStringLiteral("k_pk"), held_.Name());
}

void TFMelF::BitSaveDmClick() {
    assign(MelodyScope::House, QStringLiteral("k_dom"), held_.HouseName());
}

void TFMelF::BitSaveObClick() {
    assign(MelodyScope::Object, QStringLiteral("k_net"), held_.Object());
}

void TFMelF::ButExitClick() {
    close();
}

void TFMelF::ButHelpClick() {
    AppHelp().ShowTopic(kHelpTopic);
}

// Losing the focus to another window of the program closes the help window;
// losing it to the help viewer itself does not.
void TFMelF::changeEvent(QEvent* event) {
    CloseHelpOnDeactivate(this, event);
    QDialog::changeEvent(event);
}

bool TFMelF::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((watched == DBGm || watched == DBGb) && key == Qt::Key_Delete) {
        DBGmKeyDown();
        return true;
    }
    if (watched == DBGrid1) {
        switch (key) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                NoteEditClick();
                return true;
            case Qt::Key_Delete:
                return true;
            default:
                break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
