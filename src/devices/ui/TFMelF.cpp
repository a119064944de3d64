#include "devices/ui/TFMelF.h"

#include "devices/ui/FormControls.h"
#include "devices/ui/GridColumns.h"
#include "foundation/HelpLauncher.h"
#include "foundation/TFDM.h"
#include "foundation/ui/WaitCursor.h"
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
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

TFMelF* FMelF = nullptr;

namespace {

constexpr int kHelpTopic = 234;
const QString kNamePrompt = QStringLiteral("Введите имя новой мелодии");

QAction* MakeAction(QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

}  // namespace

TFMelF::TFMelF(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FMelF"));
    setWindowTitle(QStringLiteral("Определить мелодию КМ"));
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

    if (FDM) FDM->OpenMelodies();
}

TFMelF::~TFMelF() {
    delete NotKeys;
}

QWidget* TFMelF::buildMelodyPane() {
    auto* pane = new QGroupBox(QStringLiteral("Мелодии"), this);
    DBGm = MakeDatasetGrid(pane, "DBGm", FDM ? FDM->Q_Mel : nullptr,
                           {{QStringLiteral("name"), QStringLiteral("Наименование")},
                            {QStringLiteral("forr"), QStringLiteral("Назначение")}});
    if (FDM) connect(FDM->Q_Mel, &Dataset::CurrentChanged, this, &TFMelF::enableNotes);
    connect(DBGm, &QAbstractItemView::clicked, this, &TFMelF::DBGmCellClick);
    DBGm->installEventFilter(this);

    BitAppd = MakeButton(pane, "BitAppd", QStringLiteral("Добавить мелодию"));
    BitEdit = MakeButton(pane, "BitEdit", QStringLiteral("Изменить мелодию"));
    BitBeep = MakeButton(pane, "BitBeep", QStringLiteral("Проиграть мелодию"));
    SpeedButton1 = new QToolButton(pane);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    connect(BitAppd, &QPushButton::clicked, this, &TFMelF::BitAppdClick);
    connect(BitEdit, &QPushButton::clicked, this, &TFMelF::BitEditClick);
    connect(BitBeep, &QPushButton::clicked, this, &TFMelF::BitBeepClick);
    connect(SpeedButton1, &QToolButton::clicked, this, &TFMelF::SpeedButton1Click);

    PanelName = new QGroupBox(pane);
    PanelName->setObjectName(QStringLiteral("PanelName"));
    ENew = new QLineEdit(kNamePrompt, PanelName);
    ENew->setObjectName(QStringLiteral("ENew"));
    ENew->setMaxLength(50);
    ENew->installEventFilter(this);
    RBvz = new QRadioButton(kCallPurpose, PanelName);
    RBvz->setObjectName(QStringLiteral("RBvz"));
    RBot = new QRadioButton(kRingBackPurpose, PanelName);
    RBot->setObjectName(QStringLiteral("RBot"));
    RBvz->setChecked(true);
    BitSaveMel = MakeButton(PanelName, "BitSaveMel", QStringLiteral("Сохранить имя мелодии"));
    connect(ENew, &QLineEdit::textChanged, this, &TFMelF::NameChanged);
    connect(RBvz, &QRadioButton::toggled, this, &TFMelF::NameChanged);
    connect(BitSaveMel, &QPushButton::clicked, this, &TFMelF::BitSaveMelClick);
    auto* purpose = new QHBoxLayout;
    purpose->addWidget(RBvz);
    purpose->addWidget(RBot);
    purpose->addStretch();
    purpose->addWidget(BitSaveMel);
    auto* nameLayout = new QVBoxLayout(PanelName);
    nameLayout->addWidget(ENew);
    nameLayout->addLayout(purpose);
    PanelName->hide();

    auto* buttons = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(BitAppd), static_cast<QWidget*>(BitEdit),
                       static_cast<QWidget*>(BitBeep), static_cast<QWidget*>(SpeedButton1)})
        buttons->addWidget(w);
    auto* layout = new QVBoxLayout(pane);
    layout->addWidget(DBGm, 1);
    layout->addLayout(buttons);
    layout->addWidget(PanelName);
    return pane;
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
    TxVzv = new QLabel(kMelodyNotDefined, pane);
    TxVzv->setObjectName(QStringLiteral("TxVzv"));
    TxOtz = new QLabel(kMelodyNotDefined, pane);
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
    PPMel = new QMenu(this);
    PPMel->setObjectName(QStringLiteral("PPMel"));
    PPDel = MakeAction(PPMel, "PPDel", QStringLiteral("Удалить мелодию"));
    PPClose = MakeAction(PPMel, "PPClose", QStringLiteral("Закрыть мелодию для редактирования"));
    PPClose->setEnabled(false);
    connect(PPDel, &QAction::triggered, this, &TFMelF::PPDelClick);
    DBGm->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGm, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PPMel->popup(DBGm->viewport()->mapToGlobal(at)); });

    PPNote = new QMenu(this);
    PPNote->setObjectName(QStringLiteral("PPNote"));
    NoteApp = MakeAction(PPNote, "NoteApp", QStringLiteral("Добавить ноту"));
    NoteEdit = MakeAction(PPNote, "NoteEdit", QStringLiteral("Заменить ноту"));
    N2 = MakeAction(PPNote, "N2", QStringLiteral("Добавить паузу"));
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

