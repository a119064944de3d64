#include "devices/ui/MelodyListPane.h"

#include "devices/ui/FormControls.h"
#include "devices/ui/GridColumns.h"
#include "devices/ui/MelodyNamePanel.h"
#include "foundation/TFDM.h"
#include "foundation/ui/WaitCursor.h"
#include "platform/ToneOutput.h"
#include "platform/ui/DatasetGrid.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {}  // namespace

MelodyListPane::MelodyListPane(MelodyList list, const MelodyListTexts& texts, QWidget* parent)
    : QGroupBox(QStringLiteral("Мелодии"), parent), list_(list), newName_(texts.newName) {
    Dataset* melodies = FDM ? (list == MelodyList::Switch ? FDM->Q_Mel : FDM->Q_MelP) : nullptr;
    DBGm = MakeDatasetGrid(this, "DBGm", melodies,
                           {{QStringLiteral("name"), QStringLiteral("Наименование")},
                            {QStringLiteral("forr"), QStringLiteral("Назначение")}});
    if (melodies)
        connect(melodies, &Dataset::CurrentChanged, this, &MelodyListPane::NotesMayChange);
    connect(DBGm, &QAbstractItemView::clicked, this, &MelodyListPane::DBGmCellClick);

    BitAppd = MakeButton(this, "BitAppd", QStringLiteral("Добавить мелодию"));
    BitEdit = MakeButton(this, "BitEdit", QStringLiteral("Изменить мелодию"));
    BitBeep = MakeButton(this, "BitBeep", QStringLiteral("Проиграть мелодию"));
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    connect(BitAppd, &QPushButton::clicked, this, &MelodyListPane::BitAppdClick);
    connect(BitEdit, &QPushButton::clicked, this, &MelodyListPane::BitEditClick);
    connect(BitBeep, &QPushButton::clicked, this, &MelodyListPane::BitBeepClick);
    connect(SpeedButton1, &QToolButton::clicked, this, &MelodyListPane::SpeedButton1Click);
    PanelName = new MelodyNamePanel(list, texts.firstPurpose, texts.secondPurpose, this);
    connect(PanelName, &MelodyNamePanel::Closed, this, &MelodyListPane::NotesMayChange);

    PPMel = new QMenu(this);
    PPMel->setObjectName(QStringLiteral("PPMel"));
    PPDel = MakeMenuItem(PPMel, "PPDel", QStringLiteral("Удалить мелодию"));
    // A melody closed by mistake could never be edited again: the command
    // stays off, so melodies arrive closed only with the database.
    PPClose = MakeMenuItem(PPMel, texts.closeName, texts.closeCaption);
    PPClose->setEnabled(false);
    connect(PPDel, &QAction::triggered, this, &MelodyListPane::PPDelClick);
    DBGm->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGm, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PPMel->popup(DBGm->viewport()->mapToGlobal(at)); });

    auto* buttons = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(BitAppd), static_cast<QWidget*>(BitEdit),
                       static_cast<QWidget*>(BitBeep), static_cast<QWidget*>(SpeedButton1)})
        buttons->addWidget(w);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGm, 1);
    layout->addLayout(buttons);
    layout->addWidget(PanelName);
}

void MelodyListPane::DBGmCellClick() {
    PanelName->hide();
    emit NotesMayChange();
}

void MelodyListPane::BitAppdClick() {
    PanelName->StartNew(newName_);
}

void MelodyListPane::BitEditClick() {
    PanelName->StartEdit();
}

void MelodyListPane::BitBeepClick() {
    WaitCursor wait;
    PlayCurrentMelody(Tones::Output(), list_);
}

void MelodyListPane::PPDelClick() {
    PanelName->hide();
    DeleteCurrentMelody(list_);
    emit NotesMayChange();
}

void MelodyListPane::SpeedButton1Click() {
    if (FDM) FDM->ReopenMelodies();
    emit NotesMayChange();
}
