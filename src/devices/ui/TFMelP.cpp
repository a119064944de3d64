#include "devices/ui/TFMelP.h"

#include "devices/ConsoleMelody.h"
#include "devices/ui/FormControls.h"
#include "devices/ui/GridColumns.h"
#include "devices/ui/MelodyListPane.h"
#include "foundation/HelpLauncher.h"
#include "foundation/TFDM.h"
#include "foundation/ui/GroundedWindow.h"
#include "platform/Dataset.h"
#include "platform/ToneOutput.h"
#include "platform/ui/DatasetGrid.h"
#include "platform/ui/GridKeys.h"

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
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

TFMelP* FMelP = nullptr;

namespace {

constexpr MelodyList kConsole = MelodyList::Console;
const QString kConsoleMelodyCaption = QStringLiteral("Мелодии пульта поста охраны");

}  // namespace

TFMelP::TFMelP(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FMelP"));
    setWindowTitle(kConsoleMelodyCaption);
    auto* panes = new QHBoxLayout;
    panes->addWidget(buildMelodyPane(), 4);
    panes->addWidget(buildNotePane(), 3);
    panes->addWidget(buildPickerPane(), 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panes, 1);
    layout->addWidget(buildAssignPane());
    resize(920, 520);
    CloseWhenGroundMoves(this, &held_);
}

QWidget* TFMelP::buildMelodyPane() {
    Melodies = new MelodyListPane(kConsole,
                                  {kVisitorPurpose, kSubscriberPurpose, kNewMelodyPrompt, "N1",
                                   QStringLiteral("Закрыть редактирование мелодии")},
                                  this);
    connect(Melodies, &MelodyListPane::NotesMayChange, this, &TFMelP::enableNotes);
    DBGm = Melodies->DBGm;
    DBGm->installEventFilter(this);
    BitAppd = Melodies->BitAppd;
    BitEdit = Melodies->BitEdit;
    BitBeep = Melodies->BitBeep;
    SpeedButton1 = Melodies->SpeedButton1;
    PanelName = Melodies->PanelName;
    PPMel = Melodies->PPMel;
    PPDel = Melodies->PPDel;
    N1 = Melodies->PPClose;
    connect(N1, &QAction::triggered, this, &TFMelP::N1Click);
    return Melodies;
}

QWidget* TFMelP::buildNotePane() {
    auto* pane = new QGroupBox(QStringLiteral("Ноты мелодии"), this);
    DBGb = MakeDatasetGrid(pane, "DBGb", FDM ? FDM->Q_Bepo : nullptr,
                           {{QStringLiteral("leng"), QStringLiteral("Длительность")},
                            {QStringLiteral("gerc"), QStringLiteral("Частота")}});
    DBGb->installEventFilter(this);
    connect(DBGb, &QAbstractItemView::doubleClicked, this, &TFMelP::DBGbDblClick);
    GridKeys::DoubleClickBy(DBGb, GridKeys::kEnter);
    auto* layout = new QVBoxLayout(pane);
    layout->addWidget(DBGb);
    return pane;
}

QWidget* TFMelP::buildPickerPane() {
    auto* pane = new QGroupBox(QStringLiteral("Ноты"), this);
    GNoot = new KeyboardGrid<QTableWidget>(kConsoleToneCells, 1, pane);
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
    // Space sounds the cell as a click does, Enter takes its note as a double click does.
    GridKeys::ClickBy(GNoot, {Qt::Key_Space});
    GridKeys::DoubleClickBy(GNoot, GridKeys::kEnter);
    GNoot->setToolTip(QStringLiteral("Пробел — прослушать ноту, Enter — записать ее в мелодию"));
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
    TxVzv = MakeNameLabel(pane, "TxVzv", kMelodyNotDefined);
    TxOtz = MakeNameLabel(pane, "TxOtz", kMelodyNotDefined);
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
    held_ = HeldRows::OfConsole(FDM->Ground().CurrentObject());
    setWindowTitle(held_.Titled(kConsoleMelodyCaption, held_.Object()));
    ShowAssignedMelodies();
    enableNotes();
}

void TFMelP::ShowAssignedMelodies() {
    Dataset* po = FDM ? FDM->Q_PO : nullptr;
    const bool console = po && po->RecNo() > 0;
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

void TFMelP::mousePressEvent(QMouseEvent* event) {
    Melodies->DBGmCellClick();
    QDialog::mousePressEvent(event);
}

// ---------------------------------------------------------------- melodies

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

void TFMelP::BitSavePkClick() {
    if (!held_.StillThere()) return;
    const int recNo = FDM ? FDM->Q_MelP->RecNo() : 0;
    AssignCurrentMelodyToConsole(held_.Id(QStringLiteral("k_net")), held_.Object(), held_);
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
    CloseHelpOnDeactivate(this, event);
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