void TFMelF::FormActivate() {
    if (!FDM) return;
    FDM->OpenMelodies();
    ShowAssignedMelodies();
    enableNotes();
    if (!NotKeys->IsOpen()) NotKeys->Open();
}

void TFMelF::ShowAssignedMelodies() {
    Dataset* sw = FDM ? FDM->Q_MNpk : nullptr;
    const bool hasSwitch = sw && sw->IsOpen() && sw->RecNo() > 0;
    TxVzv->setText(hasSwitch
                       ? SwitchMelodyName(sw->FieldByName(QStringLiteral("id_mvv")).AsLargeInt())
                       : kMelodyNotDefined);
    TxOtz->setText(hasSwitch
                       ? SwitchMelodyName(sw->FieldByName(QStringLiteral("id_mot")).AsLargeInt())
                       : kMelodyNotDefined);
}

bool TFMelF::NotesEnabled() const {
    return DBGb->isEnabled();
}

void TFMelF::enableNotes() {
    DBGb->setEnabled(CurrentMelodyId() != 0 && !CurrentMelodyClosed());
}

void TFMelF::hideNamePanel() {
    PanelName->hide();
}

void TFMelF::DBGmCellClick() {
    hideNamePanel();
    enableNotes();
}

// ---------------------------------------------------------------- names

void TFMelF::BitAppdClick() {
    newMelody_ = true;
    ENew->clear();
    PanelName->show();
    ENew->setFocus();
}

void TFMelF::BitEditClick() {
    if (CurrentMelodyId() == 0) return;
    if (CurrentMelodyClosed()) {
        Dialogs::Message(QStringLiteral("Запрет"),
                         QStringLiteral("Данная мелодия защищена от редактирования!"),
                         DlgButtons::Ok, DlgIcon::Warning);
        return;
    }
    newMelody_ = false;
    const bool call = FDM->Q_Mel->FieldByName(QStringLiteral("forr")).AsString() == kCallPurpose;
    (call ? RBvz : RBot)->setChecked(true);
    ENew->setText(FDM->Q_Mel->FieldByName(QStringLiteral("name")).AsString());
    PanelName->show();
    ENew->setFocus();
}

void TFMelF::ENewEnter() {
    if (ENew->text() == kNamePrompt) ENew->clear();
}

void TFMelF::NameChanged() {
    nameChanged_ = true;
}

void TFMelF::BitSaveMelClick() {
    const QString name = ENew->text().trimmed();
    if (nameChanged_ && !name.isEmpty() && name != kNamePrompt &&
        Dialogs::AskYesNo(QStringLiteral("Подтверждение"), QStringLiteral("Сохраняем?")) &&
        SaveCurrentMelody(newMelody_, name, RBvz->isChecked() ? kCallPurpose : kRingBackPurpose) ==
            DeviceChange::Done)
        newMelody_ = false;
    nameChanged_ = false;
    hideNamePanel();
    enableNotes();
}

// ---------------------------------------------------------------- notes

void TFMelF::BitBeepClick() {
    WaitCursor wait;
    PlayCurrentMelody(Tones::Output());
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
    hideNamePanel();
    DeleteCurrentMelody();
    enableNotes();
}

void TFMelF::SpeedButton1Click() {
    if (!FDM) return;
    FDM->Q_Beep->Reopen();
    FDM->ReopenMelodies();
    enableNotes();
}

// ---------------------------------------------------------------- assignment

void TFMelF::assign(MelodyScope scope) {
    const int recNo = FDM ? FDM->Q_Mel->RecNo() : 0;
    AssignCurrentMelody(scope);
    ShowAssignedMelodies();
    if (recNo > 0) FDM->Q_Mel->SetRecNo(recNo);
}

void TFMelF::BitSavePkClick() {
    assign(MelodyScope::Switch);
}

void TFMelF::BitSaveDmClick() {
    assign(MelodyScope::House);
}

void TFMelF::BitSaveObClick() {
    assign(MelodyScope::Object);
}

void TFMelF::ButExitClick() {
    close();
}

void TFMelF::ButHelpClick() {
    AppHelp().ShowTopic(kHelpTopic);
}

void TFMelF::changeEvent(QEvent* event) {
    CloseHelpOnDeactivate(this, event);
    QDialog::changeEvent(event);
}

bool TFMelF::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ENew && event->type() == QEvent::FocusIn) ENewEnter();
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((watched == DBGm || watched == DBGb) && key == Qt::Key_Delete) {
        DBGmKeyDown();
        return true;
    }
    if (watched == DBGrid1) {
        switch (key) {
            case Qt::Key_Space:
                NoteAppClick();
                return true;
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
