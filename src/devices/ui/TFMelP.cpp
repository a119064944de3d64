#include "devices/ui/TFMelP.h"

#include "devices/ConsoleMelody.h"
#include "devices/ui/FormParts.h"
#include "devices/ui/GridColumns.h"
#include "foundation/HelpLauncher.h"
#include "foundation/TFDM.h"
#include "foundation/ui/WaitCursor.h"
#include "platform/Dataset.h"
#include "platform/ToneOutput.h"
#include "platform/ui/DatasetGrid.h"

#include <QAction>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

TFMelP* FMelP = nullptr;

namespace {

constexpr int kHelpTopic = 211;
constexpr MelodyList kConsole = MelodyList::Console;

}  // namespace

TFMelP::TFMelP(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FMelP"));
    setWindowTitle(QStringLiteral("Мелодии пульта поста охраны"));
    auto* panes = new QHBoxLayout;
    panes->addWidget(buildMelodyPane(), 4);
    panes->addWidget(buildNotePane(), 3);
    panes->addWidget(buildPickerPane(), 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panes, 1);
    layout->addWidget(buildAssignPane());
    buildMenu();
    resize(920, 520);
    if (FDM) FDM->OpenMelodies();
}

QWidget* TFMelP::buildMelodyPane() {
    auto* pane = new QGroupBox(QStringLiteral("Мелодии"), this);
    DBGm = MakeDatasetGrid(pane, "DBGm", FDM ? FDM->Q_MelP : nullptr,
                           {{QStringLiteral("name"), QStringLiteral("Наименование")},
                            {QStringLiteral("forr"), QStringLiteral("Назначение")}});
    if (FDM) connect(FDM->Q_MelP, &Dataset::CurrentChanged, this, &TFMelP::enableNotes);
    connect(DBGm, &QAbstractItemView::clicked, this, &TFMelP::DBGmCellClick);
    DBGm->installEventFilter(this);

    BitAppd = MakeButton(pane, "BitAppd", QStringLiteral("Добавить мелодию"));
    BitEdit = MakeButton(pane, "BitEdit", QStringLiteral("Изменить мелодию"));
    BitBeep = MakeButton(pane, "BitBeep", QStringLiteral("Проиграть мелодию"));
    SpeedButton1 = new QToolButton(pane);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    connect(BitAppd, &QPushButton::clicked, this, &TFMelP::BitAppdClick);
    connect(BitEdit, &QPushButton::clicked, this, &TFMelP::BitEditClick);
    connect(BitBeep, &QPushButton::clicked, this, &TFMelP::BitBeepClick);
    connect(SpeedButton1, &QToolButton::clicked, this, &TFMelP::SpeedButton1Click);
    PanelName = new MelodyNamePanel(kConsole, kVisitorPurpose, kSubscriberPurpose, pane);
    connect(PanelName, &MelodyNamePanel::Closed, this, &TFMelP::enableNotes);

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

QWidget* TFMelP::buildNotePane() {
    auto* pane = new QGroupBox(QStringLiteral("Ноты мелодии"), this);
    DBGb = MakeDatasetGrid(pane, "DBGb", FDM ? FDM->Q_Bepo : nullptr,
                           {{QStringLiteral("leng"), QStringLiteral("Длительность")},
                            {QStringLiteral("gerc"), QStringLiteral("Частота")}});
    DBGb->installEventFilter(this);
    connect(DBGb, &QAbstractItemView::doubleClicked, this, &TFMelP::DBGbDblClick);
    auto* layout = new QVBoxLayout(pane);
    layout->addWidget(DBGb);
    return pane;
}

QWidget* TFMelP::buildPickerPane() {
    auto* pane = new QGroupBox(QStringLiteral("Ноты"), this);
    GNoot = new QTableWidget(kConsoleToneCells, 1, pane);
    GNoot->setObjectName(QStringLiteral("GNoot"));
    GNoot->horizontalHeader()->hide();
    GNoot->verticalHeader()->hide();
    GNoot->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    GNoot->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GNoot->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int cell = 0; cell < kConsoleToneCells; ++cell) {
        auto* item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignCenter);
        GNoot->setItem(cell, 0, item);
    }
    connect(GNoot, &QTableWidget::cellClicked, this, [this](int row, int) { GNootClick(row); });
    connect(GNoot, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { GNootDblClick(row); });
    Dol = MakeSpin(pane, "Dol", 0, 9, 5);
    Dol->setToolTip(QStringLiteral("Перед выбором ноты, здесь следует установить ее длительность"));
    auto* length = new QFormLayout;
    length->addRow(QStringLiteral("Длитель- ность"), Dol);
    auto* layout = new QVBoxLayout(pane);
    layout->addWidget(GNoot, 1);
    layout->addLayout(length);
    return pane;
}

QWidget* TFMelP::buildAssignPane() {
    auto* pane = new QGroupBox(QStringLiteral("Мелодии ППО"), this);
    TxVzv = MakeLabel(pane, "TxVzv", kMelodyNotDefined);
    TxOtz = MakeLabel(pane, "TxOtz", kMelodyNotDefined);
    auto* names = new QFormLayout;
    names->addRow(kVisitorPurpose + ':', TxVzv);
    names->addRow(kSubscriberPurpose + ':', TxOtz);
    BitSavePk = MakeButton(pane, "BitSavePk", QStringLiteral("Сохранить для ППО"));
    ButHelp = MakeButton(pane, "ButHelp", QStringLiteral("Помощь"));
    ButExit = MakeButton(pane, "ButExit", QStringLiteral("Закрыть"));
    connect(BitSavePk, &QPushButton::clicked, this, &TFMelP::BitSavePkClick);
    connect(ButHelp, &QPushButton::clicked, this, &TFMelP::ButHelpClick);
    connect(ButExit, &QPushButton::clicked, this, &TFMelP::ButExitClick);
    auto* layout = new QHBoxLayout(pane);
    layout->addLayout(names, 1);
    layout->addWidget(BitSavePk);
    layout->addWidget(ButHelp);
    layout->addWidget(ButExit);
    return pane;
}

void TFMelP::buildMenu() {
    PPMel = new QMenu(this);
    PPMel->setObjectName(QStringLiteral("PPMel"));
    PPDel = PPMel->addAction(QStringLiteral("Удалить мелодию"));
    PPDel->setObjectName(QStringLiteral("PPDel"));
    N1 = PPMel->addAction(QStringLiteral("Закрыть редактирование мелодии"));
    N1->setObjectName(QStringLiteral("N1"));
    // A melody closed by mistake could never be edited again: the command
    // stays off, so melodies arrive closed only with the database.
    N1->setEnabled(false);
    connect(PPDel, &QAction::triggered, this, &TFMelP::PPDelClick);
    connect(N1, &QAction::triggered, this, &TFMelP::N1Click);
    DBGm->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGm, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PPMel->popup(DBGm->viewport()->mapToGlobal(at)); });
}

// ---------------------------------------------------------------- showing

void TFMelP::FillNotePicker() {
    for (int cell = 0; cell < kConsoleToneCells; ++cell)
        GNoot->item(cell, 0)->setText(ConsoleToneText(cell));
}

void TFMelP::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
}

void TFMelP::FormActivate() {
    if (!FDM) return;
    FDM->OpenMelodies();
    ShowAssignedMelodies();
    enableNotes();
}

void TFMelP::ShowAssignedMelodies() {
    Dataset* po = FDM ? FDM->Q_PO : nullptr;
    const bool console = po && po->IsOpen() && po->RecNo() > 0;
    auto name = [&](const char* field) {
        return console ? MelodyNameIn(kConsole,
                                      po->FieldByName(QString::fromLatin1(field)).AsLargeInt())
                       : kMelodyNotDefined;
    };
    TxVzv->setText(name("id_mel0"));
    TxOtz->setText(name("id_mel1"));
}

bool TFMelP::NotesEnabled() const {
    return DBGb->isEnabled();
}

void TFMelP::enableNotes() {
    DBGb->setEnabled(CurrentMelodyId(kConsole) != 0 && !CurrentMelodyClosed(kConsole));
}

void TFMelP::DBGmCellClick() {
    PanelName->hide();
    enableNotes();
}

void TFMelP::mousePressEvent(QMouseEvent* event) {
    DBGmCellClick();
    QDialog::mousePressEvent(event);
}

// ---------------------------------------------------------------- melodies

void TFMelP::BitAppdClick() {
    PanelName->StartNew(kNewMelodyPrompt);
}

void TFMelP::BitEditClick() {
    PanelName->StartEdit();
}

void TFMelP::BitBeepClick() {
    WaitCursor wait;
    PlayCurrentMelody(Tones::Output(), kConsole);
}

void TFMelP::PPDelClick() {
    PanelName->hide();
    DeleteCurrentMelody(kConsole);
    enableNotes();
}

void TFMelP::N1Click() {
    const qint64 idMel = CurrentMelodyId(kConsole);
    if (idMel == 0) return;
    QString error;
    if (Reported(CloseMelody(FDM->ConnectionDB(), idMel, &error), error) == DeviceChange::Done) {
        const int recNo = FDM->Q_MelP->RecNo();
        FDM->ReopenMelodies();
        FDM->Q_MelP->SetRecNo(recNo);
    }
    enableNotes();
}

void TFMelP::SpeedButton1Click() {
    if (!FDM) return;
    FDM->ReopenMelodies();
    enableNotes();
}

void TFMelP::BitSavePkClick() {
    const int recNo = FDM ? FDM->Q_MelP->RecNo() : 0;
    AssignCurrentMelodyToConsole();
    ShowAssignedMelodies();
    if (recNo > 0) FDM->Q_MelP->SetRecNo(recNo);
}

// ---------------------------------------------------------------- notes

void TFMelP::GNootClick(int cell) {
    Tones::Tone(ToneHz(ConsoleTone(cell)), NoteMs(Dol->value()));
}

void TFMelP::GNootDblClick(int cell) {
    PickNoteForCurrent(cell, Dol->value());
    enableNotes();
}

void TFMelP::DBGbDblClick() {
    if (FDM && HasCurrentRow(FDM->Q_Bepo))
        Dol->setValue(FDM->Q_Bepo->FieldByName(QStringLiteral("leng")).AsInt());
}

void TFMelP::DBGbKeyDown() {
    DeleteCurrentNote(kConsole, QStringLiteral("Удаление!"));
    enableNotes();
}

void TFMelP::ButExitClick() {
    close();
}

void TFMelP::ButHelpClick() {
    AppHelp().ShowTopic(kHelpTopic);
}

void TFMelP::changeEvent(QEvent* event) {
    CloseHelpWhenLeft(this, event);
    QDialog::changeEvent(event);
}

bool TFMelP::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        if (watched == DBGb) DBGbKeyDown();
        if (watched == DBGm) enableNotes();  // the melody list never deletes
        if (watched == DBGb || watched == DBGm) return true;
    }
    if (watched == DBGm && event->type() == QEvent::FocusIn) enableNotes();
    return QDialog::eventFilter(watched, event);
}
